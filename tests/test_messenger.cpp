// Finding Messenger through the registry of a Wine prefix, and installing
// and removing its background, on real files in temporary prefixes.

#include "localisation/text_table.h"
#include "messenger/background_installer.h"
#include "platform/registry.h"
#include "platform/windows_paths.h"
#include "support/recorded_report.h"
#include "support/test_profile.h"
#include "support/test_server.h"
#include "windows/file_dialog.h"
#include "windows/form1.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <utility>

using namespace vellumo;
using namespace Qt::StringLiterals;
using vellumo::test::contents;
using vellumo::test::TestProfile;

namespace {

const QString applied = u"Skin succesvol als achtergrond geplaatst!"_s;
const QString removed = u"Achtergrond succesvol verwijderd!"_s;

TEST(WineRegistry, ReadsTheFileThatWineItselfWroteAndNothingWithoutAPrefix)
{
    TestProfile profile;
    // Made with "wine reg add" in a fresh Wine 8.0 prefix, trimmed to these keys.
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELLUMO_SOURCE_DIR "/tests/data/wine-system.reg"),
                            profile.prefixFolder() + u"/system.reg"_s));
    auto read = [](auto path) { return QString::fromStdU16String(platform::createMachineRegistry()->readValue(path)); };
    const std::pair<const char16_t *, QString> cases[] = {
        // Added with /reg:32, found through Wow6432Node; then /reg:64, the native view.
        {u"HKLM\\Software\\Microsoft\\MessengerService\\InstallationDirectory", u"C:\\Program Files\\Messenger"_s},
        {u"HKLM\\Software\\Microsoft\\MSNMessenger\\InstallationDirectory", u"C:\\Program Files\\MSN Messenger\\"_s},
        {u"hklm\\SOFTWARE\\microsoft\\msnmessenger\\installationdirectory", u"C:\\Program Files\\MSN Messenger\\"_s},
        {u"HKLM\\Software\\Microsoft\\MSNMessenger\\Escapes", u"C:\\D\u00e9j\u00e0 vu\\\"quoted\"\\tab\tend"_s},
        {u"HKLM\\Software\\Microsoft\\MSNMessenger\\Expand", u"%ProgramFiles%\\MSN"_s},
        {u"HKLM\\Software\\Microsoft\\MSNMessenger\\Number", {}},
        {u"HKLM\\Software\\Microsoft\\MSMQ\\SymbolicLinkValue", {}},
        {u"HKLM\\Software\\Microsoft\\Missing\\InstallationDirectory", {}},
        {u"HKCU\\Software\\Microsoft\\MSNMessenger\\InstallationDirectory", {}},
        {u"HKXX\\Software\\Microsoft\\MSNMessenger\\InstallationDirectory", {}}, {u"", {}},
    };
    for (const auto &[path, expected] : cases)
        EXPECT_EQ(read(path), expected) << QString::fromUtf16(path).toStdString();
    qputenv("WINEPREFIX", (profile.prefixFolder() + u"/nothing"_s).toLocal8Bit());
    EXPECT_EQ(read(cases[1].first), QString()) << "no prefix";
}

TEST(WindowsPaths, MapIntoThePrefixIgnoringCase)
{
    TestProfile profile;
    profile.writeProgramFile(profile.driveC() + u"/Program Files/MSN Messenger/LVBACK.GIF"_s, "x");
    const QString c = profile.prefixFolder() + u"/dosdevices/c:"_s, messenger = c + u"/Program Files/MSN Messenger"_s;
    const std::pair<QString, QString> cases[] = {
        {u"c:\\PROGRAM FILES\\msn messenger\\lvback.gif"_s, messenger + u"/LVBACK.GIF"_s},
        {u"C:\\Program Files\\MSN Messenger\\"_s, messenger + u"/"_s},
        {u"C:/Program Files/./x/../MSN Messenger"_s, messenger},
        {u"C:\\..\\..\\..\\etc\\passwd"_s, c + u"/etc/passwd"_s},
        {u"C:\\New Folder\\lvback.gif"_s, c + u"/New Folder/lvback.gif"_s},
        {u"Q:\\x"_s, {}}, {u"\\\\server\\share\\x"_s, {}}, {u"relative\\x"_s, {}},
    };
    for (const auto &[windows, local] : cases)
        EXPECT_EQ(platform::localPathOfWindowsPath(windows), local) << windows.toStdString();
}

