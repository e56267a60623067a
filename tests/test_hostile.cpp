// The main window's update, preview and install against servers and files
// that misbehave on purpose. Whatever comes, the status says what happened,
// the earlier cache copies stay, nothing appears outside the cache, and the
// next good update works.

#include "support/catalogue_window.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QTimer>
#include <QUrl>

#include <httplib.h>

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Request = httplib::Request;
using Response = httplib::Response;

namespace {

// Every path below root: a file with its content, a link with its target.
std::map<QString, QByteArray> snapshot(const QString &root)
{
    std::map<QString, QByteArray> paths;
    for (QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        paths[path.mid(root.size())] = info.isSymLink() ? "-> " + info.symLinkTarget().toUtf8()
                                       : info.isFile()  ? test::contents(path)
                                                        : "<not a file>";
    }
    return paths;
}

class Hostile;
enum class Command { Update, Preview, Install };
struct Case {
    std::string name;
    Command command;
    std::function<void(Hostile &)> arrange;
    QString status;
    // The files the command may change, since it fetched them; any other
    // may only be added to the cache.
    QStringList fetched = {};
};
void PrintTo(const Case &row, std::ostream *os) { *os << row.name; }

const QString downloaded = u"Skinlijst succesvol gedownload!"_s, failed = u"Fout bij het downloaden!"_s;
using test::failure;

// The window over its good catalogue, loaded and Blue Moon previewed once,
// with a file outside the cache that links may point at.
class Hostile : public ::testing::TestWithParam<Case>, public test::CatalogueWindow {
public:
    void SetUp() override
    {
        profile.writeProgramFile(decoy, "not to be touched");
        QDir(profile.programFolder()).mkpath(u"tmp"_s);
        oldTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", (profile.programFolder() + u"/tmp"_s).toLocal8Bit()); // within the sandbox
        // Short limits, so that stalls and drips end within seconds.
        profile.transfers().policy = {.connectTimeout = 1s, .lowSpeedTime = 1s, .maxTime = 3s};
        start();
        click(u"Blue Moon"_s);
        ASSERT_EQ(main.statusText(), u"Geladen"_s);
    }
    void TearDown() override { qputenv("TMPDIR", oldTemp); }

    void run(Command command)
    {
        if (command == Command::Update) {
            main.menus.update->trigger();
            ASSERT_TRUE(test::waitUntil([&] { return !main.loading->isActive(); }, 20000));
        } else {
            click(u"Blue Moon"_s);
            if (command == Command::Install)
                main.Command1_Click();
        }
    }
    void base(const QString &url) { main.catalogue().baseUrl = url; }
    void raw(const std::string &reply) { base(rawServer.emplace(reply).baseUrl()); }
    void answer(const std::string &path, int status, const std::string &location = {})
    {
        server.setHandler(path, [=](const Request &, Response &response) {
            response.status = status;
            response.set_content(status == 204 ? "" : "Evil*List", "text/plain");
            if (!location.empty())
                response.set_header("Location", location);
        });
    }
    // One byte, then nothing more, or a byte every 100 ms, until the client gives up.
    void hold(const std::string &path, bool drip)
    {
        server.setHandler(path, [this, drip](const Request &, Response &response) {
            response.set_chunked_content_provider("text/plain", [this, drip](size_t offset, httplib::DataSink &sink) {
                if (offset > 600 || !sink.write("Cartoons" + offset % 8, 1)) // at most a minute
                    return false;
                for (int i = 0; i < (drip ? 2 : 200) && sink.is_writable() && !server.stopping(); ++i)
                    std::this_thread::sleep_for(50ms);
                return drip;
            });
        });
    }
    void link(const QString &name, const QString &target)
    {
        QFile::remove(cacheFile(name));
        ASSERT_TRUE(QFile::link(target, cacheFile(name)));
    }

