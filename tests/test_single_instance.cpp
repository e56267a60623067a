// One program per user: a later start hands over to the running one and ends.
// The running one also writes the timing log it is asked for. This test starts
// the real program; "loadcache" keeps it away from any network.

#include "support/test_profile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using vellumo::test::waitUntil;

namespace {

class Starts : public ::testing::Test {
protected:
    // With the profile's runtime folder, where the program listens, and the given settings.
    void start(QProcess &process, const QString &configFolder, const QString &timingLog = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, configFolder);
        if (!timingLog.isEmpty())
            environment.insert(u"VELLUMO_TIMING_LOG"_s, timingLog);
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
    QProcess crashed, running, later;
};

TEST_F(Starts, AfterACrashTheNextStartRunsAndALaterOneHandsOverToItAndEndsWithoutTouchingSettings)
{
    start(crashed, profile.configFolder());
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(socket); }, 20000)) << "the first start never listened";
    crashed.kill();
    ASSERT_TRUE(crashed.waitForFinished(10000));
    ASSERT_TRUE(QFileInfo::exists(socket)) << "a killed process leaves its socket behind";

    // The next start writes the moments a benchmark reads once it listens and
    // has shown its main window (the chooser is skipped) and loaded.
    profile.store(u"algedaan"_s, u"1"_s);
    const QString log = profile.runtimeFolder() + u"/timing.log"_s;
    start(running, profile.configFolder(), log);
    QByteArray text;
    ASSERT_TRUE(waitUntil([&] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) && (text = file.readAll()).count('\n') == 3;
    }, 20000)) << "the next start did not run: " << text.constData();
    static const QRegularExpression moment(u"^\\d+\\.\\d{3} (window-shown|load-ended|tree-painted) \\d+\\.\\d{3}$"_s);
    for (const QByteArray &line : text.trimmed().split('\n'))
        EXPECT_TRUE(moment.match(QString::fromLatin1(line)).hasMatch()) << line.constData();
    EXPECT_TRUE(text.contains(" window-shown ") && text.contains(" tree-painted ")) << text.constData();

    const QString laterConfig = profile.configFolder() + u"-later"_s;
    QDir().mkpath(laterConfig);
    start(later, laterConfig);
    ASSERT_TRUE(later.waitForFinished(20000)) << "the later start did not end";
    EXPECT_TRUE(later.exitStatus() == QProcess::NormalExit && later.exitCode() == 0);
    EXPECT_TRUE(QDir(laterConfig).isEmpty()) << "the later start touched its settings";
    EXPECT_EQ(running.state(), QProcess::Running) << "the running instance must keep running";
}

} // namespace
