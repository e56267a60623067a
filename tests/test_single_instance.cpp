// One program per user: a second start hands over to the first and ends.
// These tests start the real program twice.

#include "support/test_profile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using vellumo::test::TestProfile;

namespace {

class TwoStarts : public ::testing::Test {
protected:
    QProcessEnvironment environmentFor(const QString &configFolder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"XDG_RUNTIME_DIR"_s, profile.runtimeFolder());
        env.insert(u"XDG_CONFIG_HOME"_s, configFolder);
        return env;
    }

    // Starts the program; "loadcache" keeps it away from any network.
    void start(QProcess &process, const QString &configFolder)
    {
        process.setProcessEnvironment(environmentFor(configFolder));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(VELLUMO_PROGRAM), {u"loadcache"_s});
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    void TearDown() override
    {
        if (first.state() != QProcess::NotRunning) {
            first.kill();
            first.waitForFinished(10000);
        }
    }

    QString socketPath() const { return QDir(profile.runtimeFolder()).filePath(u"vellumo.socket"_s); }

    TestProfile profile;
    QProcess first;
};

TEST_F(TwoStarts, TheSecondHandsOverAndEndsWithoutTouchingSettings)
{
    start(first, profile.configFolder());
    ASSERT_TRUE(vellumo::test::waitUntil([&] { return QFileInfo::exists(socketPath()); }, 20000))
        << "the first instance never listened";
    ASSERT_TRUE(vellumo::test::waitUntil(
        [&] { return QFileInfo::exists(profile.configFolder() + u"/corvathsoftware/Vellumo.ini"_s); }, 20000))
        << "the first instance never loaded its main window";

    const QString secondConfig = profile.configFolder() + u"-second"_s;
    QDir().mkpath(secondConfig);
    QProcess second;
    start(second, secondConfig);
    ASSERT_TRUE(second.waitForFinished(20000)) << "the second start did not end";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QDir(secondConfig).isEmpty()) << "the second start touched its settings";
    EXPECT_EQ(first.state(), QProcess::Running) << "the first instance must keep running";
}

TEST_F(TwoStarts, ASocketLeftByACrashDoesNotBlockTheNextStart)
{
    start(first, profile.configFolder());
    ASSERT_TRUE(vellumo::test::waitUntil([&] { return QFileInfo::exists(socketPath()); }, 20000));
    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    ASSERT_TRUE(QFileInfo::exists(socketPath())) << "a killed process leaves its socket behind";

    QProcess next;
    start(next, profile.configFolder());
    // The new start becomes the running instance rather than handing over
    // to nobody and ending.
    EXPECT_FALSE(next.waitForFinished(3000));
    EXPECT_EQ(next.state(), QProcess::Running);
    next.kill();
    next.waitForFinished(10000);
}

} // namespace
