// vellumo-catalogue, run as its own process: "serve" on a small catalogue in
// a temporary folder, "check" on the shipped sample and on broken copies, and
// "build" on folders of pictures.

#include "support/test_profile.h"
#include "support/test_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <regex>
#include <set>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using namespace vellumo::test;

namespace {

constexpr int timeoutMs = 15'000; // generous for a sanitizer build
constexpr auto npos = std::string::npos;

// Two categories, one with a space in its name (its folder has none). The
// pictures differ in their width; NUL and 0xFF are among their bytes.
void writeSmallCatalogue(const QString &dir)
{
    writeFile(dir + u"/msnskins.txt"_s, "Cartoon Stars*Plain");
    writeFile(dir + u"/Cartoon Stars.txt"_s, "Blue Moon*Sunny Day");
    writeFile(dir + u"/Plain.txt"_s, "Grey");
    writeFile(dir + u"/CartoonStars/Blue Moon.gif"_s, gifPicture(201, 290));
    writeFile(dir + u"/CartoonStars/Sunny Day.gif"_s, gifPicture(202, 290));
    writeFile(dir + u"/Plain/Grey.gif"_s, gifPicture(203, 290));
}

// serve: the small catalogue, with a secret next to it and links that lead there,
// every answer as late as a distant server's.
constexpr const char *secret = "not for the catalogue's visitors";
constexpr auto delay = 100ms;

struct ServeTest : ::testing::Test {
    void SetUp() override
    {
        writeSmallCatalogue(site);
        writeFile(temp.filePath(u"secret.txt"_s), secret);
        writeFile(temp.filePath(u"site-private/secret.txt"_s), secret);
        QFile::link(u"../secret.txt"_s, site + u"/escape.txt"_s);
        QFile::link(u"../site-private"_s, site + u"/Private"_s); // "site" begins it
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(QStringLiteral(VELLUMO_CATALOGUE_PROGRAM),
                     {u"serve"_s, site, u"--port"_s, u"0"_s, u"--delay-ms"_s, QString::number(delay.count())});
        const std::regex line(R"(Serving .+ at http://127\.0\.0\.1:(\d+)/\n)");
        std::smatch match;
        ASSERT_TRUE(waitUntil([&] { return std::regex_search(readLog(), match, line); }, timeoutMs)) << log;
        port = std::stoi(match[1]);
    }

    // Everything the server has written so far.
    const std::string &readLog() { return log += server.readAll().toStdString(); }
    // Keeps its connection alive and sends request targets exactly as written;
    // reads and writes time out after 5 s by default.
    httplib::Client client(const char *host = "127.0.0.1") const
    {
        httplib::Client client(host, port);
        client.set_url_encode(false);
        client.set_keep_alive(true);
        client.set_connection_timeout(5s);
        return client;
    }

    QTemporaryDir temp;
    QString site = temp.filePath(u"site"_s);
    QProcess server; // killed, if still running, when it goes
    std::string log;
    int port = 0;
};

TEST_F(ServeTest, ServesExactBytesLateOverOneKeptAliveConnectionOnLoopbackOnlyNothingOutsideAndStopsOnSigtermDespiteIt)
{
    httplib::Client http = client();
    struct Case { const char *target, *file, *contentType; };
    const Case files[] = {{"/CartoonStars/Sunny%20Day.gif", "/CartoonStars/Sunny Day.gif", "image/gif"},
                          {"/Plain.txt", "/Plain.txt", "text/plain; charset=windows-1252"}};
    constexpr std::size_t requests = 12; // beyond the library's default limit of 5 per connection
    for (std::size_t i = 0; i < requests; ++i) {
        const Case &c = files[i % 2];
        SCOPED_TRACE(c.target + (" request " + std::to_string(i)));
        const auto start = std::chrono::steady_clock::now();
        const httplib::Result result = http.Get(c.target);
        EXPECT_GE(std::chrono::steady_clock::now() - start, delay);
        ASSERT_TRUE(result && result->status == 200);
        EXPECT_EQ(result->get_header_value("Content-Type"), c.contentType);
        EXPECT_EQ(QByteArray::fromStdString(result->body), contents(site + QLatin1StringView(c.file)));
    }
    // The client reconnects without a word when the server closes; the
    // client ports in the log tell whether it had to.
    const std::regex logLine(R"re(\n127\.0\.0\.1:(\d+) "GET \S+ HTTP/1\.1" 200 )re");
    std::vector<std::string> clientPorts;
    ASSERT_TRUE(waitUntil([&] {
        readLog();
        clientPorts.clear();
        for (std::sregex_iterator it(log.begin(), log.end(), logLine), end; it != end; ++it)
            clientPorts.push_back((*it)[1]);
        return clientPorts.size() >= requests;
    })) << log;
    EXPECT_EQ(std::set(clientPorts.begin(), clientPorts.end()).size(), 1u) << log;
    // A server listening on every address would answer on 127.0.0.2 too.
    EXPECT_FALSE(client("127.0.0.2").Get("/Plain.txt"));
    // Missing files and anything outside the folder: not found, and not a word of the secret.
    const std::string absolute = "/" + temp.filePath(u"secret.txt"_s).toStdString();
    for (const char *target : {"/Plain/Nothing.gif", "/../secret.txt", "/%2e%2e/secret.txt",
                               "/..%2Fsecret.txt", "/..%5csecret.txt", "/..\\secret.txt",
                               absolute.c_str(), "/escape.txt", "/Private/secret.txt"}) {
        SCOPED_TRACE(target);
        const httplib::Result result = http.Get(target);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 404);
        EXPECT_EQ(result->body.find(secret), npos);
    }
    ASSERT_TRUE(http.Get("/Plain.txt")); // the connection is idle, and kept alive
    server.terminate();
    // Well below the 5 s keep-alive timeout the idle connection could hold it for.
    ASSERT_TRUE(server.waitForFinished(3000)) << readLog();
    EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server.exitCode(), 0) << readLog();
}

