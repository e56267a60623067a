// Finding Messenger through the registry of a Wine prefix, and installing
// and removing its background, on real files in temporary prefixes.

#include "app/form1.h"
#include "dialogs/file_dialog.h"
#include "platform/registry.h"
#include "platform/windows_paths.h"
#include "support/test_profile.h"
#include "support/test_server.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using vellumo::test::TestProfile;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A registry file as Wine writes it.
class WineRegistryFile {
public:
    WineRegistryFile &value(const QString &key, const QString &name, const QString &data)
    {
        QString escapedKey = key;
        escapedKey.replace(u"\\"_s, u"\\\\"_s);
        QString escapedData = data;
        escapedData.replace(u"\\"_s, u"\\\\"_s).replace(u"\""_s, u"\\\""_s);
        text += u"\n[%1] 1796549992\n#time=1dd8565bea9acc6\n\"%2\"=\"%3\"\n"_s.arg(escapedKey, name, escapedData);
        return *this;
    }
    void writeTo(const QString &prefix) const
    {
        writeFile(prefix + u"/system.reg"_s,
                  (u"WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n"_s + text)
                      .toUtf8());
    }
    QString text;
};

const QString windowsMessengerKey = u"Software\\Wow6432Node\\Microsoft\\MessengerService"_s;
const QString msnMessengerKey = u"Software\\Wow6432Node\\Microsoft\\MSNMessenger"_s;

TEST(WineRegistry, ReadsTheFilesThatWineItselfWrote)
{
    TestProfile profile;
    // Made with "wine reg add" in a fresh Wine 8.0 prefix, trimmed to these keys.
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELLUMO_SOURCE_DIR "/tests/data/wine-system.reg"),
                            profile.prefixFolder() + u"/system.reg"_s));
    const auto registry = platform::createMachineRegistry();
    auto read = [&](const char16_t *path) { return QString::fromStdU16String(registry->readValue(path)); };

    // Added with /reg:32: found through Wow6432Node.
    EXPECT_EQ(read(u"HKLM\\Software\\Microsoft\\MessengerService\\InstallationDirectory"),
              u"C:\\Program Files\\Messenger"_s);
    // Added with /reg:64: found in the native view.
    EXPECT_EQ(read(u"HKLM\\Software\\Microsoft\\MSNMessenger\\InstallationDirectory"),
              u"C:\\Program Files\\MSN Messenger\\"_s);
    EXPECT_EQ(read(u"hklm\\SOFTWARE\\microsoft\\msnmessenger\\installationdirectory"),
              u"C:\\Program Files\\MSN Messenger\\"_s);
    EXPECT_EQ(read(u"HKLM\\Software\\Microsoft\\MSNMessenger\\Escapes"),
              u"C:\\D\u00e9j\u00e0 vu\\\"quoted\"\\tab\tend"_s);
    EXPECT_EQ(read(u"HKLM\\Software\\Microsoft\\MSNMessenger\\Expand"), u"%ProgramFiles%\\MSN"_s);
    EXPECT_EQ(read(u"HKLM\\Software\\Microsoft\\MSNMessenger\\Number"), QString());
    EXPECT_EQ(read(u"HKLM\\Software\\Microsoft\\MSMQ\\SymbolicLinkValue"), QString());
    EXPECT_EQ(read(u"HKLM\\Software\\Microsoft\\Missing\\InstallationDirectory"), QString());
    EXPECT_EQ(read(u"HKCU\\Software\\Microsoft\\MSNMessenger\\InstallationDirectory"), QString());
    EXPECT_EQ(read(u"HKXX\\Software\\Microsoft\\MSNMessenger\\InstallationDirectory"), QString());
    EXPECT_EQ(read(u""), QString());
}

TEST(WineRegistry, AnswersNothingWithoutAPrefix)
{
    TestProfile profile;
    qputenv("WINEPREFIX", (profile.prefixFolder() + u"/nothing"_s).toLocal8Bit());
    EXPECT_TRUE(platform::createMachineRegistry()
                    ->readValue(u"HKLM\\Software\\Microsoft\\MSNMessenger\\InstallationDirectory")
                    .empty());
}

