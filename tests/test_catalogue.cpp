// Loading the catalogue, skin previews and the list update, against a server
// on 127.0.0.1; and how the main window shows them.

#include "app/program_files.h"
#include "catalogue/catalogue.h"
#include "download/downloader.h"
#include "download/transfer_policy.h"
#include "localisation/text_table.h"
#include "support/catalogue_window.h"
#include "support/recorded_report.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QInputDevice>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <httplib.h>

#include <set>
#include <thread>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString downloaded = u"Skinlijst succesvol gedownload!"_s;
const QString listMissing = u"Skinlijst-bestand ontbreekt. Update de skinlijst!"_s;
const QString notUnique = u"failure: 35602"_s;

class CatalogueTest : public ::testing::Test {
protected:
    // Loads the catalogue once, as the timer's first tick at start would.
    void start(bool fromCache = false)
    {
        catalogue.baseUrl = server.baseUrl();
        catalogue.loadFromCache = fromCache;
        catalogue.clock = [] { return QTime(12, 34, 56); };
        catalogue.addRootNode();
        catalogue.load();
    }
    QString cacheFile(const QString &name) const { return profile.programFolder() + u"/Cache/"_s + name; }
    QByteArray readCache(const QString &name) const { return test::contents(cacheFile(name)); }
    // The node texts in tree order joined by "|", children indented by two more blanks.
    QString tree() const
    {
        QStringList lines;
        std::function<void(const QString &, const QString &)> add = [&](const QString &parent, const QString &indent) {
            for (const CatalogueNode &node : catalogue.nodes())
                if (node.parentKey == parent) {
                    lines << indent + node.text;
                    add(node.key, indent + u"  "_s);
                }
        };
        add({}, {});
        return lines.join(u'|');
    }

    test::TestProfile profile;
    test::TestServer server;
    test::RecordedReport report;
    TransferSession session;
    ProgramFiles files{profile.programFolder()};
    Downloader downloader{session, report, builtInTexts()};
    Catalogue catalogue{files, downloader, report, builtInTexts()};
};

struct Load {
    std::string name;
    bool fromCache;
    std::vector<std::pair<std::string, QString>> served; // "/name.txt" and its content
    bool cached; // the cache holds the list "Nature" and Nature's "Forest*Sea"
    QString tree, status;
    size_t asked; // requests at most
    int progress = 0; // cleared at every end but a failure's
};

void PrintTo(const Load &load, std::ostream *os) { *os << load.name; }

