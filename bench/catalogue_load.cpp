// Measures a full load of a catalogue folder served by vellumo-catalogue on
// 127.0.0.1: the skin list and every category file fetched into a fresh
// cache and put into the tree, as at start-up.
//
//   vellumo-bench-catalogue-load [CATALOGUE_FOLDER] [RUNS]
//
// Prints the wall time of each run, the median, and how many connections
// the server saw.

#include "app/settings.h"
#include "download/transfer_policy.h"
#include "platform/registry.h"
#include "platform/settings_store_ini.h"
#include "windows/form1.h"
#include "windows/keyed_tree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString catalogue = args.size() > 1 ? args[1] : QStringLiteral(VELLUMO_SAMPLE_CATALOGUE);
    const int runs = args.size() > 2 ? args[2].toInt() : 20;

    QProcess server;
    server.start(QStringLiteral(VELLUMO_CATALOGUE_PROGRAM), {QStringLiteral("serve"), catalogue});
    if (!server.waitForReadyRead(10'000)) {
        std::fprintf(stderr, "the catalogue server did not start\n");
        return 1;
    }
    const QString line = QString::fromUtf8(server.readLine()).trimmed();
    const QString base = line.mid(line.lastIndexOf(u' ') + 1);

    QList<qint64> times;
    int nodes = 0;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir root;
        vellumo::platform::IniSettingsStore store(root.path());
        vellumo::Settings settings(store);
        store.save(u"CorVathSoftware", u"Vellumo", u"base", base.toStdU16String());
        const auto registry = vellumo::platform::createMachineRegistry();
        vellumo::TransferSession transfers;
        vellumo::Form1 main(vellumo::Environment{.programFolder = root.path(),
                                                 .commandLine = {},
                                                 .settings = &settings,
                                                 .registry = registry.get(),
                                                 .closeHelper = {},
                                                 .transfers = &transfers});
        main.LoadDefaultLanguage();

        QElapsedTimer timer;
        timer.start();
        main.loading_Timer();
        times << timer.nsecsElapsed() / 1000;
        nodes = main.TV1->nodeCount();
    }

    server.terminate();
    server.waitForFinished(10'000);
    const QString log = QString::fromUtf8(server.readAllStandardError());
    QSet<QString> connections;
    int requests = 0;
    static const QRegularExpression client(QStringLiteral("^(127\\.0\\.0\\.1:\\d+) \""));
    for (const QString &entry : log.split(u'\n', Qt::SkipEmptyParts)) {
        const auto match = client.match(entry);
        if (match.hasMatch()) {
            connections.insert(match.captured(1));
            ++requests;
        }
    }

    std::sort(times.begin(), times.end());
    std::printf("catalogue %s: %d nodes per load\n", qPrintable(catalogue), nodes);
    std::printf("%d loads: median %.2f ms, fastest %.2f ms, slowest %.2f ms\n", runs, times[runs / 2] / 1000.0,
                times.front() / 1000.0, times.back() / 1000.0);
    std::printf("%d requests over %d connections (%.1f requests per load, %.1f connections per load)\n", requests,
                int(connections.size()), double(requests) / runs, double(connections.size()) / runs);
    return 0;
}
