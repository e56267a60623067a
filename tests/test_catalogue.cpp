// Loading the catalogue into the tree, previewing skins and updating the
// list, against a real server on 127.0.0.1.

#include "app/form1.h"
#include "app/keyed_tree.h"
#include "download/transfer_policy.h"
#include "support/test_profile.h"
#include "support/test_server.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using vellumo::test::TestProfile;
using vellumo::test::TestServer;

namespace {

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        transferPolicy() = TransferPolicy{};
        profile.store(u"base"_s, server.baseUrl());
    }

    // Loads the window (which reads the settings) and runs the loader once,
    // as the timer's first tick would.
    void start(const QString &commandLine = {})
    {
        main = std::make_unique<Form1>(profile.environment(commandLine));
        main->clock = [this] { return time; };
        main->LoadDefaultLanguage();
        main->loading_Timer();
    }
    void serveCatalogue()
    {
        server.setFile("/msnskins.txt", "Cartoon Stars*Nature");
        server.setFile("/Cartoon%20Stars.txt", "Blue Moon*Sunny Day");
        server.setFile("/Nature.txt", "Forest");
    }
    QString cacheFile(const QString &name) const
    {
        return QDir(profile.programFolder()).filePath(u"Cache/"_s + name);
    }
    void writeCache(const QString &name, const QByteArray &content)
    {
        QDir(profile.programFolder()).mkpath(u"Cache"_s);
        QFile file(cacheFile(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray readCache(const QString &name) const
    {
        QFile file(cacheFile(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // The tree as "text" lines, children indented by two blanks.
    QStringList tree() const
    {
        QStringList lines;
        std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *item, int depth) {
            lines << QString(depth * 2, u' ') + item->text(0);
            for (int i = 0; i < item->childCount(); ++i)
                walk(item->child(i), depth + 1);
        };
        for (int i = 0; i < main->TV1->topLevelItemCount(); ++i)
            walk(main->TV1->topLevelItem(i), 0);
        return lines;
    }

    TestProfile profile;
    TestServer server;
    QTime time{12, 34, 56};
    std::unique_ptr<Form1> main;
};

TEST_F(Catalogue, BuildsCategoriesAndSkinsInFileOrderOverOneConnection)
{
    serveCatalogue();
    start();

    EXPECT_EQ(tree(), (QStringList{u" MSN Skins"_s, u"   Cartoon Stars"_s, u"    Blue Moon"_s, u"    Sunny Day"_s,
                                   u"   Nature"_s, u"    Forest"_s}));
    EXPECT_TRUE(main->TV1->node(u"Cartoon Stars12:34:56"_s));
    EXPECT_EQ(main->TV1->keyOf(main->TV1->node(u"Blue Moon"_s)->parent()), u"Cartoon Stars12:34:56"_s);
    EXPECT_EQ(main->statusText(), u"Skinlijst succesvol gedownload!"_s);
    EXPECT_EQ(main->ProgressBar1->value(), 0);
    EXPECT_FALSE(main->loading->isActive());

    EXPECT_EQ(server.requests(), (std::vector<std::string>{"/msnskins.txt", "/Cartoon%20Stars.txt", "/Nature.txt"}));
    EXPECT_EQ(server.connections(), 1) << "N + 1 transfers over one kept-alive connection";
    EXPECT_EQ(readCache(u"Cartoon Stars.tmp"_s), "Blue Moon*Sunny Day");
}

TEST_F(Catalogue, LoadsFromTheCacheWithoutAsking)
{
    writeCache(u"msnskins.tmp"_s, "Nature");
    writeCache(u"Nature.tmp"_s, "Forest*Sea");
    start(u"LOADCACHE"_s);

    EXPECT_EQ(tree(), (QStringList{u" MSN Skins"_s, u"   Nature"_s, u"    Forest"_s, u"    Sea"_s}));
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(main->statusText(), u"Geladen"_s) << "nothing downloaded, nothing reported";
}

TEST_F(Catalogue, AnEmptyCacheReportsTheMissingList)
{
    start(u"loadcache"_s);
    EXPECT_EQ(tree(), QStringList{u" MSN Skins"_s});
    EXPECT_EQ(main->statusText(), u"Skinlijst-bestand ontbreekt. Update de skinlijst!"_s);
    EXPECT_EQ(main->ProgressBar1->value(), 0);
    EXPECT_FALSE(main->loading->isActive());
    EXPECT_TRUE(QDir(cacheFile(QString())).exists()) << "the cache folder is made";
}

TEST_F(Catalogue, AListEndingInALineBreakStopsAtItsLastCategory)
{
    server.setFile("/msnskins.txt", "Nature*Sea\r\n");
    server.setFile("/Nature.txt", "Forest");
    server.setFile("/Sea.txt", "Waves");
    start();
    EXPECT_EQ(tree(), (QStringList{u" MSN Skins"_s, u"   Nature"_s, u"    Forest"_s, u"   Sea\r\n"_s}));
    EXPECT_EQ(main->statusText(), u"Skinlijst-bestand ontbreekt. Update de skinlijst!"_s);
    EXPECT_FALSE(main->loading->isActive());
}

TEST_F(Catalogue, AnEmptyListGivesTheRootAlone)
{
    server.setFile("/msnskins.txt", "");
    start();
    EXPECT_EQ(tree(), QStringList{u" MSN Skins"_s});
    EXPECT_EQ(main->statusText(), u"Skinlijst succesvol gedownload!"_s);
    EXPECT_EQ(main->ProgressBar1->value(), 0);
}

TEST_F(Catalogue, DuplicateKeysTakeTheFailurePath)
{
    // The same skin in two categories.
    server.setFile("/msnskins.txt", "Nature*Sea");
    server.setFile("/Nature.txt", "Forest*Blue");
    server.setFile("/Sea.txt", "Waves*Blue");
    start();
    EXPECT_EQ(main->statusText(), u"Fout opgetreden: 35602 - Key is not unique in collection"_s);
    EXPECT_FALSE(main->loading->isActive());
    EXPECT_EQ(tree(), (QStringList{u" MSN Skins"_s, u"   Nature"_s, u"    Forest"_s, u"    Blue"_s, u"   Sea"_s,
                                   u"    Waves"_s}));
}

TEST_F(Catalogue, TheSameCategoryTwiceWithinOneSecondFails)
{
    server.setFile("/msnskins.txt", "Nature*Nature");
    server.setFile("/Nature.txt", "Forest");
    start();
    EXPECT_EQ(main->statusText(), u"Fout opgetreden: 35602 - Key is not unique in collection"_s);
    EXPECT_EQ(tree(), (QStringList{u" MSN Skins"_s, u"   Nature"_s, u"    Forest"_s}));
}

TEST_F(Catalogue, AFailedDownloadFallsBackOnTheCachedCopyUntouched)
{
    const QByteArray list("Nature");
    const QByteArray nature("Forest*Sea");
    writeCache(u"msnskins.tmp"_s, list);
    writeCache(u"Nature.tmp"_s, nature);
    start(); // the server has nothing

    EXPECT_EQ(tree(), (QStringList{u" MSN Skins"_s, u"   Nature"_s, u"    Forest"_s, u"    Sea"_s}));
    EXPECT_EQ(main->statusText(), u"Fout bij het downloaden!"_s);
    EXPECT_EQ(readCache(u"msnskins.tmp"_s), list);
    EXPECT_EQ(readCache(u"Nature.tmp"_s), nature);
    EXPECT_EQ(QDir(cacheFile(QString())).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary left";
}

TEST_F(Catalogue, CategoryNamesThatWouldLeaveTheCacheFailBeforeTheirTransfer)
{
    const QString names[] = {u"../escape"_s, u"a/b"_s, u"a\\b"_s, u"C:evil"_s, u"nul\u0000name"_s, u"."_s, u".."_s};
    for (const QString &name : names) {
        TestServer hostile;
        profile.store(u"base"_s, hostile.baseUrl());
        hostile.setFile("/msnskins.txt", (u"Nature*"_s + name).toUtf8());
        hostile.setFile("/Nature.txt", "Forest");
        main.reset();
        start();

        const std::string shown = name.toStdString();
        EXPECT_EQ(main->statusText(), u"Fout opgetreden: 52 - Bad file name or number"_s) << shown;
        EXPECT_EQ(tree().size(), 4) << shown << ": the category's node stays";
        EXPECT_EQ(hostile.requests().size(), 2u) << shown << ": nothing asked for the bad name";
        EXPECT_FALSE(QFile::exists(profile.programFolder() + u"/escape.tmp"_s));
    }
    EXPECT_EQ(QDir(profile.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{u"Cache"_s});
}

TEST_F(Catalogue, MoreThan32767EntriesOverflow)
{
    QByteArray many("s0");
    for (int i = 1; i <= 32767; ++i)
        many += "*s" + QByteArray::number(i);
    server.setFile("/msnskins.txt", "Big");
    server.setFile("/Big.txt", many);
    start();
    EXPECT_EQ(main->statusText(), u"Fout opgetreden: 6 - Overflow"_s);
    EXPECT_EQ(tree(), (QStringList{u" MSN Skins"_s, u"   Big"_s}));
}

class Preview : public Catalogue {
protected:
    void SetUp() override
    {
        Catalogue::SetUp();
        server.setFile("/msnskins.txt", "Cartoon Stars");
        server.setFile("/Cartoon%20Stars.txt", "Blue Moon*Not A Picture*Gone#1*100%");
        server.setFile("/CartoonStars/Blue%20Moon.gif", test::gifPicture(4, 6));
        server.setFile("/CartoonStars/Not%20A%20Picture.gif", "<html>no</html>");
        server.setFile("/CartoonStars/100%25.gif", test::gifPicture(5, 5));
        start();
        spy = std::make_unique<QSignalSpy>(main->ProgressBar1, &QProgressBar::valueChanged);
    }
    void click(const QString &key) { main->TV1_NodeClick(main->TV1->node(key)); }
    QList<int> progress() const
    {
        QList<int> values;
        for (const auto &args : *spy)
            values << args.at(0).toInt();
        return values;
    }

    std::unique_ptr<QSignalSpy> spy;
};

TEST_F(Preview, ShowsTheSkinAndEnablesTheInstallCommands)
{
    click(u"Blue Moon"_s);
    EXPECT_EQ(progress(), (QList<int>{10, 20, 30, 40, 50, 60, 70, 0, 10, 20, 0}));
    EXPECT_EQ(main->statusText(), u"Geladen"_s);
    EXPECT_EQ(main->scrSkin->pixmap().size(), QSize(4, 6));
    EXPECT_TRUE(main->Command1->isEnabled());
    EXPECT_TRUE(main->menus.skin->isEnabled());
    EXPECT_EQ(readCache(u"temp.dat"_s), test::gifPicture(4, 6));
    EXPECT_EQ(server.requests().back(), "/CartoonStars/Blue%20Moon.gif");
}

TEST_F(Preview, NamesWithSignsReachTheirOwnPicture)
{
    click(u"100%"_s);
    EXPECT_EQ(server.requests().back(), "/CartoonStars/100%25.gif");
    EXPECT_EQ(main->scrSkin->pixmap().size(), QSize(5, 5));
    click(u"Gone#1"_s);
    EXPECT_EQ(server.requests().back(), "/CartoonStars/Gone%231.gif");
}

TEST_F(Preview, AFailedTransferShowsTheEarlierPictureAgain)
{
    click(u"Blue Moon"_s);
    spy->clear();
    click(u"Gone#1"_s);
    EXPECT_EQ(progress(), (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 0}));
    EXPECT_EQ(main->statusText(), u"Geladen"_s);
    EXPECT_EQ(main->scrSkin->pixmap().size(), QSize(4, 6));
    EXPECT_TRUE(main->Command1->isEnabled());
    EXPECT_EQ(readCache(u"temp.dat"_s), test::gifPicture(4, 6)) << "the earlier picture stays in place";
}

TEST_F(Preview, ContentThatIsNoPictureKeepsThePreviousPicture)
{
    const QPixmap before = main->scrSkin->pixmap();
    click(u"Not A Picture"_s);
    EXPECT_EQ(main->scrSkin->pixmap().cacheKey(), before.cacheKey());
    EXPECT_EQ(main->statusText(), u"Geladen"_s);

    main->LoadPreview(cacheFile(u"temp.dat"_s));
    EXPECT_EQ(main->statusText(), u"Fout opgetreden: 481 - Invalid picture"_s);
    main->LoadPreview(cacheFile(u"nothing.dat"_s));
    EXPECT_EQ(main->statusText(), u"Fout opgetreden: 53 - File not found"_s);
    EXPECT_FALSE(main->loading->isActive());
}

TEST_F(Preview, AHugePictureIsRefusedAsInvalid)
{
    // 5000 x 5000 in 32-bit colour takes 100 MB: more than the program
    // allows a picture, less than the decoder's own limit.
    writeCache(u"huge.gif"_s, test::gifDeclaringSize(5000, 5000));
    main->LoadPreview(cacheFile(u"huge.gif"_s));
    EXPECT_EQ(main->statusText(), u"Fout opgetreden: 481 - Invalid picture"_s);
}

TEST_F(Preview, CategoriesAndTheRootDisableTheInstallCommands)
{
    click(u"Blue Moon"_s);
    const auto asked = server.requests().size();
    QDir(cacheFile(QString())).removeRecursively();
    writeCache(u"temp.dat"_s, "kept");
    click(u"Cartoon Stars12:34:56"_s);
    EXPECT_FALSE(main->Command1->isEnabled());
    EXPECT_FALSE(main->menus.skin->isEnabled());
    click(u"msnskins"_s);
    EXPECT_FALSE(main->Command1->isEnabled());
    EXPECT_EQ(server.requests().size(), asked);
    EXPECT_EQ(readCache(u"temp.dat"_s), "kept");
    EXPECT_EQ(main->statusText(), u"Geladen"_s);
}

TEST_F(Preview, AnUpdateKeepsThePreviewAndReloadsTheTree)
{
    click(u"Blue Moon"_s);
    const qint64 picture = main->scrSkin->pixmap().cacheKey();
    server.setFile("/msnskins.txt", "Nature");
    server.setFile("/Nature.txt", "Forest");

    main->menus.update->trigger();
    EXPECT_EQ(tree(), QStringList{u" MSN Skins"_s});
    EXPECT_TRUE(main->TV1->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(main->loading->isActive());
    EXPECT_FALSE(main->loadFromCache);
    EXPECT_TRUE(main->Command1->isEnabled());
    EXPECT_EQ(main->scrSkin->pixmap().cacheKey(), picture);

    ASSERT_TRUE(test::waitUntil([&] { return !main->loading->isActive(); }));
    EXPECT_EQ(tree(), (QStringList{u" MSN Skins"_s, u"   Nature"_s, u"    Forest"_s}));
    EXPECT_EQ(readCache(u"temp.dat"_s), test::gifPicture(4, 6));
    EXPECT_TRUE(main->Command1->isEnabled());
}

} // namespace
