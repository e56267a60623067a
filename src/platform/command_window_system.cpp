#include "platform/command_window_system.h"

#include <QCoreApplication>
#include <qpa/qwindowsysteminterface_p.h>

namespace vellumo::platform {

namespace {

class QueuedInput final : public CommandWindowSystem {
public:
    QList<QWindow *> letRun() override
    {
        // Qt counts a close request as input: it stays queued with the clicks and keys.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
        using System = QWindowSystemInterfacePrivate;
        if (const auto *close = static_cast<System::CloseEvent *>(System::peekWindowSystemEvent(System::Close)))
            if (close->window)
                return {close->window.data()};
        return {};
    }
};

} // namespace

std::unique_ptr<CommandWindowSystem> queuedCommandWindowSystem()
{
    return std::make_unique<QueuedInput>();
}

} // namespace vellumo::platform
