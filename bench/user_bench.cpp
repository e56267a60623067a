// vellumo-bench: measures what a user of Vellumo sees, side by side with
// floors that do the same work with nothing of Vellumo around it, and prints
// one table. Run it under an X server (scripts/bench starts Xvfb):
//
//   vellumo-bench [--runs N] [--quick] [--work FOLDER]
//
// It runs the real program (bin/vellumo beside this one) in a sandbox of its
// own under the work folder: settings in config/, the single-instance lock in
// runtime/, an empty Wine prefix, and a copy of the program in a program
// folder per case, whose Cache/ it prepares or empties. The moments it
// measures come from the program's timing log (VELLUMO_TIMING_LOG): from the
// moment before the process is started to "window-shown" or "tree-painted",
// on the same monotonic clock. Once the moment is logged it reads the peak
// memory (VmHWM) and kills the program.
//
// The catalogues are generated in the work folder and served by
// vellumo-catalogue, with --delay-ms standing in for distance. Every round
// runs each side of a comparison once, in an order that turns from round to
// round, so a change in the machine's load hits both sides alike; the table
// gives medians of the counted rounds (one round first is not counted) and
// the median of the ratios round by round. Every wait is bounded.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

using namespace std::chrono_literals;

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.size() >= 3 ? QString::fromLatin1(fields[0] + ", " + fields[1] + ", " + fields[2])
                              : QStringLiteral("unknown");
}

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "vellumo-bench: %s\n", qPrintable(what));
    std::exit(1);
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        fail(QStringLiteral("cannot write ") + path);
}

void emptyFolder(const QString &path)
{
    QDir(path).removeRecursively();
    if (!QDir().mkpath(path))
        fail(QStringLiteral("cannot make ") + path);
}

// ---------------------------------------------------------------------------
// Catalogues

QString categoryName(int category)
{
    return QStringLiteral("Category%1").arg(category, 4, 10, QLatin1Char('0'));
}

// The lists of a catalogue of `categories` × `skins`, each skin named once in
// the whole catalogue, written as FOLDER/msnskins<suffix> and
// FOLDER/<category><suffix>: ".txt" for a served catalogue, ".tmp" for
// Vellumo's cache.
void writeLists(const QString &folder, int categories, int skins, const QString &suffix)
{
    QStringList names;
    for (int c = 1; c <= categories; ++c) {
        names << categoryName(c);
        QStringList skinNames;
        for (int s = 1; s <= skins; ++s)
            skinNames << QStringLiteral("Skin %1-%2").arg(c).arg(s);
        writeFile(folder + QLatin1Char('/') + names.last() + suffix, skinNames.join(u'*').toLatin1());
    }
    writeFile(folder + QStringLiteral("/msnskins") + suffix, names.join(u'*').toLatin1());
}

// ---------------------------------------------------------------------------
// Processes

struct Measure {
    double ms = 0;
    double peakMiB = 0;
};

QProcessEnvironment baseEnvironment;

double peakMemoryMiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression hwm(QStringLiteral("VmHWM:\\s*(\\d+) kB"));
    const auto match = hwm.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : 0;
}

// The monotonic time the log gives for `moment`, if it is there yet.
std::optional<double> loggedMoment(const QString &logPath, const QByteArray &moment)
{
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray &line : log.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 3 && fields[1] == moment)
            return fields[2].toDouble();
    }
    return std::nullopt;
}