TEST(WindowsPaths, MapIntoThePrefixIgnoringCase)
{
    TestProfile profile;
    QDir(profile.driveC()).mkpath(u"Program Files/MSN Messenger"_s);
    writeFile(profile.driveC() + u"/Program Files/MSN Messenger/LVBACK.GIF"_s, "x");
    const QString messenger = profile.prefixFolder() + u"/dosdevices/c:/Program Files/MSN Messenger"_s;

    EXPECT_EQ(platform::localPathOfWindowsPath(u"c:\\PROGRAM FILES\\msn messenger\\lvback.gif"_s),
              messenger + u"/LVBACK.GIF"_s);
    EXPECT_EQ(platform::localPathOfWindowsPath(u"C:\\Program Files\\MSN Messenger\\"_s), messenger + u"/"_s);
    EXPECT_EQ(platform::localPathOfWindowsPath(u"C:/Program Files/./x/../MSN Messenger"_s), messenger);
    EXPECT_EQ(platform::localPathOfWindowsPath(u"C:\\..\\..\\..\\etc\\passwd"_s),
              profile.prefixFolder() + u"/dosdevices/c:/etc/passwd"_s)
        << "nothing above the drive's root";
    EXPECT_EQ(platform::localPathOfWindowsPath(u"C:\\New Folder\\lvback.gif"_s),
              profile.prefixFolder() + u"/dosdevices/c:/New Folder/lvback.gif"_s);
    EXPECT_EQ(platform::localPathOfWindowsPath(u"Q:\\x"_s), QString()) << "a drive the prefix does not have";
    EXPECT_EQ(platform::localPathOfWindowsPath(u"\\\\server\\share\\x"_s), QString());
    EXPECT_EQ(platform::localPathOfWindowsPath(u"relative\\x"_s), QString());
}

class Messenger : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.LoadDefaultLanguage();
        main.setStatusText(u"before"_s);
        writeFile(main.programFile(u"Cache/temp.dat"_s), test::gifPicture(3, 3));
    }

    // Windows Messenger in C:\Program Files\Messenger, MSN Messenger in
    // C:\Program Files\MSN Messenger\, each with its program file.
    void installBoth()
    {
        registry.value(windowsMessengerKey, u"InstallationDirectory"_s, u"C:\\Program Files\\Messenger"_s)
            .value(msnMessengerKey, u"InstallationDirectory"_s, u"C:\\Program Files\\MSN Messenger\\"_s)
            .writeTo(profile.prefixFolder());
        writeFile(windowsFolder() + u"/msmsgs.exe"_s, "MZ");
        writeFile(msnFolder() + u"/msnmsgr.exe"_s, "MZ");
    }
    QString windowsFolder() const { return profile.driveC() + u"/Program Files/Messenger"_s; }
    QString msnFolder() const { return profile.driveC() + u"/Program Files/MSN Messenger"_s; }
    QString background(const QString &folder) const { return folder + u"/lvback.gif"_s; }
    QStringList filesIn(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    TestProfile profile;
    WineRegistryFile registry;
    Form1 main{profile.environment()};
};

TEST_F(Messenger, InstallingThePreviewNeedsTheProgramFile)
{
    installBoth();
    QFile::remove(msnFolder() + u"/msnmsgr.exe"_s);

    main.Command1_Click();

    EXPECT_EQ(readFile(background(windowsFolder())), test::gifPicture(3, 3));
    EXPECT_FALSE(QFile::exists(background(msnFolder())));
    EXPECT_EQ(main.statusText(), u"Skin succesvol als achtergrond geplaatst!"_s);
    EXPECT_EQ(filesIn(windowsFolder()), (QStringList{u"lvback.gif"_s, u"msmsgs.exe"_s})) << "no temporary left";
    EXPECT_TRUE(QFile::exists(main.programFile(u"Cache/temp.dat"_s))) << "the preview file stays";

    // The menu item does the very same.
    QFile::remove(background(windowsFolder()));
    main.menus.skin->setEnabled(true);
    main.menus.skin->trigger();
    EXPECT_TRUE(QFile::exists(background(windowsFolder())));
}

TEST_F(Messenger, MsnMessengersFolderIsJoinedWithoutASeparator)
{
    // Recorded without its trailing separator, the program file is looked
    // for as "...MSN Messengermsnmsgr.exe" and not found.
    registry.value(msnMessengerKey, u"InstallationDirectory"_s, u"C:\\Program Files\\MSN Messenger"_s)
        .writeTo(profile.prefixFolder());
    writeFile(msnFolder() + u"/msnmsgr.exe"_s, "MZ");
    main.Command1_Click();
    EXPECT_FALSE(QFile::exists(background(msnFolder())));
    EXPECT_EQ(main.statusText(), u"Skin succesvol als achtergrond geplaatst!"_s);
}

