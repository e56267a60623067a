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
        const QFileInfo info = it.nextFileInfo();
        paths[info.filePath().mid(root.size())] = info.isSymLink() ? "-> " + info.symLinkTarget().toUtf8()
                                                  : info.isFile()  ? test::contents(info.filePath())
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
const QString badName = failure(52, "Bad file name or number"), invalidPicture = failure(481, "Invalid picture");
// The list file, and the picture of the skin that the window previews.
const std::string listFile = "/msnskins.txt", previewFile = "/Cartoons/Blue%20Moon.gif";

// The window over its good catalogue, loaded and Blue Moon previewed once,
// with a file outside the cache that links may point at.
class Hostile : public ::testing::TestWithParam<Case>, public test::CatalogueWindow {
public:
    void SetUp() override
    {
        profile.writeProgramFile(decoy, "not to be touched");
        oldTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", profile.programFolder().toLocal8Bit()); // within the sandbox
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
    // "Evil*List" (nothing with a 204) with a status and, given one, a header.
    void answer(const std::string &path, int status, const std::string &header = {}, const std::string &value = {})
    {
        server.setHandler(path, [=](const Request &, Response &response) {
            response.status = status;
            response.set_content(status == 204 ? "" : "Evil*List", "text/plain");
            if (!header.empty())
                response.set_header(header, value);
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
    if (asNobody) { // a read-only cache; root may write anything, so the command's file access is nobody's
        ASSERT_TRUE(chmod(QFile::encodeName(root).constData(), 0755) == 0 && chmod(cacheFolder.constData(), 0555) == 0);
        setfsgid(65534);
        setfsuid(65534);
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

// Serves content at path in place of the good file.
std::function<void(Hostile &)> serve(const std::string &path, const QByteArray &content)
{
    return [=](Hostile &h) { h.server.setFile(path, content); };
}

// clang-format off
const Case cases[] = {
    // A name that cannot become a cache file, a key twice; more of either in the catalogue tests.
    {"ClimbingCategory", Command::Update, serve(listFile, "Cartoons*../../outside"), badName, {"msnskins.tmp"}},
    {"DotCategory", Command::Update, serve(listFile, ".."), badName, {"msnskins.tmp"}},
    {"EmptyCategory", Command::Update, serve(listFile, "Cartoons**Nature"),
     u"Skinlijst-bestand ontbreekt. Update de skinlijst!"_s, {"msnskins.tmp"}},
    {"UTF16List", Command::Update, serve(listFile, QByteArray("\xFF\xFE" "C\0a\0r\0", 8)), badName, {"msnskins.tmp"}},
    {"BinaryList", Command::Update, [](Hostile &h) {
         QByteArray bytes(256, 0);
         std::iota(bytes.begin(), bytes.end(), 0);
         h.server.setFile(listFile, bytes);
     }, badName, {"msnskins.tmp"}},
    {"DuplicateSkin", Command::Update, serve("/Cartoons.txt", "Blue Moon*Blue Moon"),
     failure(35602, "Key is not unique in collection"), {"Cartoons.tmp"}},
    // Too much.
    {"OversizeList", Command::Update, [](Hostile &h) { // 8 MiB and a byte with no length told: counted as it comes
         h.raw("HTTP/1.1 200 OK\r\n\r\n" + std::string(8 * 1024 * 1024 + 1, 'x'));
     }, failed},
    {"ManyCategories", Command::Update, serve(listFile, manyNames), failure(6, "Overflow"), {"msnskins.tmp"}},
    {"ManySkins", Command::Update, serve("/Cartoons.txt", manyNames), failure(6, "Overflow"), {"Cartoons.tmp"}},
    {"OversizePicture", Command::Preview, [](Hostile &h) { // made when the row runs: 64 MiB and a byte
         h.server.setFile(previewFile, QByteArray(64 * 1024 * 1024 + 1, 'G'));
     }, failed},
    // 5000 x 5000 in 32-bit colour is 100 MB: over the program's limit, under the decoder's own.
    {"PictureBomb", Command::Preview, serve(previewFile, test::gifPicture(5000, 5000)), invalidPicture, {"temp.dat"}},
    {"NotAPicture", Command::Preview, serve(previewFile, "<html>no</html>"), invalidPicture, {"temp.dat"}},
    {"TruncatedPicture", Command::Preview, serve(previewFile, test::gifPicture().left(12)), invalidPicture, {"temp.dat"}},
    // Too slow, too short, cut off.
    {"StalledList", Command::Update, [](Hostile &h) { h.hold(listFile, false); }, downloaded},
    {"DrippedList", Command::Update, [](Hostile &h) { h.hold(listFile, true); }, downloaded},
    {"ShortList", Command::Update, [](Hostile &h) { // promises 1000 bytes, sends a few and hangs up
         h.raw("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nCartoons");
     }, failed},
    // Redirects and answers that are no content.
    {"RedirectLoop", Command::Update, [](Hostile &h) { h.answer(listFile, 302, "Location", listFile); }, downloaded},
    {"RedirectToFile", Command::Update, [](Hostile &h) { h.answer(listFile, 302, "Location", "file://" + h.decoy.toStdString()); },
     downloaded},
    {"RedirectToFtp", Command::Update, [](Hostile &h) { h.answer(listFile, 302, "Location", "ftp://127.0.0.1" + listFile); },
     downloaded},
    {"RedirectToAnotherPort", Command::Update, [](Hostile &h) {
         const auto &other = h.rawServer.emplace("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nNature");
         h.answer(listFile, 302, "Location", other.baseUrl().toStdString() + "list.txt");
     }, downloaded, {"msnskins.tmp"}},
    {"NoContent204", Command::Update, [](Hostile &h) { h.answer(listFile, 204); }, downloaded, {"msnskins.tmp"}},
    {"MovedWithoutPlace301", Command::Update, [](Hostile &h) { h.answer(listFile, 301); }, downloaded},
    {"NotFound404", Command::Update, [](Hostile &h) { h.answer(listFile, 404); }, downloaded},
    {"ServerError500", Command::Update, [](Hostile &h) { h.answer(listFile, 500); }, downloaded},
    {"MegabyteHeader", Command::Update, [](Hostile &h) { h.answer(listFile, 200, "X-Padding", std::string(1024 * 1024, 'x')); },
     downloaded},
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
         const QString folder = h.profile.programFolder() + u"/../"_s;
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
         h.profile.writeProgramFile(folder + u"/msmsgs.exe"_s, "MZ");
         h.profile.writeProgramFile(
             h.profile.prefixFolder() + u"/system.reg"_s,
             "WINE REGISTRY Version 2\n#arch=win64\n\n[Software\\\\Wow6432Node\\\\Microsoft\\\\MessengerService] 1\n"
             "\"InstallationDirectory\"=\"C:\\\\Program Files\\\\Messenger\"\n");
         ASSERT_TRUE(QFile::link(h.decoy, folder + u"/lvback.gif"_s));
     }, u"Skin succesvol als achtergrond geplaatst!"_s, {"lvback.gif"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Hostile, Hostile, ::testing::ValuesIn(cases), ::testing::PrintToStringParamName());

} // namespace
