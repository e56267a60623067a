// One program per user: a later start hands over to the running one and ends.
// This test starts the real program; "loadcache" keeps it away from any network.

#include "support/test_profile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using vellumo::test::waitUntil;

namespace {

class Starts : public ::testing::Test {
protected:
    // With the profile's runtime folder, where the program listens, and the given settings.
    void start(QProcess &process, const QString &configFolder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, configFolder);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(VELLUMO_PROGRAM), {u"loadcache"_s});
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    void TearDown() override
    {
        for (QProcess *process : {&crashed, &running, &later}) {
            process->kill();
            process->waitForFinished(10000);
        }
    }

    vellumo::test::TestProfile profile;
    const QString socket = profile.runtimeFolder() + u"/vellumo.socket"_s;
    const QString settingsFile = profile.configFolder() + u"/corvathsoftware/Vellumo.ini"_s;
    QProcess crashed, running, later;
};

TEST_F(Starts, AfterACrashTheNextStartRunsAndALaterOneHandsOverToItAndEndsWithoutTouchingSettings)
{
    start(crashed, profile.configFolder());
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(socket); }, 20000)) << "the first start never listened";
    crashed.kill();
    ASSERT_TRUE(crashed.waitForFinished(10000));
    ASSERT_TRUE(QFileInfo::exists(socket)) << "a killed process leaves its socket behind";

    QFile::remove(settingsFile);
    start(running, profile.configFolder());
    // It writes its settings once it listens and has loaded its main window.
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(settingsFile); }, 20000)) << "the next start did not run";

    const QString laterConfig = profile.configFolder() + u"-later"_s;
    QDir().mkpath(laterConfig);
    start(later, laterConfig);
    ASSERT_TRUE(later.waitForFinished(20000)) << "the later start did not end";
    EXPECT_TRUE(later.exitStatus() == QProcess::NormalExit && later.exitCode() == 0);
    EXPECT_TRUE(QDir(laterConfig).isEmpty()) << "the later start touched its settings";
    EXPECT_EQ(running.state(), QProcess::Running) << "the running instance must keep running";
}

} // namespace
