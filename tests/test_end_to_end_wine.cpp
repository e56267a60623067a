// The whole way under a real Wine: Messenger's values set with "wine reg
// add", a stand-in Messenger window running in the prefix, Vellumo's
// install writing lvback.gif into drive C: and the helper closing the
// window through WM_CLOSE.

#include "support/test_profile.h"
#include "support/test_server.h"
#include "windows/form1.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;

namespace {

// Runs a program to its end; answers its exit code, or -1 when it did not end in time.
int run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished(60'000) ? process.exitCode() : -1; // the destructor kills one still running
}

// In a private copy of the booted template prefix, with its own wineserver.
class EndToEndUnderWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("WINEPREFIX", prefix.toLocal8Bit());
        qputenv("WINEDEBUG", "-all");
        qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d");
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        ASSERT_EQ(run(u"cp"_s, {u"-a"_s, QStringLiteral(VELLUMO_WINE_TEMPLATE), prefix}), 0)
            << "no booted template prefix at " VELLUMO_WINE_TEMPLATE;
    }
    void TearDown() override
    {
        run(u"wineserver"_s, {u"-k"_s});
        run(u"wineserver"_s, {u"-w"_s});
    }

    test::TestProfile profile; // its WINEPREFIX gives way to the copy's in SetUp
    QTemporaryDir folder;
    const QString prefix = folder.filePath(u"prefix"_s);
};

TEST_F(EndToEndUnderWine, InstallingASkinWritesLvbackAndClosesMessenger)
{
    // MSN Messenger, as its installer records it: a 32-bit program's key.
    const QString folder = prefix + u"/drive_c/Program Files/MSN Messenger"_s;
    profile.writeProgramFile(folder + u"/msnmsgr.exe"_s, "MZ");
    ASSERT_EQ(run(u"wine"_s, {u"reg"_s, u"add"_s, u"HKLM\\Software\\Microsoft\\MSNMessenger"_s, u"/v"_s,
                              u"InstallationDirectory"_s, u"/t"_s, u"REG_SZ"_s, u"/d"_s,
                              u"C:\\Program Files\\MSN Messenger\\"_s, u"/f"_s, u"/reg:32"_s}),
              0);
    run(u"wineserver"_s, {u"-w"_s}); // the registry reaches system.reg when the server ends

    // Messenger's main window, in the prefix; it ends with 0 on WM_CLOSE only.
    QProcess messenger;
    messenger.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    messenger.start(u"wine"_s, {QStringLiteral(VELLUMO_STAND_IN), u"msnmsblclass"_s, u"60"_s});
    ASSERT_TRUE(messenger.waitForReadyRead(60'000) && messenger.readAll().startsWith("ready"))
        << "the stand-in Messenger never opened its window";

    // The skin previewed last, and the install.
    profile.writeProgramFile(u"Cache/temp.dat"_s, test::gifPicture(4, 4));
    Form1 main(profile.environment({}, QStringLiteral(VELLUMO_CLOSE_HELPER)));
    main.LoadDefaultLanguage();
    main.Command1_Click();

    EXPECT_EQ(main.statusText(), u"Skin succesvol als achtergrond geplaatst!"_s);
    EXPECT_EQ(test::contents(folder + u"/lvback.gif"_s), test::gifPicture(4, 4));
    // Its end may have been seen already while the window waited for the helper.
    EXPECT_TRUE(messenger.state() == QProcess::NotRunning || messenger.waitForFinished(30'000))
        << "the stand-in was not closed";
    EXPECT_EQ(messenger.exitCode(), 0) << "the stand-in was not closed through WM_CLOSE";
    EXPECT_EQ(run(u"wine"_s, {QStringLiteral(VELLUMO_CLOSE_HELPER)}), 0) << "the helper ends well without Messenger";
}

} // namespace