std::vector<Load> loads()
{
    const QString cachedTree = u" MSN Skins|   Nature|    Forest|    Sea"_s;
    std::vector<Load> cases = {
        {"FromTheCacheWithoutAsking", true, {}, true, cachedTree, {}, 0},
        {"FromAnEmptyCache", true, {}, false, u" MSN Skins"_s, listMissing, 0},
        {"FailedDownloadsFallBackOnTheCache", false, {}, true, cachedTree, u"Fout bij het downloaden!"_s, 2},
        {"ListEndsInLineBreak", false, {{"msnskins", u"Nature*Sea\r\n"_s}, {"Nature", u"Forest"_s}, {"Sea", u"Waves"_s}},
         false, u" MSN Skins|   Nature|    Forest|   Sea\r\n"_s, listMissing, 3},
        {"MissingCategoryFile", false, {{"msnskins", u"Nature*Gone*Later"_s}, {"Nature", u"Forest"_s},
         {"Later", u"x"_s}}, false, u" MSN Skins|   Nature|    Forest|   Gone"_s, listMissing, 4},
        {"EmptyList", false, {{"msnskins", {}}}, false, u" MSN Skins"_s, downloaded, 1},
        // Where a load stops, a later category fetched meanwhile never reaches the cache.
        {"SkinTwice", false, {{"msnskins", u"Nature*Sea*Later"_s}, {"Nature", u"Forest*Blue"_s},
         {"Sea", u"Waves*Blue"_s}, {"Later", u"x"_s}}, false, u" MSN Skins|   Nature|    Forest|    Blue|   Sea|    Waves"_s,
         notUnique, 4, 10},
        {"CategoryTwiceWithinOneSecond", false, {{"msnskins", u"Nature*Nature*Later"_s}, {"Nature", u"Forest"_s},
         {"Later", u"x"_s}}, false, u" MSN Skins|   Nature|    Forest"_s, notUnique, 3, 10},
        {"MoreThan32767Entries", false, {{"msnskins", u"Big*Later"_s}, {"Big", u"s*"_s.repeated(32767) + u"s"_s},
         {"Later", u"x"_s}}, false, u" MSN Skins|   Big"_s, u"failure: 6"_s, 3, 10},
        {"ListOfMoreThan32767Entries", false, {{"msnskins", u"c*"_s.repeated(32767) + u"c"_s}}, false, u" MSN Skins"_s,
         u"failure: 6"_s, 1, 20},
        // Cache files whose names begin with a dot: ".NET.tmp" and, for the empty last entry, ".tmp".
        {"DotNamesAndAnEmptyLastCategory", false, {{"msnskins", u".NET*Sea*"_s}, {".NET", u"Core"_s},
         {"Sea", u"Waves"_s}, {"", u"Lone"_s}}, false, u" MSN Skins|   .NET|    Core|   Sea|    Waves|   |    Lone"_s,
         downloaded, 4},
        // Its cache file's name, "x...x.tmp", of 255 bytes: the longest a folder holds.
        {"LongestCategory", false, {{"msnskins", QString(251, u'x')}, {std::string(251, 'x'), u"Forest"_s}}, false,
         u" MSN Skins|   "_s + QString(251, u'x') + u"|    Forest"_s, downloaded, 2},
    };
    // Names that would leave the cache folder, or not fit in it, fail before their transfer; their node stays.
    const std::pair<std::string, QString> hostile[] = {{"ParentPath", u"../escape"_s}, {"Slash", u"a/b"_s},
        {"Backslash", u"a\\b"_s}, {"Drive", u"C:evil"_s}, {"Nul", u"nul\u0000name"_s}, {"Dot", u"."_s}, {"DotDot", u".."_s},
        {"Long", QString(252, u'x')}};
    for (const auto &[name, category] : hostile)
        cases.push_back({"HostileCategory" + name, false, {{"msnskins", u"Nature*"_s + category + u"*Later"_s},
                         {"Nature", u"Forest"_s}, {"Later", u"x"_s}}, false,
                         u" MSN Skins|   Nature|    Forest|   "_s + category, u"failure: 52"_s, 2, 20});
    return cases;
}

class CatalogueLoad : public CatalogueTest, public ::testing::WithParamInterface<Load> {};