// The exit code of a command (-1 when it crashed or did not end in time) and its output.
std::pair<int, std::string> run(const QStringList &args)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(VELLUMO_CATALOGUE_PROGRAM), args);
    const bool ended = tool.waitForFinished(timeoutMs) && tool.exitStatus() == QProcess::NormalExit;
    return {ended ? tool.exitCode() : -1, tool.readAll().toStdString()};
}

TEST(CheckCommand, AcceptsTheShippedSampleCatalogue)
{
    const auto [exitCode, output] = run({u"check"_s, QStringLiteral(VELLUMO_SAMPLE_CATALOGUE)});
    EXPECT_EQ(exitCode, 0) << output;
    EXPECT_NE(output.find("Catalogue OK"), npos) << output;
}

// A file written (or, without content, removed) and the problem it must cause.
struct BadFile { const char *name, *file, *content, *expectedProblem; };

// Names the row in ctest's test names, which otherwise hold its bytes and addresses.
void PrintTo(const BadFile &bad, std::ostream *out) { *out << bad.name; }

// One entry more than the program takes.
const QByteArray tooManyEntries = "Grey" + QByteArray("*x").repeated(32767);

// The small catalogue with one file broken.
const BadFile brokenCatalogues[] = {
    {"LineBreakAtTheEndOfTheCategoryList", "msnskins.txt", "Cartoon Stars*Plain\n",
     "msnskins.txt: ends with a line break"},
    {"EmptyEntry", "msnskins.txt", "Cartoon Stars**Plain", "msnskins.txt: has an empty entry ('**')"},
    {"SkinNameInTwoCategories", "Plain.txt", "Grey*Blue Moon",
     "Plain.txt: skin \"Blue Moon\" is also listed in Cartoon Stars.txt"},
    {"MissingCategoryFile", "Cartoon Stars.txt", nullptr, "Cartoon Stars.txt: missing"},
    {"MissingPicture", "CartoonStars/Sunny Day.gif", nullptr,
     "CartoonStars/Sunny Day.gif: missing"},
    {"PictureThatIsNoGif", "Plain/Grey.gif", "\x89PNG\r\n\x1a\n0000000000",
     "Plain/Grey.gif: is not a GIF picture"},
    {"MoreThan32767Entries", "Plain.txt", tooManyEntries.constData(),
     "Plain.txt: has more than 32767 entries, which the program refuses"},
    {"CategoryFoldersCollideWithoutSpaces", "msnskins.txt", "Cartoon Stars*Plain*cartoonStars",
     "msnskins.txt: categories \"Cartoon Stars\" and \"cartoonStars\" share the picture folder "
     "\"cartoonStars\""},
};

using CheckBrokenCatalogue = ::testing::TestWithParam<BadFile>;

TEST_P(CheckBrokenCatalogue, ReportsTheProblem)
{
    const BadFile &broken = GetParam();
    QTemporaryDir temp;
    writeSmallCatalogue(temp.path());
    if (broken.content)
        writeFile(temp.filePath(QString::fromUtf8(broken.file)), broken.content);
    else
        ASSERT_TRUE(QFile::remove(temp.filePath(QString::fromUtf8(broken.file))));
    const auto [exitCode, output] = run({u"check"_s, temp.path()});
    EXPECT_EQ(exitCode, 1) << output;
    EXPECT_NE(output.find(std::string(broken.expectedProblem) + "\n"), npos) << output;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CheckBrokenCatalogue, ::testing::ValuesIn(brokenCatalogues),
                         [](const auto &info) { return std::string(info.param.name); });

