// Under Wine, Messenger's windows live in the Wine prefix's own window
// system: a small Win32 helper program asks them to close from inside.

#include "platform/messenger_windows.h"
#include "platform/wine_prefix.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace vellumo::platform {

namespace {
constexpr int helperStartMs = 5'000;
} // namespace

void closeMessengerWindows(const CloseHelper &closeHelper)
{
    const QString helper = QString::fromStdU16String(closeHelper.path);
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    const QString prefix = winePrefixFolder();
    // Without wine, the helper or a prefix there is no Messenger to ask;
    // a prefix is never created here.
    if (helper.isEmpty() || !QFileInfo(helper).isFile() || wine.isEmpty()
        || !QFileInfo(QDir(prefix).filePath(QStringLiteral("system.reg"))).isFile())
        return;

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), prefix);
    if (!environment.contains(QStringLiteral("WINEDEBUG")))
        environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(wine, {helper});
    if (!process.waitForStarted(helperStartMs))
        return;
    QElapsedTimer waited;
    waited.start();
    while (!process.waitForFinished(16)) {
        if (waited.elapsed() >= closeHelper.timeLimitMs || process.state() == QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(helperStartMs);
            return;
        }
        if (closeHelper.whileWaiting)
            closeHelper.whileWaiting();
    }
}

} // namespace vellumo::platform