TEST_P(CatalogueLoad, BuildsTheTreeOrReportsWhyNot)
{
    const Load &c = GetParam();
    for (const auto &[name, content] : c.served)
        server.setFile("/" + name + ".txt", content.toUtf8());
    if (c.cached) {
        profile.writeProgramFile(u"Cache/msnskins.tmp"_s, "Nature");
        profile.writeProgramFile(u"Cache/Nature.tmp"_s, "Forest*Sea");
    }
    start(c.fromCache);
    EXPECT_EQ(tree(), c.tree);
    EXPECT_EQ(report.status, c.status);
    EXPECT_LE(server.requests().size(), c.asked) << "nothing asked for what failed or is cached";
    EXPECT_EQ(report.progress, c.progress);
    EXPECT_EQ(QDir(profile.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"Cache"_s}) << "nothing written outside the cache";
    // In the cache, beside the list, only the files of categories the loading reached; no temporary.
    for (const QString &file : QDir(cacheFile({})).entryList(QDir::Files | QDir::Hidden))
        EXPECT_TRUE(file == u"msnskins.tmp"_s || std::ranges::any_of(catalogue.nodes(), [&](const CatalogueNode &node) {
            return u" "_s + file == node.text + u".tmp"_s;
        })) << file.toStdString();
    if (c.cached) {
        EXPECT_EQ(readCache(u"msnskins.tmp"_s), "Nature");
        EXPECT_EQ(readCache(u"Nature.tmp"_s), "Forest*Sea");
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CatalogueLoad, ::testing::ValuesIn(loads()),
                         [](const auto &info) { return info.param.name; });

class Preview : public CatalogueTest {
protected:
    void SetUp() override
    {
        server.setFile("/msnskins.txt", "Cartoon Stars*Nature");
        server.setFile("/Cartoon%20Stars.txt", "Blue Moon*Not A Picture*Gone#1*100%");
        server.setFile("/Nature.txt", "Forest");
        server.setFile("/CartoonStars/Blue%20Moon.gif", test::gifPicture(4, 6));
        server.setFile("/CartoonStars/Not%20A%20Picture.gif", "<html>no</html>");
        server.setFile("/CartoonStars/100%25.gif", test::gifPicture(5, 5));
        start();
        report.take();
        report.takeSteps();
    }
};

TEST_F(Preview, TheLoadAsksForEachFileOnceThenAClickedSkinIsFetchedAndShownButNeverACategoryOrTheRoot)
{
    ASSERT_EQ(tree(), u" MSN Skins|   Cartoon Stars|    Blue Moon|    Not A Picture|    Gone#1|    100%|   Nature|"
                      u"    Forest"_s);
    const std::vector<std::string> loaded = server.requests(); // the category files side by side, in any order
    EXPECT_EQ(std::set(loaded.begin(), loaded.end()),
              (std::set<std::string>{"/msnskins.txt", "/Cartoon%20Stars.txt", "/Nature.txt"}));
    EXPECT_TRUE(loaded.size() == 3 && loaded[0] == "/msnskins.txt");
    EXPECT_LE(server.connections(), 2) << "kept alive: one for each file in flight at most";
    EXPECT_EQ(readCache(u"Cartoon Stars.tmp"_s), "Blue Moon*Not A Picture*Gone#1*100%");

    const QList<int> fetched{10, 20, 30, 40, 50, 60, 70, 0, 10, 20, 0};
    using enum Catalogue::Selection;
    // A failed transfer (Gone#1) and what is no picture leave the earlier picture, and their failure shown.
    const struct { QString key; std::string asked; Catalogue::Selection selection; QList<int> progress; QString status;
                   QSize shown; QByteArray kept; } clicks[] = {
        {u"Blue Moon"_s, "/CartoonStars/Blue%20Moon.gif", Skin, fetched, u"Geladen"_s, {4, 6}, test::gifPicture(4, 6)},
        {u"Gone#1"_s, "/CartoonStars/Gone%231.gif", Failed, {10, 20, 30, 40, 50, 60, 70, 0},
         u"Fout bij het downloaden!"_s, {4, 6}, test::gifPicture(4, 6)},
        {u"100%"_s, "/CartoonStars/100%25.gif", Skin, fetched, u"Geladen"_s, {5, 5}, test::gifPicture(5, 5)},
        {u"Not A Picture"_s, "/CartoonStars/Not%20A%20Picture.gif", Failed, {10, 20, 30, 40, 50, 60, 70, 0, 10, 0},
         u"failure: 481"_s, {5, 5}, "<html>no</html>"},
    };
    for (const auto &c : clicks) {
        SCOPED_TRACE(c.asked);
        EXPECT_EQ(catalogue.preview(c.key), c.selection);
        EXPECT_EQ(report.takeSteps(), c.progress);
        EXPECT_EQ(server.requests().back(), c.asked);
        EXPECT_EQ(report.status, c.status);
        EXPECT_EQ(report.picture.size(), c.shown);
        EXPECT_EQ(readCache(u"temp.dat"_s), c.kept);
    }
    report.take();
    const auto asked = server.requests().size();
    for (const QString &key : {u"Cartoon Stars12:34:56"_s, u"msnskins"_s})
        EXPECT_EQ(catalogue.preview(key), Catalogue::Selection::Category);
    EXPECT_EQ(report.take(), QStringList()) << "categories and the root are not previewed";
    EXPECT_EQ(server.requests().size(), asked);
}

// The cache lies beside the program, or in the user's cache folder when the program's cannot be written.
TEST(ProgramFiles, KeepTheCacheBesideTheProgramUnlessItsFolderCannotBeWritten)
{
    const QTemporaryDir userCache, programFolder;
    const QByteArray saved = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", userCache.path().toLocal8Bit());
    // Not even root may make a file in /proc.
    const ProgramFiles portable(programFolder.path()), installed(u"/proc"_s);
    EXPECT_EQ(portable.cacheFolder(), programFolder.path() + u"/Cache"_s);
    EXPECT_EQ(installed.cacheFolder(), userCache.path() + u"/vellumo/Cache"_s);
    EXPECT_TRUE(QFileInfo(userCache.path() + u"/vellumo/Cache"_s).isDir());
    EXPECT_EQ(installed.previewFile(), userCache.path() + u"/vellumo/Cache/temp.dat"_s);
    saved.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", saved);
}

TEST_F(CatalogueTest, ACacheFolderThatCannotBeMadeEndsTheLoadAndThePreview)
{
    profile.writeProgramFile(u"Cache"_s, "a file");
    start();
    catalogue.addNode(Catalogue::rootKey, u"Blue Moon"_s, u"Blue Moon"_s);
    EXPECT_EQ(catalogue.preview(u"Blue Moon"_s), Catalogue::Selection::None);
    EXPECT_EQ(report.take(), (QStringList{u"busy"_s, u"failure: 75"_s, u"idle"_s, u"clear"_s,
                                          u"status: Fout bij het downloaden!"_s}));
    EXPECT_TRUE(server.requests().empty());
}

// The window is let run between categories even when none has skins enough to
// let it run on the way, so a close during a long load from the cache ends it.
TEST_F(CatalogueTest, ACloseWhileTheWindowIsLetRunEndsALoadFromTheCacheAtTheNextCategory)
{
    profile.writeProgramFile(u"Cache/msnskins.tmp"_s, "Nature*Sea*Sky");
    for (const QString &category : {u"Nature"_s, u"Sea"_s, u"Sky"_s})
        profile.writeProgramFile(u"Cache/"_s + category + u".tmp"_s,
                                 (category + u" 1*"_s + category + u" 2"_s).toUtf8());
    report.whileLetRun = [this] { session.stop(); };
    start(true);
    EXPECT_EQ(tree(), u" MSN Skins|   Nature|    Nature 1|    Nature 2"_s);
}

// The window over its catalogue, loaded.
class CatalogueWindow : public test::CatalogueWindow, public ::testing::Test {
protected:
    void SetUp() override { start(); }
};

// It shows the catalogue in its tree, previews what is clicked there, reloads
// the tree on an update, and shows a failure's text.
TEST_F(CatalogueWindow, ShowsTheTreePreviewsAClickedSkinAndReloadsOnAnUpdate)
{
    EXPECT_EQ(tree(), u" MSN Skins|   Cartoons|    Blue Moon|    Red Sun|   Nature|    Forest"_s);
    EXPECT_FALSE(main.loading->isActive());

    click(u"Blue Moon"_s); // "Geladen", as the hostile tests' set-up asserts
    EXPECT_EQ(main.scrSkin->pixmap().size(), QSize(4, 6));
    EXPECT_TRUE(main.Command1->isEnabled() && main.menus.skin->isEnabled());
    EXPECT_EQ(main.ProgressBar1->value(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy pointer is gone";
    click(u"Cartoons12:34:56"_s);
    EXPECT_FALSE(main.Command1->isEnabled() || main.menus.skin->isEnabled());
    click(u"Blue Moon"_s);
    click(u"Forest"_s); // not served
    EXPECT_EQ(main.statusText(), u"Fout bij het downloaden!"_s);
    EXPECT_FALSE(main.Command1->isEnabled() || main.menus.skin->isEnabled()) << "Blue Moon is no longer chosen";
    EXPECT_EQ(main.ProgressBar1->value(), 0);

    server.setFile("/msnskins.txt", "Nature");
    main.catalogue().loadFromCache = true; // the update downloads all the same
    main.menus.update->trigger();
    EXPECT_EQ(tree(), u" MSN Skins"_s);
    EXPECT_TRUE(main.loading->isActive());
    ASSERT_TRUE(test::waitUntil([&] { return !main.loading->isActive(); }));
    EXPECT_EQ(tree(), u" MSN Skins|   Nature|    Forest"_s);
    EXPECT_TRUE(main.TV1->isExpanded(main.TV1->node(u"msnskins"_s))) << "expanded before its categories came";
    EXPECT_EQ(main.scrSkin->pixmap().size(), QSize(4, 6)) << "the preview stays";

    QDir(profile.programFolder() + u"/Cache"_s).removeRecursively();
    profile.writeProgramFile(u"Cache"_s, "a file");
    main.loading->start();
    main.loading_Timer();
    EXPECT_EQ(main.statusText(), u"Fout opgetreden: 75 - Path/File access error"_s);
    EXPECT_FALSE(main.loading->isActive());
}

// Keys reach the tree as the window system delivers them: queued, and handled
// only once the command before them has ended.
TEST_F(CatalogueWindow, ANodeReachedWithTheKeyboardIsPreviewedAsOnceClickedButNotOneTheProgramSelects)
{
    server.setFile("/Nature/Forest.gif", test::gifPicture(1, 3));
    main.show();
    main.menus.out->trigger();
    main.TV1->setFocus();
    QWindow *window = main.windowHandle();
    QInputDevice::primaryKeyboard(); // made here, in the thread that owns the devices
    server.setHandler("/Cartoons/Blue%20Moon.gif", [window](const httplib::Request &, httplib::Response &response) {
        using System = QWindowSystemInterface;
        for (const auto &[key, text] : {std::pair{int(Qt::Key_Down), QString()}, {int(Qt::Key_F), u"f"_s}}) {
            System::handleKeyEvent<System::AsynchronousDelivery>(window, QEvent::KeyPress, key, {}, text);
            System::handleKeyEvent<System::AsynchronousDelivery>(window, QEvent::KeyRelease, key, {}, text);
        }
        response.set_content(test::gifPicture(1, 1).toStdString(), "image/gif");
    });
    const auto asked = server.requests().size();
    auto mouseClick = [&](const QString &key) {
        QTest::mouseClick(main.TV1->viewport(), Qt::LeftButton, {}, main.TV1->visualRect(main.TV1->node(key)).center());
    };
    mouseClick(u"Blue Moon"_s);
    EXPECT_EQ(main.scrSkin->pixmap().size(), QSize(1, 1)) << "the keys wait until the click's preview is done";
    EXPECT_EQ(server.requests().size(), asked + 1);
    ASSERT_TRUE(test::waitUntil([&] { return main.scrSkin->pixmap().height() == 3; }));
    const std::vector<std::string> requests = server.requests();
    EXPECT_EQ(std::vector(requests.begin() + asked, requests.end()),
              (std::vector<std::string>{"/Cartoons/Blue%20Moon.gif", "/Cartoons/Red%20Sun.gif", "/Nature/Forest.gif"}));
    EXPECT_EQ(main.TV1->currentIndex(), main.TV1->node(u"Forest"_s));
    mouseClick(u"Forest"_s);
    main.TV1->setCurrentIndex(main.TV1->node(u"Red Sun"_s));
    QApplication::processEvents();
    EXPECT_EQ(server.requests().size(), asked + 4) << "one more for the click on the selected node, none for the program's";
    EXPECT_TRUE(main.Command1->isEnabled());
}

// While a transfer stalls, the loading timer waits for the command's end. The
// desktop test shows the window repaint and close meanwhile, under real X.
TEST_F(CatalogueWindow, DuringATransferTheLoadingTimerWaits)
{
    server.setHandler("/Cartoons/Red%20Sun.gif", [](const httplib::Request &, httplib::Response &response) {
        std::this_thread::sleep_for(300ms);
        response.set_content(test::gifPicture(1, 2).toStdString(), "image/gif");
    });
    main.loading->start();
    const auto asked = server.requests().size();
    click(u"Red Sun"_s);
    EXPECT_EQ(server.requests().size(), asked + 1) << "the loading timer waited";
}

} // namespace