// Every command closes Messenger through a fake wine, first in PATH, that logs
// its WINEPREFIX, its arguments and what the Windows Messenger folder holds.
class Messenger : public ::testing::Test {
protected:
    void SetUp() override
    {
        profile.writeProgramFile(preview, test::gifPicture(3, 3));
        profile.writeProgramFile(helper, "MZ");
        profile.writeProgramFile(wineLog, {});
        writeFakeWine({});
        QFile::setPermissions(wine, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        qputenv("PATH", (profile.programFolder() + u"/bin:"_s).toLocal8Bit() + oldPath);
    }
    void TearDown() override { qputenv("PATH", oldPath); }

    void writeFakeWine(const QString &then)
    {
        profile.writeProgramFile(
            wine, u"#!/bin/sh\necho \"$WINEPREFIX $* :\" $(ls \"$WINEPREFIX/drive_c/Program Files/Messenger\")"
                  " >> '%1'\n%2"_s.arg(wineLog, then).toUtf8());
    }

    // system.reg as Wine writes it, naming the installation folders that are not empty.
    void writeRegistry(const QString &windowsFolder, const QString &msnFolder = {})
    {
        QString text = u"WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n"_s;
        for (const auto &[key, folder] :
             {std::pair{u"MessengerService"_s, windowsFolder}, {u"MSNMessenger"_s, msnFolder}})
            if (!folder.isEmpty())
                text += u"\n[Software\\\\Wow6432Node\\\\Microsoft\\\\%1] 1796549992\n#time=1dd8565bea9acc6\n"
                        "\"InstallationDirectory\"=\"%2\"\n"_s.arg(key, QString(folder).replace(u"\\"_s, u"\\\\"_s));
        profile.writeProgramFile(profile.prefixFolder() + u"/system.reg"_s, text.toUtf8());
    }
    void installBoth()
    {
        writeRegistry(u"C:\\Program Files\\Messenger"_s, u"C:\\Program Files\\MSN Messenger\\"_s);
        profile.writeProgramFile(windows + u"/msmsgs.exe"_s, "MZ");
        profile.writeProgramFile(msn + u"/msnmsgr.exe"_s, "MZ");
    }
    static QStringList filesIn(const QString &folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }
    QStringList wineCalls() const { return QString::fromUtf8(contents(wineLog)).split(u'\n', Qt::SkipEmptyParts); }

    TestProfile profile;
    const QString preview = profile.programFolder() + u"/Cache/temp.dat"_s;
    const QString windows = profile.driveC() + u"/Program Files/Messenger"_s;
    const QString msn = profile.driveC() + u"/Program Files/MSN Messenger"_s;
    const QString windowsGif = windows + u"/lvback.gif"_s;
    const QString msnGif = msn + u"/lvback.gif"_s;
    const QString helper = profile.programFolder() + u"/vellumo-closemsn.exe"_s;
    const QString wineLog = profile.programFolder() + u"/wine.log"_s;
    const QString wine = profile.programFolder() + u"/bin/wine"_s;
    const QByteArray oldPath = qgetenv("PATH");
    const std::unique_ptr<platform::Registry> registry = platform::createMachineRegistry();
    const TextTable &texts = builtInTexts();
    test::RecordedReport report;
    int waits = 0; // while the helper runs
    BackgroundInstaller installer{*registry, {helper.toStdU16String(), 5'000, [this] { ++waits; }}, report, texts};
};

TEST_F(Messenger, InstallAndRemoveActWhereTheirFileLiesThenCloseMessenger)
{
    installBoth();
    QFile::remove(msn + u"/msnmsgr.exe"_s);
    profile.writeProgramFile(msnGif, "old");
    installer.install(preview);
    EXPECT_EQ(report.take(), QStringList{u"status: "_s + applied});
    EXPECT_EQ(contents(windowsGif), test::gifPicture(3, 3));
    EXPECT_EQ(contents(msnGif), "old") << "no program file";
    EXPECT_EQ(filesIn(windows), (QStringList{u"lvback.gif"_s, u"msmsgs.exe"_s})) << "no temporary left";
    installer.remove();
    EXPECT_EQ(report.take(), QStringList{u"status: "_s + removed});
    EXPECT_FALSE(QFile::exists(msnGif));
    EXPECT_EQ(filesIn(windows), QStringList{u"msmsgs.exe"_s});
    const QString call = profile.prefixFolder() + u" "_s + helper + u" :"_s;
    EXPECT_EQ(wineCalls(), (QStringList{call + u" lvback.gif msmsgs.exe"_s, call + u" msmsgs.exe"_s}))
        << "after the file work";
}

TEST_F(Messenger, AHelperThatHangsIsGivenUpOnAndTheCommandEndsAsUsual)
{
    installBoth();
    writeFakeWine(u"exec sleep 30\n"_s);
    QElapsedTimer clock;
    clock.start();
    installer.install(preview);
    EXPECT_LT(clock.elapsed(), 20'000) << "the helper is killed after 5 s";
    EXPECT_GT(waits, 100) << "the window was let repaint meanwhile";
    EXPECT_EQ(report.status, applied);
    EXPECT_EQ(wineCalls().size(), 1);
}

TEST_F(Messenger, FoldersMatchIgnoringCaseAndJoinTheirFilesWithOneSeparator)
{
    // Recorded the other way round from the installers: with and without a trailing separator.
    writeRegistry(u"c:\\PROGRAM FILES\\messenger\\"_s, u"C:\\Program Files\\MSN Messenger"_s);
    profile.writeProgramFile(windows + u"/MSMSGS.EXE"_s, "MZ");
    profile.writeProgramFile(windows + u"/LvBack.GIF"_s, "old");
    profile.writeProgramFile(msn + u"/msnmsgr.exe"_s, "MZ");
    installer.install(preview);
    EXPECT_EQ(report.status, applied);
    EXPECT_EQ(filesIn(windows), (QStringList{u"LvBack.GIF"_s, u"MSMSGS.EXE"_s}));
    EXPECT_EQ(contents(windows + u"/LvBack.GIF"_s), test::gifPicture(3, 3));
    EXPECT_EQ(contents(msnGif), test::gifPicture(3, 3));
    installer.remove();
    EXPECT_EQ(filesIn(windows), QStringList{u"MSMSGS.EXE"_s});
    EXPECT_EQ(filesIn(msn), QStringList{u"msnmsgr.exe"_s});
}

TEST_F(Messenger, APictureFromDiskNeedsOnlyTheFolder)
{
    installBoth();
    QFile::remove(windows + u"/msmsgs.exe"_s);
    QFile::remove(msn + u"/msnmsgr.exe"_s);
    const QString notes = profile.programFolder() + u"/notes.gif"_s, mine = profile.programFolder() + u"/mine.gif"_s;
    profile.writeProgramFile(notes, "just text");
    profile.writeProgramFile(mine, test::gifPicture(7, 2));
    installer.installFromDisk(notes);
    EXPECT_EQ(report.take(), QStringList{u"failure: 481"_s}) << "nothing shown, nothing installed";
    EXPECT_EQ(filesIn(windows), QStringList());
    installer.installFromDisk(mine);
    EXPECT_EQ(report.take(), (QStringList{u"picture: 7x2"_s, u"status: "_s + applied}));
    EXPECT_EQ(contents(windowsGif), test::gifPicture(7, 2));
    EXPECT_EQ(contents(msnGif), test::gifPicture(7, 2));
}

TEST_F(Messenger, WithoutAnInstallationOnlyRemovingSucceedsNothingChangesAndMessengerIsNotAsked)
{
    installer.install(preview);
    EXPECT_FALSE(QFile::exists(profile.prefixFolder() + u"/system.reg"_s)) << "no prefix is made";
    writeRegistry(u"C:\\Gone"_s);
    installer.install(preview);
    installer.remove();
    QFile::remove(helper);
    installer.remove();
    installer.installFromDisk(preview);
    EXPECT_EQ(report.take(), (QStringList{u"failure: 53"_s, u"failure: 53"_s, u"status: "_s + removed,
                                          u"status: "_s + removed, u"picture: 3x3"_s, u"failure: 53"_s}));
    EXPECT_FALSE(QFileInfo::exists(profile.driveC() + u"/Gone"_s));
    EXPECT_EQ(wineCalls(), QStringList{profile.prefixFolder() + u" "_s + helper + u" :"_s})
        << "after the first removal only: not without a prefix, an installation or the helper";
}

TEST_F(Messenger, AReadOnlyBackgroundStopsTheCommandAtTheFirstInstallation)
{
    installBoth();
    profile.writeProgramFile(windowsGif, "protected");
    QFile::setPermissions(windowsGif, QFileDevice::ReadOwner | QFileDevice::ReadGroup); // read-only even for root
    profile.writeProgramFile(msnGif, "second");
    installer.install(preview);
    installer.remove();
    EXPECT_EQ(report.take(), (QStringList{u"failure: 70"_s, u"failure: 70"_s}));
    EXPECT_EQ(contents(windowsGif), "protected");
    EXPECT_EQ(contents(msnGif), "second") << "installation 2 is not reached";
    EXPECT_EQ(wineCalls(), QStringList());
}

// The window's install commands reach the installer, and the window shows
// what it reports.
TEST_F(Messenger, TheWindowsCommandsReachTheInstallerAndShowItsReport)
{
    installBoth();
    Form1 main{profile.environment({}, helper)};
    main.LoadDefaultLanguage();
    main.menus.skin->setEnabled(true);
    main.menus.skin->trigger();
    EXPECT_EQ(main.statusText(), applied);
    main.menus.deleteskins->trigger();
    EXPECT_EQ(main.statusText(), removed);
    FileDialog::setNextFileName({});
    main.menus.manualskin->trigger();
    EXPECT_EQ(main.statusText(), removed) << "a cancelled dialog";
    FileDialog::setNextFileName(preview);
    main.menus.manualskin->trigger();
    EXPECT_EQ(main.scrSkin->pixmap().size(), QSize(3, 3));
    QFile::remove(preview);
    main.Command1->setEnabled(true);
    main.Command1->click();
    EXPECT_EQ(main.statusText(), u"Fout opgetreden: 53 - File not found"_s);
    EXPECT_EQ(wineCalls().size(), 3);
}

} // namespace