// Starts a program that writes a timing log and kills it once `moment` is
// logged: the time from just before the start to the moment, and the peak
// memory then.
Measure untilLogged(const QString &program, const QStringList &arguments, QProcessEnvironment environment,
                    const QString &logPath, const QByteArray &moment, int timeoutMs)
{
    QFile::remove(logPath);
    environment.insert(QStringLiteral("VELLUMO_TIMING_LOG"), logPath);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(logPath + QStringLiteral(".stderr"));
    const double start = nowMs();
    process.start(program, arguments);
    if (!process.waitForStarted(10'000))
        fail(program + QStringLiteral(" did not start"));
    while (nowMs() - start < timeoutMs) {
        if (const auto logged = loggedMoment(logPath, moment)) {
            const Measure measure {*logged - start, peakMemoryMiB(process.processId())};
            process.kill();
            process.waitForFinished(10'000);
            return measure;
        }
        if (process.waitForFinished(2))
            fail(QStringLiteral("%1 %2 ended before \"%3\" (exit code %4); see %5.stderr")
                     .arg(program, arguments.join(u' '), QString::fromLatin1(moment))
                     .arg(process.exitCode())
                     .arg(logPath));
    }
    process.kill();
    process.waitForFinished(10'000);
    fail(QStringLiteral("no \"%1\" from %2 within %3 s")
             .arg(QString::fromLatin1(moment), program)
             .arg(timeoutMs / 1000));
}

// Runs a program to its end: the time from just before its start to its end.
Measure toEnd(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    const double start = nowMs();
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(10'000);
        fail(program + QStringLiteral(" did not finish in time"));
    }
    const double ms = nowMs() - start;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        fail(QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(process.readAllStandardError())));
    return {ms, 0};
}

// vellumo-catalogue serve, with its request log.
class Server {
public:
    Server(const QString &program, const QString &folder, int delayMs, const QString &logPath)
        : logPath_(logPath)
    {
        process_.setStandardErrorFile(logPath);
        process_.start(program,
                       {QStringLiteral("serve"), folder, QStringLiteral("--port"), QStringLiteral("0"),
                        QStringLiteral("--delay-ms"), QString::number(delayMs)});
        static const QRegularExpression serving(QStringLiteral("^Serving .* at (http://127\\.0\\.0\\.1:\\d+/)$"));
        const double start = nowMs();
        while (url_.isEmpty() && nowMs() - start < 10'000 && process_.waitForReadyRead(1'000)) {
            const auto match = serving.match(QString::fromUtf8(process_.readLine()).trimmed());
            if (match.hasMatch())
                url_ = match.captured(1);
        }
        if (url_.isEmpty())
            fail(QStringLiteral("the catalogue server did not start; see ") + logPath);
    }
    ~Server()
    {
        process_.terminate();
        if (!process_.waitForFinished(10'000)) {
            process_.kill();
            process_.waitForFinished(10'000);
        }
    }

    QString url() const { return url_; }
    qint64 logSize() const { return QFileInfo(logPath_).size(); }

    // The client connections and requests logged after `offset`.
    std::pair<int, int> connectionsAndRequestsSince(qint64 offset) const
    {
        QFile log(logPath_);
        if (!log.open(QIODevice::ReadOnly) || !log.seek(offset))
            return {0, 0};
        static const QRegularExpression client(QStringLiteral("^(127\\.0\\.0\\.1:\\d+) \""));
        QSet<QString> clients;
        int requests = 0;
        for (const QByteArray &line : log.readAll().split('\n')) {
            const auto match = client.match(QString::fromLatin1(line));
            if (match.hasMatch()) {
                clients.insert(match.captured(1));
                ++requests;
            }
        }
        return {int(clients.size()), requests};
    }

private:
    QProcess process_;
    QString logPath_;
    QString url_;
};

// ---------------------------------------------------------------------------
// The sandbox

class Bench {
public:
    Bench(QString bin, QString work)
        : bin_(std::move(bin))
        , work_(std::move(work))
    {
        emptyFolder(work_);
        for (const char *folder : {"config", "runtime", "wine"})
            emptyFolder(path(QString::fromLatin1(folder)));
        environment_ = baseEnvironment;
        environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
        environment_.insert(QStringLiteral("WINEPREFIX"), path(QStringLiteral("wine")));
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }

    QString path(const QString &name) const { return work_ + QLatin1Char('/') + name; }
    QString program(const char *name) const { return bin_ + QLatin1Char('/') + QString::fromLatin1(name); }

    // A program folder of its own: a copy of the program, so that its Cache/ is there.
    QString programFolder(const QString &name)
    {
        const QString folder = path(name);
        emptyFolder(folder);
        if (!QFile::copy(program("vellumo"), folder + QStringLiteral("/vellumo")))
            fail(QStringLiteral("cannot copy the program into ") + folder);
        return folder;
    }

    // Vellumo in `folder`, with the settings given (the chooser skipped),
    // until `moment`.
    Measure vellumo(const QString &folder, const QString &base, int updateList, const QStringList &arguments,
                    const QByteArray &moment, int timeoutMs = 60'000)
    {
        writeFile(path(QStringLiteral("config/corvathsoftware/Vellumo.ini")),
                  QStringLiteral("[General]\nbase=%1\nupdatelist=%2\nalgedaan=1\n").arg(base).arg(updateList).toUtf8());
        emptyFolder(path(QStringLiteral("runtime")));
        QFile::setPermissions(path(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return untilLogged(folder + QStringLiteral("/vellumo"), arguments, environment_,
                           path(QStringLiteral("timing.log")), moment, timeoutMs);
    }

    Measure floor(const QStringList &arguments, const QByteArray &moment)
    {
        return untilLogged(program("vellumo-bench-floor"), arguments, environment_, path(QStringLiteral("timing.log")),
                           moment, 60'000);
    }

private:
    QString bin_;
    QString work_;
    QProcessEnvironment environment_;
};

// curl fetching every list of a served catalogue into files, in one process:
// one after the other, or up to six at a time.
class Curl {
public:
    Curl(Bench &bench, const QString &name, const QString &base, int categories)
        : output_(bench.path(name + QStringLiteral("-curl")))
        , config_(bench.path(name + QStringLiteral("-curl.config")))
    {
        QByteArray config;
        auto fetch = [&](const QString &file) {
            config += "url = \"" + (base + file).toUtf8() + "\"\noutput = \""
                + (output_ + QLatin1Char('/') + file).toUtf8() + "\"\n";
        };
        fetch(QStringLiteral("msnskins.txt"));
        for (int c = 1; c <= categories; ++c)
            fetch(categoryName(c) + QStringLiteral(".txt"));
        writeFile(config_, config);
    }

    Measure oneByOne() { return run({}); }
    Measure parallel()
    {
        return run({QStringLiteral("--parallel"), QStringLiteral("--parallel-max"), QStringLiteral("6")});
    }

private:
    Measure run(const QStringList &options)
    {
        emptyFolder(output_);
        return toEnd(QStringLiteral("curl"),
                     QStringList {QStringLiteral("--silent"), QStringLiteral("--show-error"), QStringLiteral("--fail")}
                         + options + QStringList {QStringLiteral("--config"), config_},
                     120'000);
    }

    QString output_;
    QString config_;
};

// ---------------------------------------------------------------------------
// Rounds and the table

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString milliseconds(double ms);
extern QStringList details;

// The sides of a comparison; every round runs each once, in turn.
struct Sides {
    QStringList names;
    QList<std::function<Measure()>> run;
    QHash<QString, QList<Measure>> results;

    void add(const QString &name, std::function<Measure()> side)
    {
        names << name;
        run << std::move(side);
    }
    void rounds(int counted, const QString &title)
    {
        std::fprintf(stderr, "%s", qPrintable(title));
        for (int round = 0; round <= counted; ++round) {
            for (qsizetype i = 0; i < names.size(); ++i) {
                const qsizetype side = (i + round) % names.size();
                const Measure measure = run[side]();
                if (round > 0) // the first round warms up
                    results[names[side]] << measure;
            }
            std::fprintf(stderr, ".");
        }
        std::fprintf(stderr, "\n");
        for (const QString &name : names)
            details << QStringLiteral("| %1 | %2 | %3 | %4 ms |")
                           .arg(title, name, milliseconds(medianMs(name)), spread(name));
    }
    QList<double> ms(const QString &name) const
    {
        QList<double> values;
        for (const Measure &m : results.value(name))
            values << m.ms;
        return values;
    }
    double medianMs(const QString &name) const { return median(ms(name)); }
    double medianPeakMiB(const QString &name) const
    {
        QList<double> values;
        for (const Measure &m : results.value(name))
            values << m.peakMiB;
        return median(values);
    }
    // The median of the ratios round by round of `name` to the sum of `floors`.
    double ratio(const QString &name, const QStringList &floors) const
    {
        const QList<double> mine = ms(name);
        QList<double> ratios;
        for (qsizetype round = 0; round < mine.size(); ++round) {
            double floor = 0;
            for (const QString &f : floors)
                floor += ms(f).value(round);
            ratios << mine[round] / floor;
        }
        return median(ratios);
    }
    QString spread(const QString &name) const
    {
        const QList<double> values = ms(name);
        return values.isEmpty() ? QString()
                                : QStringLiteral("%1–%2")
                                      .arg(*std::min_element(values.begin(), values.end()), 0, 'f', 0)
                                      .arg(*std::max_element(values.begin(), values.end()), 0, 'f', 0);
    }
};

QStringList details;

QString milliseconds(double ms)
{
    return ms >= 1000 ? QStringLiteral("%1 s").arg(ms / 1000, 0, 'f', 2) : QStringLiteral("%1 ms").arg(ms, 0, 'f', 1);
}

struct Row {
    QString what, floor, vellumo, ratio, target, met;
};
QList<Row> table;

void row(const QString &what, const QString &floor, const QString &vellumo, const QString &ratio,
         const QString &target = QStringLiteral("—"), std::optional<bool> met = std::nullopt)
{
    table << Row {what,  floor,  vellumo,
                  ratio, target, met ? (*met ? QStringLiteral("yes") : QStringLiteral("no")) : QStringLiteral("—")};
}

void printTable()
{
    std::printf("| Measured | Side | Median | Fastest–slowest |\n|---|---|---|---|\n");
    for (const QString &line : details)
        std::printf("%s\n", qPrintable(line));
    std::printf("\n");
    std::printf("| What | Floor, same run | Vellumo | Ratio | Target | Met |\n|---|---|---|---|---|---|\n");
    for (const Row &r : table)
        std::printf("| %s | %s | %s | %s | %s | %s |\n", qPrintable(r.what), qPrintable(r.floor), qPrintable(r.vellumo),
                    qPrintable(r.ratio), qPrintable(r.target), qPrintable(r.met));
}

QString times(double ratio)
{
    return QStringLiteral("%1×").arg(ratio, 0, 'f', 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    int runs = 5;
    bool quick = false;
    QStringList only; // the cases to run; all when empty
    QString work = QDir::current().filePath(QStringLiteral("bench-work"));
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--runs" && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == u"--quick")
            quick = true;
        else if (args[i] == u"--only" && i + 1 < args.size())
            only = args[++i].split(u',');
        else if (args[i] == u"--work" && i + 1 < args.size())
            work = QDir(args[++i]).absolutePath();
        else {
            std::fprintf(stderr,
                         "usage: vellumo-bench [--runs N] [--quick] [--only CASE,...] [--work FOLDER]\n"
                         "cases: refresh-50ms, refresh, sizes, cache, start, hostile\n");
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        fail(QStringLiteral("no X server (DISPLAY); scripts/bench runs this under Xvfb"));
    baseEnvironment = QProcessEnvironment::systemEnvironment();
    baseEnvironment.remove(QStringLiteral("VELLUMO_TIMING_LOG"));

    Bench bench(QCoreApplication::applicationDirPath(), work);
    const QString loadBefore = loadAverage();
    std::fprintf(stderr, "Generating the catalogues in %s\n", qPrintable(work));
    constexpr int categories = 200, skins = 150;
    writeLists(bench.path(QStringLiteral("site-200x150")), categories, skins, QStringLiteral(".txt"));
    // 127 categories of 257 skins and the root: 32,767 nodes.
    constexpr int cacheCategories = 127, cacheSkins = 257;
    const QString cacheProgram = bench.programFolder(QStringLiteral("program-cache"));
    writeLists(cacheProgram + QStringLiteral("/Cache"), cacheCategories, cacheSkins, QStringLiteral(".tmp"));
    const QString refreshProgram = bench.programFolder(QStringLiteral("program-refresh"));
    const QString startProgram = bench.programFolder(QStringLiteral("program-start"));
    const QString serverProgram = bench.program("vellumo-catalogue");

    // A refresh: no cache, the list update on, until the tree is painted.
    int mostConnections = 0, connections50 = 0, connections0 = 0;
    auto refresh = [&](Server &server, int expectedFiles) {
        emptyFolder(refreshProgram + QStringLiteral("/Cache"));
        const qint64 logStart = server.logSize();
        const Measure measure = bench.vellumo(refreshProgram, server.url(), 1, {}, "tree-painted", 120'000);
        const int files = int(QDir(refreshProgram + QStringLiteral("/Cache")).entryList(QDir::Files).size());
        if (files != expectedFiles)
            fail(QStringLiteral("the refresh left %1 files in the cache instead of %2").arg(files).arg(expectedFiles));
        // The server logs a request once answered; the last may come just after the paint.
        for (int i = 0; i < 100 && server.connectionsAndRequestsSince(logStart).second < expectedFiles; ++i)
            QThread::msleep(10);
        mostConnections = std::max(mostConnections, server.connectionsAndRequestsSince(logStart).first);
        return measure;
    };
    const QString treeFloorSite = bench.path(QStringLiteral("site-200x150"));

    const auto wanted = [&](const char *name) { return only.isEmpty() || only.contains(QLatin1String(name)); };

    // Refresh with each request answered 50 ms late.
    if (wanted("refresh-50ms")) {
        Server server(serverProgram, bench.path(QStringLiteral("site-200x150")), 50,
                      bench.path(QStringLiteral("server-50.log")));
        Curl curl(bench, QStringLiteral("site-200x150-50"), server.url(), categories);
        Sides sides;
        sides.add(QStringLiteral("curl parallel"), [&] { return curl.parallel(); });
        if (!quick)
            sides.add(QStringLiteral("curl one by one"), [&] { return curl.oneByOne(); });
        sides.add(QStringLiteral("vellumo"), [&] { return refresh(server, categories + 1); });
        mostConnections = 0;
        sides.rounds(runs, QStringLiteral("Refresh 200 × 150, 50 ms"));
        connections50 = mostConnections;
        const QString what
            = QStringLiteral("Refresh %1 × %2, 50 ms per request, start to tree painted").arg(categories).arg(skins);
        const double ratio = sides.ratio(QStringLiteral("vellumo"), {QStringLiteral("curl parallel")});
        row(what,
            QStringLiteral("curl --parallel --parallel-max 6: ")
                + milliseconds(sides.medianMs(QStringLiteral("curl parallel"))),
            milliseconds(sides.medianMs(QStringLiteral("vellumo"))), times(ratio), QStringLiteral("≤ 1.1×"),
            ratio <= 1.1);
        if (!quick)
            row(what,
                QStringLiteral("curl one by one: ") + milliseconds(sides.medianMs(QStringLiteral("curl one by one"))),
                milliseconds(sides.medianMs(QStringLiteral("vellumo"))),
                times(sides.ratio(QStringLiteral("vellumo"), {QStringLiteral("curl one by one")})));
    }

    // Refresh on loopback, no delay.
    if (wanted("refresh")) {
        Server server(serverProgram, bench.path(QStringLiteral("site-200x150")), 0,
                      bench.path(QStringLiteral("server-0.log")));
        Curl curl(bench, QStringLiteral("site-200x150-0"), server.url(), categories);
        Sides sides;
        sides.add(QStringLiteral("curl one by one"), [&] { return curl.oneByOne(); });
        sides.add(QStringLiteral("tree floor"), [&] {
            return bench.floor({QStringLiteral("tree"), treeFloorSite, QStringLiteral("txt")}, "tree-painted");
        });
        sides.add(QStringLiteral("curl parallel"), [&] { return curl.parallel(); });
        sides.add(QStringLiteral("vellumo"), [&] { return refresh(server, categories + 1); });
        mostConnections = 0;
        sides.rounds(runs, QStringLiteral("Refresh 200 × 150, no delay"));
        connections0 = mostConnections;
        const QString what
            = QStringLiteral("Refresh %1 × %2, no delay, start to tree painted").arg(categories).arg(skins);
        const double ratio
            = sides.ratio(QStringLiteral("vellumo"), {QStringLiteral("curl one by one"), QStringLiteral("tree floor")});
        row(what,
            QStringLiteral("curl one by one %1 + tree floor %2 = %3")
                .arg(milliseconds(sides.medianMs(QStringLiteral("curl one by one"))),
                     milliseconds(sides.medianMs(QStringLiteral("tree floor"))),
                     milliseconds(sides.medianMs(QStringLiteral("curl one by one"))
                                  + sides.medianMs(QStringLiteral("tree floor")))),
            milliseconds(sides.medianMs(QStringLiteral("vellumo"))), times(ratio), QStringLiteral("≤ 1.5×"),
            ratio <= 1.5);
        row(what,
            QStringLiteral("curl --parallel --parallel-max 6: ")
                + milliseconds(sides.medianMs(QStringLiteral("curl parallel"))),
            milliseconds(sides.medianMs(QStringLiteral("vellumo"))),
            times(sides.ratio(QStringLiteral("vellumo"), {QStringLiteral("curl parallel")})));
    }

    // The same at other sizes, no delay.
    if (!quick && wanted("sizes")) {
        for (const int size : {10, 100, 1000}) {
            const QString site = bench.path(QStringLiteral("site-%1x%2").arg(size).arg(skins));
            writeLists(site, size, skins, QStringLiteral(".txt"));
            Server server(serverProgram, site, 0, bench.path(QStringLiteral("server-%1.log").arg(size)));
            Curl curl(bench, QStringLiteral("site-%1").arg(size), server.url(), size);
            Sides sides;
            sides.add(QStringLiteral("curl one by one"), [&] { return curl.oneByOne(); });
            sides.add(QStringLiteral("tree floor"), [&] {
                return bench.floor({QStringLiteral("tree"), site, QStringLiteral("txt")}, "tree-painted");
            });
            sides.add(QStringLiteral("vellumo"), [&] { return refresh(server, size + 1); });
            sides.rounds(runs, QStringLiteral("Refresh %1 × 150, no delay").arg(size));
            row(QStringLiteral("Refresh %1 × %2, no delay").arg(size).arg(skins),
                QStringLiteral("curl one by one %1 + tree floor %2")
                    .arg(milliseconds(sides.medianMs(QStringLiteral("curl one by one"))),
                         milliseconds(sides.medianMs(QStringLiteral("tree floor")))),
                milliseconds(sides.medianMs(QStringLiteral("vellumo"))),
                times(sides.ratio(QStringLiteral("vellumo"),
                                  {QStringLiteral("curl one by one"), QStringLiteral("tree floor")})));
        }
    }

    // Loading 32,767 nodes from the cache; the peak memory then.
    if (wanted("cache")) {
        Sides sides;
        for (const char *kind : {"tree", "model"})
            sides.add(QLatin1String(kind) + QStringLiteral(" floor"), [&bench, &cacheProgram, kind] {
                return bench.floor({QLatin1String(kind), cacheProgram + QStringLiteral("/Cache"), QStringLiteral("tmp")},
                                   "tree-painted");
            });
        sides.add(QStringLiteral("vellumo"), [&] {
            return bench.vellumo(cacheProgram, QStringLiteral("http://127.0.0.1:9/"), 0, {QStringLiteral("loadcache")},
                                 "tree-painted");
        });
        sides.rounds(runs, QStringLiteral("Cache load of 32,767 nodes"));
        const double ratio = sides.ratio(QStringLiteral("vellumo"), {QStringLiteral("tree floor")});
        row(QStringLiteral("Cache load of 32,767 nodes (`loadcache`), start to tree painted"),
            QStringLiteral("bare QTreeWidget: ") + milliseconds(sides.medianMs(QStringLiteral("tree floor"))),
            milliseconds(sides.medianMs(QStringLiteral("vellumo"))), times(ratio), QStringLiteral("≤ 1.3×"),
            ratio <= 1.3);
        row(QStringLiteral("The same, beside a model/view floor"),
            QStringLiteral("bare QTreeView over QStandardItemModel: ")
                + milliseconds(sides.medianMs(QStringLiteral("model floor"))),
            milliseconds(sides.medianMs(QStringLiteral("vellumo"))),
            times(sides.ratio(QStringLiteral("vellumo"), {QStringLiteral("model floor")})));
        const double floorMiB = sides.medianPeakMiB(QStringLiteral("tree floor"));
        const double vellumoMiB = sides.medianPeakMiB(QStringLiteral("vellumo"));
        row(QStringLiteral("Peak memory (VmHWM) after 32,767 nodes"), QStringLiteral("%1 MiB").arg(floorMiB, 0, 'f', 1),
            QStringLiteral("%1 MiB").arg(vellumoMiB, 0, 'f', 1),
            QStringLiteral("%1%2 MiB").arg(vellumoMiB >= floorMiB ? "+" : "").arg(vellumoMiB - floorMiB, 0, 'f', 1),
            QStringLiteral("≤ floor + 15 MiB"), vellumoMiB <= floorMiB + 15);
    }

    // Start to the window shown, the chooser skipped; no cache, no list update.
    if (wanted("start")) {
        Sides sides;
        sides.add(QStringLiteral("window floor"),
                  [&] { return bench.floor({QStringLiteral("window")}, "window-shown"); });
        sides.add(QStringLiteral("vellumo"), [&] {
            return bench.vellumo(startProgram, QStringLiteral("http://127.0.0.1:9/"), 0, {}, "window-shown");
        });
        sides.rounds(runs, QStringLiteral("Start to the window shown"));
        const double floor = sides.medianMs(QStringLiteral("window floor"));
        const double mine = sides.medianMs(QStringLiteral("vellumo"));
        const double ratio = sides.ratio(QStringLiteral("vellumo"), {QStringLiteral("window floor")});
        row(QStringLiteral("Start to the main window shown (`algedaan=1`)"),
            QStringLiteral("bare QMainWindow: ") + milliseconds(floor), milliseconds(mine), times(ratio),
            QStringLiteral("≤ max(1.5×, floor + 10 ms) = %1").arg(milliseconds(std::max(1.5 * floor, floor + 10))),
            mine <= std::max(1.5 * floor, floor + 10));
    }

    // Peak memory of a refresh from catalogues that a hostile server might send.
    if (wanted("hostile")) {
        const QByteArray hugeName(8 * 1024 * 1024 - 1, 'x'), manyNames = [] {
            QByteArray names("n0");
            for (int i = 1; i < 40000; ++i)
                names += "*n" + QByteArray::number(i);
            return names;
        }();
        QByteArray longNames = QByteArray(250, 'y');
        for (int i = 1; i < 32767; ++i)
            longNames += '*' + QByteArray::number(i).rightJustified(250, 'y');
        const std::pair<const char *, std::vector<std::pair<const char *, QByteArray>>> catalogues[] = {
            {"a list of one name of 8 MiB", {{"msnskins", hugeName}}},
            {"a skin name of 8 MiB", {{"msnskins", "Big"}, {"Big", hugeName}}},
            {"a list of 8 MiB and a byte", {{"msnskins", hugeName + "xy"}}},
            {"40,000 categories", {{"msnskins", manyNames}}},
            {"40,000 skins", {{"msnskins", "Many"}, {"Many", manyNames}}},
            {"32,767 skins of 250 characters", {{"msnskins", "Long"}, {"Long", longNames}}},
        };
        const QString program = bench.programFolder(QStringLiteral("program-hostile"));
        for (const auto &[what, files] : catalogues) {
            const QString site = bench.path(QStringLiteral("site-hostile"));
            emptyFolder(site);
            for (const auto &[name, content] : files)
                writeFile(site + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".txt"), content);
            Server server(serverProgram, site, 0, bench.path(QStringLiteral("server-hostile.log")));
            emptyFolder(program + QStringLiteral("/Cache"));
            const double peak = bench.vellumo(program, server.url(), 1, {}, "tree-painted").peakMiB;
            row(QStringLiteral("Peak memory (VmHWM), refresh from %1").arg(QLatin1String(what)), QStringLiteral("—"),
                QStringLiteral("%1 MiB").arg(peak, 0, 'f', 1), QStringLiteral("—"), QStringLiteral("≤ 200 MB"),
                peak * 1024 * 1024 <= 200e6);
        }
    }

    if (wanted("refresh-50ms") || wanted("refresh"))
        row(QStringLiteral("Connections per refresh of 200 × 150 (the most in one)"), QStringLiteral("—"),
            QStringLiteral("%1 at 50 ms, %2 without delay").arg(connections50).arg(connections0), QStringLiteral("—"),
            QStringLiteral("≤ 7"), std::max(connections50, connections0) <= 7);

    std::printf(
        "Medians of %d paired rounds (after one not counted); ratios are medians of the ratios round by round.\n"
        "Load average (1, 5, 15 min): %s at the start, %s at the end.\n\n",
        runs, qPrintable(loadBefore), qPrintable(loadAverage()));
    printTable();
    return 0;
}
