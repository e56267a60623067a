// Loading the catalogue into the tree, skin previews and the list update, against a server on 127.0.0.1.

#include "app/form1.h"
#include "app/keyed_tree.h"
#include "support/test_profile.h"
#include "support/test_server.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;

namespace {

const QString loaded = u"Geladen"_s;
const QString downloaded = u"Skinlijst succesvol gedownload!"_s;
const QString listMissing = u"Skinlijst-bestand ontbreekt. Update de skinlijst!"_s;
const QString notUnique = u"Fout opgetreden: 35602 - Key is not unique in collection"_s;

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override { profile.store(u"base"_s, server.baseUrl()); }
    // Loads the window and runs the loader once, as the timer's first tick would.
    void start(const QString &commandLine = {})
    {
        main = std::make_unique<Form1>(profile.environment(commandLine));
        main->clock = [] { return QTime(12, 34, 56); };
        main->LoadDefaultLanguage();
        main->loading_Timer();
    }
    QString cacheFile(const QString &name) const { return profile.programFolder() + u"/Cache/"_s + name; }
    void writeCache(const QString &name, const QByteArray &content)
    {
        QDir(profile.programFolder()).mkpath(u"Cache"_s);
        profile.writeProgramFile(u"Cache/"_s + name, content);
    }
    QByteArray readCache(const QString &name) const
    {
        QFile file(cacheFile(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // The node texts joined by "|", children indented by two more blanks.
    QString tree() const
    {
        QStringList lines;
        for (QTreeWidgetItemIterator it(main->TV1); *it; ++it) {
            lines << (*it)->text(0);
            for (auto *up = (*it)->parent(); up; up = up->parent())
                lines.last().prepend(u"  "_s);
        }
        return lines.join(u'|');
    }

    test::TestProfile profile;
    test::TestServer server;
    std::unique_ptr<Form1> main;
};

struct Load {
    std::string name;
    QString commandLine;
    std::vector<std::pair<std::string, QString>> served; // "/name.txt" and its content
    bool cached; // the cache holds the list "Nature" and Nature's "Forest*Sea"
    QString tree, status;
    size_t asked; // requests at most
};

void PrintTo(const Load &load, std::ostream *os)
{
    *os << load.name;
}

std::vector<Load> loads()
{
    const QString cachedTree = u" MSN Skins|   Nature|    Forest|    Sea"_s;
    std::vector<Load> cases = {
        {"FromTheCacheWithoutAsking", u"LOADCACHE"_s, {}, true, cachedTree, loaded, 0},
        {"FromAnEmptyCache", u"loadcache"_s, {}, false, u" MSN Skins"_s, listMissing, 0},
        {"FailedDownloadsFallBackOnTheCache", {}, {}, true, cachedTree, u"Fout bij het downloaden!"_s, 2},
        {"ListEndsInLineBreak", {}, {{"msnskins", u"Nature*Sea\r\n"_s}, {"Nature", u"Forest"_s}, {"Sea", u"Waves"_s}},
         false, u" MSN Skins|   Nature|    Forest|   Sea\r\n"_s, listMissing, 3},
        {"EmptyList", {}, {{"msnskins", {}}}, false, u" MSN Skins"_s, downloaded, 1},
        {"SkinTwice", {}, {{"msnskins", u"Nature*Sea"_s}, {"Nature", u"Forest*Blue"_s}, {"Sea", u"Waves*Blue"_s}},
         false, u" MSN Skins|   Nature|    Forest|    Blue|   Sea|    Waves"_s, notUnique, 3},
        {"CategoryTwiceWithinOneSecond", {}, {{"msnskins", u"Nature*Nature"_s}, {"Nature", u"Forest"_s}},
         false, u" MSN Skins|   Nature|    Forest"_s, notUnique, 2},
        {"MoreThan32767Entries", {}, {{"msnskins", u"Big"_s}, {"Big", u"s*"_s.repeated(32767) + u"s"_s}},
         false, u" MSN Skins|   Big"_s, u"Fout opgetreden: 6 - Overflow"_s, 2},
    };
    // Names that would leave the cache folder fail before their transfer; their node stays.
    const std::pair<std::string, QString> hostile[] = {
        {"ParentPath", u"../escape"_s}, {"Slash", u"a/b"_s}, {"Backslash", u"a\\b"_s}, {"Drive", u"C:evil"_s},
        {"Nul", u"nul\u0000name"_s}, {"Dot", u"."_s}, {"DotDot", u".."_s}};
    for (const auto &[name, category] : hostile)
        cases.push_back({"HostileCategory" + name, {}, {{"msnskins", u"Nature*"_s + category}, {"Nature", u"Forest"_s}},
                         false, u" MSN Skins|   Nature|    Forest|   "_s + category,
                         u"Fout opgetreden: 52 - Bad file name or number"_s, 2});
    return cases;
}

class CatalogueLoad : public Catalogue, public ::testing::WithParamInterface<Load> {};

TEST_P(CatalogueLoad, BuildsTheTreeOrReportsWhyNot)
{
    const Load &c = GetParam();
    for (const auto &[name, content] : c.served)
        server.setFile("/" + name + ".txt", content.toUtf8());
    if (c.cached) {
        writeCache(u"msnskins.tmp"_s, "Nature");
        writeCache(u"Nature.tmp"_s, "Forest*Sea");
    }
    start(c.commandLine);
    EXPECT_EQ(tree(), c.tree);
    EXPECT_EQ(main->statusText(), c.status);
    EXPECT_LE(server.requests().size(), c.asked) << "nothing asked for what failed or is cached";
    EXPECT_FALSE(main->loading->isActive());
    EXPECT_TRUE(c.status.startsWith(u"Fout opgetreden"_s) || main->ProgressBar1->value() == 0);
    EXPECT_EQ(QDir(profile.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"Cache"_s}) << "nothing written outside the cache";
    if (c.cached) {
        EXPECT_EQ(readCache(u"msnskins.tmp"_s), "Nature");
        EXPECT_EQ(readCache(u"Nature.tmp"_s), "Forest*Sea");
        EXPECT_EQ(QDir(cacheFile({})).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary left";
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CatalogueLoad, ::testing::ValuesIn(loads()),
                         [](const auto &info) { return info.param.name; });

class Preview : public Catalogue {
protected:
    void SetUp() override
    {
        Catalogue::SetUp();
        server.setFile("/msnskins.txt", "Cartoon Stars*Nature");
        server.setFile("/Cartoon%20Stars.txt", "Blue Moon*Not A Picture*Gone#1*100%");
        server.setFile("/Nature.txt", "Forest");
        server.setFile("/CartoonStars/Blue%20Moon.gif", test::gifPicture(4, 6));
        server.setFile("/CartoonStars/Not%20A%20Picture.gif", "<html>no</html>");
        server.setFile("/CartoonStars/100%25.gif", test::gifPicture(5, 5));
        start();
    }
    // Clicks the node; answers the progress bar's values meanwhile.
    QList<int> click(const QString &key)
    {
        QList<int> values;
        auto step = QObject::connect(main->ProgressBar1, &QProgressBar::valueChanged, [&](int v) { values << v; });
        main->TV1_NodeClick(main->TV1->node(key));
        QObject::disconnect(step);
        return values;
    }
};

TEST_F(Preview, TheLoadAsksOverOneConnectionThenAClickedSkinIsFetchedAndShownButNeverACategoryOrTheRoot)
{
    ASSERT_EQ(tree(), u" MSN Skins|   Cartoon Stars|    Blue Moon|    Not A Picture|    Gone#1|    100%|   Nature|"
                      u"    Forest"_s);
    EXPECT_EQ(main->TV1->keyOf(main->TV1->node(u"Blue Moon"_s)->parent()), u"Cartoon Stars12:34:56"_s);
    EXPECT_EQ(main->TV1->keyOf(main->TV1->node(u"Forest"_s)->parent()), u"Nature12:34:56"_s);
    EXPECT_EQ(main->statusText(), downloaded);
    EXPECT_EQ(server.requests(), (std::vector<std::string>{"/msnskins.txt", "/Cartoon%20Stars.txt", "/Nature.txt"}));
    EXPECT_EQ(server.connections(), 1) << "N + 1 transfers over one kept-alive connection";
    EXPECT_EQ(readCache(u"Cartoon Stars.tmp"_s), "Blue Moon*Not A Picture*Gone#1*100%");

    const QList<int> fetched{10, 20, 30, 40, 50, 60, 70, 0, 10, 20, 0};
    // A failed transfer (Gone#1) and what is no picture leave the earlier picture.
    const struct { QString key; std::string asked; QList<int> progress; QSize shown; QByteArray kept; } clicks[] = {
        {u"Blue Moon"_s, "/CartoonStars/Blue%20Moon.gif", fetched, {4, 6}, test::gifPicture(4, 6)},
        {u"Gone#1"_s, "/CartoonStars/Gone%231.gif", {10, 20, 30, 40, 50, 60, 70, 80, 90, 0}, {4, 6},
         test::gifPicture(4, 6)},
        {u"100%"_s, "/CartoonStars/100%25.gif", fetched, {5, 5}, test::gifPicture(5, 5)},
        {u"Not A Picture"_s, "/CartoonStars/Not%20A%20Picture.gif", fetched, {5, 5}, "<html>no</html>"},
    };
    for (const auto &c : clicks) {
        SCOPED_TRACE(c.asked);
        EXPECT_EQ(click(c.key), c.progress);
        EXPECT_EQ(server.requests().back(), c.asked);
        EXPECT_EQ(main->statusText(), loaded);
        EXPECT_EQ(main->scrSkin->pixmap().size(), c.shown);
        EXPECT_TRUE(main->Command1->isEnabled() && main->menus.skin->isEnabled());
        EXPECT_EQ(readCache(u"temp.dat"_s), c.kept);
    }
    const auto asked = server.requests().size();
    for (const QString &key : {u"Cartoon Stars12:34:56"_s, u"msnskins"_s}) {
        SCOPED_TRACE(key.toStdString());
        main->Command1->setEnabled(true);
        main->menus.skin->setEnabled(true);
        EXPECT_TRUE(click(key).isEmpty());
        EXPECT_FALSE(main->Command1->isEnabled() || main->menus.skin->isEnabled()) << "nothing to install";
    }
    EXPECT_EQ(server.requests().size(), asked);
    EXPECT_EQ(main->statusText(), loaded);

    const qint64 shown = main->scrSkin->pixmap().cacheKey();
    // 5000 x 5000 in 32-bit colour is 100 MB: over the program's limit, under the decoder's.
    writeCache(u"huge.gif"_s, test::gifDeclaringSize(5000, 5000));
    const std::pair<QString, QString> files[] = {{u"temp.dat"_s, u"481 - Invalid picture"_s},
        {u"nothing.dat"_s, u"53 - File not found"_s}, {u"huge.gif"_s, u"481 - Invalid picture"_s}};
    for (const auto &[file, failure] : files) {
        main->LoadPreview(cacheFile(file));
        EXPECT_EQ(main->statusText(), u"Fout opgetreden: "_s + failure) << file.toStdString();
    }
    EXPECT_EQ(main->scrSkin->pixmap().cacheKey(), shown);
    EXPECT_FALSE(main->loading->isActive());
}

TEST_F(Preview, AnUpdateKeepsThePreviewAndReloadsTheTree)
{
    click(u"Blue Moon"_s);
    const qint64 picture = main->scrSkin->pixmap().cacheKey();
    server.setFile("/msnskins.txt", "Nature");
    main->loadFromCache = true; // the update downloads all the same
    main->menus.update->trigger();
    EXPECT_EQ(tree(), u" MSN Skins"_s);
    EXPECT_TRUE(main->TV1->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(main->loading->isActive());
    ASSERT_TRUE(test::waitUntil([&] { return !main->loading->isActive(); }));
    EXPECT_EQ(tree(), u" MSN Skins|   Nature|    Forest"_s);
    EXPECT_EQ(main->scrSkin->pixmap().cacheKey(), picture);
    EXPECT_EQ(readCache(u"temp.dat"_s), test::gifPicture(4, 6));
    EXPECT_TRUE(main->Command1->isEnabled());
}

} // namespace