TEST_F(Messenger, RemovingActsWhereABackgroundLies)
{
    installBoth();
    writeFile(background(msnFolder()), "old");
    main.menus.deleteskins->trigger();
    EXPECT_FALSE(QFile::exists(background(msnFolder())));
    EXPECT_EQ(filesIn(windowsFolder()), QStringList{u"msmsgs.exe"_s});
    EXPECT_EQ(main.statusText(), u"Achtergrond succesvol verwijderd!"_s);

    main.setStatusText(u"again"_s);
    main.menus.deleteskins->trigger(); // nothing left to remove
    EXPECT_EQ(main.statusText(), u"Achtergrond succesvol verwijderd!"_s);
}

TEST_F(Messenger, APictureFromDiskNeedsOnlyTheFolder)
{
    installBoth();
    QFile::remove(windowsFolder() + u"/msmsgs.exe"_s);
    QFile::remove(msnFolder() + u"/msnmsgr.exe"_s);
    const QString chosen = profile.programFolder() + u"/mine.gif"_s;
    writeFile(chosen, test::gifPicture(7, 2));

    FileDialog::setNextFileName(chosen);
    main.menus.manualskin->trigger();

    EXPECT_EQ(readFile(background(windowsFolder())), test::gifPicture(7, 2));
    EXPECT_EQ(readFile(background(msnFolder())), test::gifPicture(7, 2));
    EXPECT_EQ(main.scrSkin->pixmap().size(), QSize(7, 2));
    EXPECT_EQ(main.statusText(), u"Skin succesvol als achtergrond geplaatst!"_s);

    // The install button still installs the catalogue's preview file.
    writeFile(windowsFolder() + u"/msmsgs.exe"_s, "MZ");
    main.Command1_Click();
    EXPECT_EQ(readFile(background(windowsFolder())), test::gifPicture(3, 3));
    EXPECT_EQ(readFile(background(msnFolder())), test::gifPicture(7, 2));
}

TEST_F(Messenger, NoInstallationChangesNoFile)
{
    // Neither value, then a value naming a folder that does not exist.
    main.Command1_Click();
    EXPECT_EQ(main.statusText(), u"Skin succesvol als achtergrond geplaatst!"_s);
    registry.value(windowsMessengerKey, u"InstallationDirectory"_s, u"C:\\Gone"_s).writeTo(profile.prefixFolder());
    for (auto command : {&Form1::Command1_Click, &Form1::deleteskins_Click}) {
        (main.*command)();
    }
    FileDialog::setNextFileName(main.programFile(u"Cache/temp.dat"_s));
    main.manualskin_Click();
    EXPECT_EQ(main.statusText(), u"Skin succesvol als achtergrond geplaatst!"_s);
    EXPECT_FALSE(QFileInfo::exists(profile.driveC() + u"/Gone"_s));
}

TEST_F(Messenger, FoldersAndFilesMatchWithoutRegardToCase)
{
    registry.value(windowsMessengerKey, u"InstallationDirectory"_s, u"c:\\PROGRAM FILES\\messenger"_s)
        .writeTo(profile.prefixFolder());
    writeFile(windowsFolder() + u"/MSMSGS.EXE"_s, "MZ");
    writeFile(windowsFolder() + u"/LvBack.GIF"_s, "old");

    main.Command1_Click();
    EXPECT_EQ(filesIn(windowsFolder()), (QStringList{u"LvBack.GIF"_s, u"MSMSGS.EXE"_s}));
    EXPECT_EQ(readFile(windowsFolder() + u"/LvBack.GIF"_s), test::gifPicture(3, 3));
    main.deleteskins_Click();
    EXPECT_EQ(filesIn(windowsFolder()), QStringList{u"MSMSGS.EXE"_s});
}

