#include "app/environment.h"
#include "app/settings.h"
#include "app/timing_log.h"
#include "download/transfer_policy.h"
#include "platform/registry.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "windows/appearance.h"
#include "windows/artwork.h"
#include "windows/form1.h"
#include "windows/keyed_tree.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumo"));
    QApplication::setOrganizationName(QStringLiteral("Corvath Software"));

    // Before any window or setting is touched: a second start hands over
    // to the first and ends.
    const auto address = vellumo::platform::singleInstanceAddress();
    vellumo::platform::SingleInstance instance(address.serverName, address.lockFile);
    if (!instance.claim())
        return 0;

    // The program ends when the main window has unloaded everything; a
    // dialog left on screen must not keep it alive, nor end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(vellumo::programFont());
    QApplication::setWindowIcon(vellumo::programIcon());

    const auto store = vellumo::platform::createUserSettingsStore();
    vellumo::Settings settings(*store);
    const auto registry = vellumo::platform::createMachineRegistry();

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const QString programFolder = QDir::toNativeSeparators(QApplication::applicationDirPath());
    vellumo::TransferSession transfers;
    const vellumo::Environment environment{
        .programFolder = programFolder,
        .commandLine = arguments.join(QLatin1Char(' ')),
        .settings = &settings,
        .registry = registry.get(),
        .closeHelper = {.path = QDir(programFolder).filePath(QStringLiteral("vellumo-closemsn.exe")).toStdU16String()},
        .transfers = &transfers,
    };

    vellumo::Form1 mainWindow(environment);
    QObject::connect(&instance, &vellumo::platform::SingleInstance::activationRequested, &mainWindow,
                     &vellumo::Form1::bringToFront);
    QObject::connect(&mainWindow, &vellumo::Form1::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);

    // For benchmarks: the moments a user sees, in the file VELLUMO_TIMING_LOG names.
    const auto timing = vellumo::TimingLog::fromEnvironment();
    if (timing) {
        timing->markAfterNextPaint(&mainWindow, "window-shown");
        // Connected after the window's own handler, so a load has ended; the
        // tree is painted once more even if it was painted during the load.
        QObject::connect(mainWindow.loading, &QTimer::timeout, timing.get(), [&] {
            timing->mark("load-ended");
            timing->markAfterNextPaint(mainWindow.TV1->viewport(), "tree-painted");
            mainWindow.TV1->viewport()->update();
        });
    }
    mainWindow.startUp();
    return QApplication::exec();
}