    test::TestServer other;
    std::optional<test::RawServer> rawServer;
    const QString decoy = profile.programFolder() + u"/../outside.txt"_s;
    QByteArray oldTemp;
    bool asNobody = false;
};

TEST_P(Hostile, IsReportedAndHarmless)
{
    const Case &row = GetParam();
    const QString root = QFileInfo(profile.programFolder() + u"/.."_s).canonicalFilePath();
    row.arrange(*this);
    const auto before = snapshot(root);
    const QByteArray cacheFolder = QFile::encodeName(cacheFile({}));
    if (asNobody) { // root may write anything: the command's file access is nobody's
        ASSERT_TRUE(chmod(QFile::encodeName(root).constData(), 0755) == 0 && chmod(cacheFolder.constData(), 0755) == 0);
        setfsgid(65534);
        setfsuid(65534);
        if (geteuid() != 0)
            chmod(cacheFolder.constData(), 0555);
    }
    run(row.command);
    if (asNobody) {
        setfsuid(0);
        setfsgid(0);
        chmod(cacheFolder.constData(), 0755);
    }
    EXPECT_EQ(main.statusText(), row.status);

    const auto after = snapshot(root);
    for (const auto &[path, content] : before) {
        if (std::ranges::none_of(row.fetched, [&](const QString &name) { return path.endsWith(u'/' + name); })) {
            EXPECT_EQ(after.contains(path) ? after.at(path) : "<gone>", content) << path.toStdString();
        }
    }
    for (const auto &[path, content] : after)
        EXPECT_TRUE(before.contains(path) || (path.startsWith(u"/program/Cache/"_s) && !path.contains(u".part"_s)))
            << "new: " << path.toStdString();

    serveCatalogue();
    base(server.baseUrl());
    run(Command::Update);
    EXPECT_EQ(main.statusText(), downloaded);
    EXPECT_EQ(tree(), u" MSN Skins|   Cartoons|    Blue Moon|    Red Sun|   Nature|    Forest"_s);
}

const QByteArray manyNames = [] {
    QByteArray names("n0");
    for (int i = 1; i < 40000; ++i)
        names += "*n" + QByteArray::number(i);
    return names;
}();

// clang-format off
const Case cases[] = {
    // A name that cannot become a cache file, a key twice; more of either in the catalogue tests.
    {"ClimbingCategory", Command::Update, [](Hostile &h) { h.server.setFile("/msnskins.txt", "Cartoons*../../outside"); },
     failure(52, "Bad file name or number"), {"msnskins.tmp"}},
    {"DotCategory", Command::Update, [](Hostile &h) { h.server.setFile("/msnskins.txt", ".."); },
     failure(52, "Bad file name or number"), {"msnskins.tmp"}},
    {"EmptyCategory", Command::Update, [](Hostile &h) { h.server.setFile("/msnskins.txt", "Cartoons**Nature"); },
     u"Skinlijst-bestand ontbreekt. Update de skinlijst!"_s, {"msnskins.tmp"}},
    {"UTF16List", Command::Update, [](Hostile &h) { h.server.setFile("/msnskins.txt", QByteArray("\xFF\xFE" "C\0a\0r\0", 8)); },
     failure(52, "Bad file name or number"), {"msnskins.tmp"}},
    {"BinaryList", Command::Update, [](Hostile &h) {
         QByteArray bytes(256, 0);
         std::iota(bytes.begin(), bytes.end(), 0);
         h.server.setFile("/msnskins.txt", bytes);
     }, failure(52, "Bad file name or number"), {"msnskins.tmp"}},
    {"DuplicateSkin", Command::Update, [](Hostile &h) { h.server.setFile("/Cartoons.txt", "Blue Moon*Blue Moon"); },
     failure(35602, "Key is not unique in collection"), {"Cartoons.tmp"}},
    // Too much.
    {"OversizeList", Command::Update, [](Hostile &h) { // with no length told: counted as it comes
         h.server.setHandler("/msnskins.txt", [](const Request &, Response &response) {
             response.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink &sink) {
                 const std::string chunk(1024 * 1024, 'x'); // 8 MiB and a byte, then a proper end
                 if (offset < 8 * chunk.size())
                     return sink.write(chunk.data(), chunk.size());
                 sink.write("x", 1);
                 sink.done();
                 return true;
             });
         });
     }, downloaded},
    {"ManyCategories", Command::Update, [](Hostile &h) { h.server.setFile("/msnskins.txt", manyNames); },
     failure(6, "Overflow"), {"msnskins.tmp"}},
    {"ManySkins", Command::Update, [](Hostile &h) { h.server.setFile("/Cartoons.txt", manyNames); },
     failure(6, "Overflow"), {"Cartoons.tmp"}},
    {"OversizePicture", Command::Preview, [](Hostile &h) {
         h.server.setFile("/Cartoons/Blue%20Moon.gif", QByteArray(64 * 1024 * 1024 + 1, 'G'));
     }, failed},
    {"PictureBomb", Command::Preview, [](Hostile &h) { h.server.setFile("/Cartoons/Blue%20Moon.gif", test::gifPicture(30000, 30000)); },
     failure(481, "Invalid picture"), {"temp.dat"}},
    {"NotAPicture", Command::Preview, [](Hostile &h) { h.server.setFile("/Cartoons/Blue%20Moon.gif", "<html>no</html>"); },
     failure(481, "Invalid picture"), {"temp.dat"}},
    {"TruncatedPicture", Command::Preview, [](Hostile &h) { h.server.setFile("/Cartoons/Blue%20Moon.gif", test::gifPicture().left(12)); },
     failure(481, "Invalid picture"), {"temp.dat"}},
    // Too slow, too short, cut off.
    {"StalledList", Command::Update, [](Hostile &h) { h.hold("/msnskins.txt", false); }, downloaded},
    {"DrippedList", Command::Update, [](Hostile &h) { h.hold("/msnskins.txt", true); }, downloaded},
    {"ShortList", Command::Update, [](Hostile &h) { // promises 1000 bytes, sends a few and hangs up
         h.server.setHandler("/msnskins.txt", [](const Request &, Response &response) {
             response.set_content_provider(1000, "text/plain", [](size_t, size_t, httplib::DataSink &sink) {
                 sink.write("Cartoons", 8);
                 return false;
             });
         });
     }, downloaded},
    // Redirects and answers that are no content.
    {"RedirectLoop", Command::Update, [](Hostile &h) { h.answer("/msnskins.txt", 302, "/msnskins.txt"); }, downloaded},
    {"RedirectToFile", Command::Update, [](Hostile &h) { h.answer("/msnskins.txt", 302, "file://" + h.decoy.toStdString()); },
     downloaded},
    {"RedirectToFtp", Command::Update, [](Hostile &h) { h.answer("/msnskins.txt", 302, "ftp://127.0.0.1/msnskins.txt"); },
     downloaded},
    {"RedirectToAnotherPort", Command::Update, [](Hostile &h) {
         h.other.setFile("/list.txt", "Nature");
         h.answer("/msnskins.txt", 302, h.other.baseUrl().toStdString() + "list.txt");
     }, downloaded, {"msnskins.tmp"}},
    {"NoContent204", Command::Update, [](Hostile &h) { h.answer("/msnskins.txt", 204); }, downloaded, {"msnskins.tmp"}},
    {"MovedWithoutPlace301", Command::Update, [](Hostile &h) { h.answer("/msnskins.txt", 301); }, downloaded},
    {"NotFound404", Command::Update, [](Hostile &h) { h.answer("/msnskins.txt", 404); }, downloaded},
    {"ServerError500", Command::Update, [](Hostile &h) { h.answer("/msnskins.txt", 500); }, downloaded},
    {"MegabyteHeader", Command::Update, [](Hostile &h) {
         h.server.setHandler("/msnskins.txt", [](const Request &, Response &response) {
             response.set_header("X-Padding", std::string(1024 * 1024, 'x'));
             response.set_content("Evil", "text/plain");
         });
     }, downloaded},
    // Not HTTP, or broken HTTP.
    {"JunkReply", Command::Update, [](Hostile &h) { h.raw("SSH-2.0-OpenSSH\r\n\r\nEvil*List"); }, failed},
    {"EmptyReply", Command::Update, [](Hostile &h) { h.raw(""); }, failed},
    {"BadChunkSize", Command::Update, [](Hostile &h) {
         h.raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZ\r\nEvil\r\n0\r\n\r\n");
     }, failed},
    {"PetabyteLength", Command::Update, [](Hostile &h) { h.raw("HTTP/1.1 200 OK\r\nContent-Length: 1000000000000000\r\n\r\nEvil"); },
     failed},
    // Nobody there.
    {"ClosedPort", Command::Update, [](Hostile &h) { h.base(u"http://127.0.0.1:%1/"_s.arg(test::closedPort())); }, failed},
    {"UnresolvableHost", Command::Update, [](Hostile &h) { h.base(u"http://vellumo-test.invalid/"_s); }, failed},
    {"FileAddress", Command::Update, [](Hostile &h) {
         h.profile.writeProgramFile(u"../msnskins.txt"_s, "Cartoons");
         h.profile.writeProgramFile(u"../Cartoons.txt"_s, "Blue Moon");
         h.base(QUrl::fromLocalFile(h.profile.programFolder() + u"/../"_s).toString());
     }, downloaded, {"msnskins.tmp", "Cartoons.tmp"}},
    {"FifoAndLinkAtFileAddress", Command::Update, [](Hostile &h) { // neither is read, nor waited for
         const QString folder = h.profile.programFolder() + u"/../files/"_s;
         QDir().mkpath(folder);
         ASSERT_EQ(mkfifo(QFile::encodeName(folder + u"msnskins.txt"_s).constData(), 0600), 0);
         h.profile.writeProgramFile(folder + u"list"_s, "Blue Moon");
         ASSERT_TRUE(QFile::link(folder + u"list"_s, folder + u"Cartoons.txt"_s));
         h.base(QUrl::fromLocalFile(folder).toString());
     }, failed},
    // The cache itself.
    {"LinkedList", Command::Update, [](Hostile &h) { h.link(u"msnskins.tmp"_s, h.decoy); }, downloaded, {"msnskins.tmp"}},
    {"LinkedPreview", Command::Preview, [](Hostile &h) { h.link(u"temp.dat"_s, h.decoy); }, u"Geladen"_s, {"temp.dat"}},
    {"DanglingPreviewLink", Command::Preview, [](Hostile &h) { h.link(u"temp.dat"_s, h.decoy + u".new"_s); }, u"Geladen"_s,
     {"temp.dat"}},
    {"UnwritableCache", Command::Update, [](Hostile &h) { h.asNobody = true; }, failed},
    // Messenger's folder.
    {"LinkedBackground", Command::Install, [](Hostile &h) {
         const QString folder = h.profile.driveC() + u"/Program Files/Messenger"_s;
         QDir().mkpath(folder);
         h.profile.writeProgramFile(folder + u"/msmsgs.exe"_s, "MZ");
         h.profile.writeProgramFile(
             h.profile.prefixFolder() + u"/system.reg"_s,
             "WINE REGISTRY Version 2\n#arch=win64\n\n[Software\\\\Wow6432Node\\\\Microsoft\\\\MessengerService] 1\n"
             "\"InstallationDirectory\"=\"C:\\\\Program Files\\\\Messenger\"\n");
         ASSERT_TRUE(QFile::link(h.decoy, folder + u"/lvback.gif"_s));
     }, u"Skin succesvol als achtergrond geplaatst!"_s, {"lvback.gif"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Hostile, Hostile, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case> &info) { return info.param.name; });

} // namespace