TEST_F(Messenger, AReadOnlyBackgroundStopsTheCommandAtTheFirstInstallation)
{
    installBoth();
    writeFile(background(windowsFolder()), "protected");
    QFile::setPermissions(background(windowsFolder()), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    writeFile(background(msnFolder()), "second");
    main.loading->start();

    main.Command1_Click();
    EXPECT_EQ(main.statusText(), u"Fout opgetreden: 70 - Permission denied"_s);
    EXPECT_FALSE(main.loading->isActive());
    EXPECT_EQ(readFile(background(windowsFolder())), "protected") << "even for root";
    EXPECT_EQ(readFile(background(msnFolder())), "second") << "installation 2 is not reached";

    main.deleteskins_Click();
    EXPECT_EQ(main.statusText(), u"Fout opgetreden: 70 - Permission denied"_s);
    EXPECT_TRUE(QFile::exists(background(windowsFolder())));
    EXPECT_TRUE(QFile::exists(background(msnFolder())));
}

TEST_F(Messenger, AMissingPreviewFileFailsAndKeepsTheInstalledPicture)
{
    installBoth();
    writeFile(background(windowsFolder()), "installed");
    QFile::remove(main.programFile(u"Cache/temp.dat"_s));
    main.Command1_Click();
    EXPECT_EQ(main.statusText(), u"Fout opgetreden: 53 - File not found"_s);
    EXPECT_EQ(readFile(background(windowsFolder())), "installed");
}

TEST_F(Messenger, APictureThatIsNoPictureIsNotInstalled)
{
    installBoth();
    const QPixmap before = main.scrSkin->pixmap();
    const QString chosen = profile.programFolder() + u"/notes.gif"_s;
    writeFile(chosen, "just text");
    FileDialog::setNextFileName(chosen);
    main.manualskin_Click();
    EXPECT_EQ(main.statusText(), u"Fout opgetreden: 481 - Invalid picture"_s);
    EXPECT_EQ(main.scrSkin->pixmap().cacheKey(), before.cacheKey());
    EXPECT_FALSE(QFile::exists(background(windowsFolder())));
}

TEST_F(Messenger, ACancelledDialogChangesNothing)
{
    installBoth();
    FileDialog::setNextFileName(QString());
    main.manualskin_Click();
    EXPECT_EQ(main.statusText(), u"before"_s);
    EXPECT_FALSE(QFile::exists(background(windowsFolder())));
}

// Stands in for wine: records how it was called.
class FakeWine {
public:
    explicit FakeWine(const QString &folder)
        : log_(folder + u"/wine.log"_s)
    {
        const QString script = folder + u"/bin/wine"_s;
        writeFile(script, u"#!/bin/sh\necho \"$WINEPREFIX $*\" >> '%1'\n"_s.arg(log_).toUtf8());
        QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", (folder + u"/bin:"_s).toLocal8Bit() + oldPath_);
    }
    ~FakeWine() { qputenv("PATH", oldPath_); }
    QStringList calls() const
    {
        QFile log(log_);
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                             : QStringList();
    }

private:
    QString log_;
    QByteArray oldPath_;
};

class CloseMessenger : public Messenger {
protected:
    void SetUp() override
    {
        Messenger::SetUp();
        withHelper.LoadDefaultLanguage();
        writeFile(helper, "MZ");
    }
    QString helper = profile.programFolder() + u"/vellumo-closemsn.exe"_s;
    Form1 withHelper{profile.environment({}, helper)};
    FakeWine wine{profile.programFolder()};
};

TEST_F(CloseMessenger, RunsTheHelperInThePrefixAfterTheFileWork)
{
    installBoth();
    withHelper.Command1_Click();
    withHelper.deleteskins_Click();
    EXPECT_EQ(wine.calls(), (QStringList{profile.prefixFolder() + u" "_s + helper, profile.prefixFolder() + u" "_s + helper}));
}

TEST_F(CloseMessenger, IsNotAskedWhenTheFileWorkFailed)
{
    installBoth();
    QFile::remove(withHelper.programFile(u"Cache/temp.dat"_s));
    withHelper.Command1_Click();
    EXPECT_TRUE(wine.calls().isEmpty());
}

TEST_F(CloseMessenger, IsSkippedWithoutAPrefixOrHelper)
{
    // No system.reg: not a prefix, and none is made.
    withHelper.Command1_Click();
    EXPECT_EQ(withHelper.statusText(), u"Skin succesvol als achtergrond geplaatst!"_s);
    EXPECT_TRUE(wine.calls().isEmpty());
    EXPECT_FALSE(QFile::exists(profile.prefixFolder() + u"/system.reg"_s));

    installBoth();
    QFile::remove(helper);
    withHelper.Command1_Click();
    EXPECT_TRUE(wine.calls().isEmpty());
}

} // namespace