// build: the small catalogue's pictures, one folder per category, and a
// category whose name is beyond ASCII (UTF-8 in file names, Windows-1252 in lists).
struct BuildTest : ::testing::Test {
    void SetUp() override
    {
        writeFile(source + u"/Cartoon Stars/Sunny Day.gif"_s, gifPicture(202, 290));
        writeFile(source + u"/Cartoon Stars/Blue Moon.gif"_s, gifPicture(201, 290));
        writeFile(source + u"/Plain/Grey.gif"_s, gifPicture(203, 290));
        writeFile(source + u"/Zo\u00eb/Pingu\u00efns.gif"_s, gifPicture(204, 290));
    }
    std::pair<int, std::string> build(const QStringList &options = {})
    {
        return run(QStringList{u"build"_s, source, target} + options);
    }
    QStringList besideTarget() const
    {
        return QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    QTemporaryDir temp;
    QString source = temp.filePath(u"source"_s), target = temp.filePath(u"site"_s), order = temp.filePath(u"order"_s);
};

TEST_F(BuildTest, WritesACatalogueThatCheckAcceptsAndReplacesOneOnlyWhenForced)
{
    const auto [exitCode, output] = build();
    ASSERT_EQ(exitCode, 0) << output;
    EXPECT_EQ(contents(target + u"/msnskins.txt"_s), "Cartoon Stars*Plain*Zo\xEB");
    EXPECT_EQ(contents(target + u"/Cartoon Stars.txt"_s), "Blue Moon*Sunny Day");
    EXPECT_EQ(contents(target + u"/Zo\u00eb.txt"_s), "Pingu\xEFns");
    EXPECT_EQ(contents(target + u"/CartoonStars/Blue Moon.gif"_s), gifPicture(201, 290));
    EXPECT_EQ(contents(target + u"/Zo\u00eb/Pingu\u00efns.gif"_s), gifPicture(204, 290));
    EXPECT_EQ(run({u"check"_s, target}), std::pair(0, std::string("Catalogue OK: 3 categories, 4 skins\n")));

    writeFile(order, "Zo\u00eb\r\nPlain\n\nCartoon Stars\n");
    EXPECT_EQ(build({u"--order"_s, order}).first, 1) << "not empty";
    EXPECT_EQ(contents(target + u"/msnskins.txt"_s), "Cartoon Stars*Plain*Zo\xEB");
    EXPECT_EQ(build({u"--order"_s, order, u"--force"_s}).first, 0);
    EXPECT_EQ(contents(target + u"/msnskins.txt"_s), "Zo\xEB*Plain*Cartoon Stars");
    EXPECT_EQ(besideTarget(), (QStringList{u"order"_s, u"site"_s, u"source"_s}));
}

// A file added to the source, or an order file, that must stop the build.
const BadFile badSources[] = {
    {"FoldersCollideWithoutSpaces", "source/CartoonStars/Rain.gif", nullptr, "share the picture folder"},
    {"ForbiddenCharacter", "source/Plain/Why?.gif", nullptr, "skin \"Why?\" contains the character '?'"},
    {"PictureThatIsNoGif", "source/Plain/Fake.gif", "\x89PNG\r\n\x1a\n0000000000",
     "Fake.gif: is not a GIF picture"},
    {"SameSkinInTwoCategories", "source/Plain/Blue Moon.gif", nullptr, "\"Blue Moon\" is also listed in"},
    {"FileThatIsNoPicture", "source/Plain/notes.txt", "", "notes.txt: is not a picture named <skin>.gif"},
    {"StarInAName", "source/Plain/A*B.gif", nullptr, "the name contains '*'"},
    {"OrderFileWithoutACategory", "order", "Plain\nZo\u00eb\n",
     "does not name the category \"Cartoon Stars\""},
};

struct BuildFromBadSource : BuildTest, ::testing::WithParamInterface<BadFile> {};

TEST_P(BuildFromBadSource, RefusesAndWritesNothing)
{
    const BadFile &bad = GetParam();
    writeFile(temp.filePath(QString::fromUtf8(bad.file)), bad.content ? QByteArray(bad.content) : gifPicture(205, 290));
    const bool ordered = QFile::exists(order);
    const auto [exitCode, output] = build(ordered ? QStringList{u"--order"_s, order} : QStringList{});
    EXPECT_EQ(exitCode, 1) << output;
    EXPECT_NE(output.find(bad.expectedProblem), npos) << output;
    EXPECT_NE(output.find("nothing written"), npos) << output;
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(besideTarget().size(), ordered ? 2 : 1) << "a folder was left beside the target";
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BuildFromBadSource, ::testing::ValuesIn(badSources),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
