#include "app/environment.h"
#include "app/settings.h"
#include "download/transfer_policy.h"
#include "platform/registry.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "windows/appearance.h"
#include "windows/artwork.h"
#include "windows/form1.h"

#include <QApplication>
#include <QDir>

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
    mainWindow.startUp();
    return QApplication::exec();
}
