// The whole way under a real Wine: Messenger's values set with "wine reg
// add", a stand-in Messenger window running in the prefix, Vellumo's
// install writing lvback.gif into drive C: and the helper closing the
// window through WM_CLOSE.

#include "app/form1.h"
#include "support/test_profile.h"
#include "support/test_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using vellumo::test::TestProfile;

namespace {

// A private copy of the booted template prefix, with its own wineserver.
class WinePrefixCopy {
public:
    WinePrefixCopy()
    {
        path_ = folder_.filePath(u"prefix"_s);
        copied_ = QProcess::execute(u"cp"_s, {u"-a"_s, QStringLiteral(VELLUMO_WINE_TEMPLATE), path_}) == 0;
        QFile::remove(path_ + u"/wineserver"_s);
        qputenv("WINEPREFIX", path_.toLocal8Bit());
        qputenv("WINEDEBUG", "-all");
        qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d");
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
    }
    ~WinePrefixCopy()
    {
        QProcess::execute(u"wineserver"_s, {u"-k"_s});
        QProcess::execute(u"wineserver"_s, {u"-w"_s});
    }
    bool copied() const { return copied_; }
    QString path() const { return path_; }

    // Runs wine with the arguments; answers its exit code (-1 on time-out).
    int run(const QStringList &arguments, int timeoutMs = 60'000) const
    {
        QProcess wine;
        wine.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        wine.start(u"wine"_s, arguments);
        if (!wine.waitForFinished(timeoutMs)) {
            wine.kill();
            wine.waitForFinished(5'000);
            return -1;
        }
        return wine.exitCode();
    }

private:
    QTemporaryDir folder_;
    QString path_;
    bool copied_ = false;
};

QString windowsPath(const QString &unixPath)
{
    return u"Z:"_s + QString(unixPath).replace(u'/', u'\\');
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(EndToEndUnderWine, InstallingASkinWritesLvbackAndClosesMessenger)
{
    TestProfile profile;
    WinePrefixCopy prefix;
    ASSERT_TRUE(prefix.copied()) << "no booted template prefix at " VELLUMO_WINE_TEMPLATE;

    // MSN Messenger, as its installer records it: a 32-bit program's key.
    const QString folder = prefix.path() + u"/drive_c/Program Files/MSN Messenger"_s;
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile program(folder + u"/msnmsgr.exe"_s);
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();
    ASSERT_EQ(prefix.run({u"reg"_s, u"add"_s, u"HKLM\\Software\\Microsoft\\MSNMessenger"_s, u"/v"_s,
                          u"InstallationDirectory"_s, u"/t"_s, u"REG_SZ"_s, u"/d"_s,
                          u"C:\\Program Files\\MSN Messenger\\"_s, u"/f"_s, u"/reg:32"_s}),
              0);
    // The registry reaches system.reg when the server ends.
    QProcess::execute(u"wineserver"_s, {u"-w"_s});

    // Messenger's main window, in the prefix.
    const QString marker = profile.programFolder() + u"/closed.txt"_s;
    QProcess messenger;
    messenger.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    messenger.start(u"wine"_s, {QStringLiteral(VELLUMO_STAND_IN), u"msnmsblclass"_s, windowsPath(marker), u"60"_s});
    ASSERT_TRUE(test::waitUntil([&] { return QFileInfo::exists(marker + u".ready"_s); }, 60'000))
        << "the stand-in Messenger never opened its window";

    // The skin previewed last, and the install.
    QDir(profile.programFolder()).mkpath(u"Cache"_s);
    QFile preview(profile.programFolder() + u"/Cache/temp.dat"_s);
    ASSERT_TRUE(preview.open(QIODevice::WriteOnly));
    preview.write(test::gifPicture(4, 4));
    preview.close();

    Form1 main(profile.environment({}, QStringLiteral(VELLUMO_CLOSE_HELPER)));
    main.LoadDefaultLanguage();
    main.Command1_Click();

    EXPECT_EQ(main.statusText(), u"Skin succesvol als achtergrond geplaatst!"_s);
    EXPECT_EQ(readFile(folder + u"/lvback.gif"_s), test::gifPicture(4, 4));
    EXPECT_TRUE(messenger.waitForFinished(30'000)) << "the stand-in was not closed";
    EXPECT_EQ(readFile(marker), "WM_CLOSE");
    if (messenger.state() != QProcess::NotRunning) {
        messenger.kill();
        messenger.waitForFinished(5'000);
    }
}

} // namespace
