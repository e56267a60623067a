#include "windows/command_loop.h"

#include <QCoreApplication>
#include <QScopedValueRollback>
#include <qpa/qwindowsysteminterface_p.h>

namespace vellumo {

namespace {
constexpr qint64 frameMs = 16;
}

CommandLoop::CommandLoop(std::function<void(QWindow *)> closeAsked)
    : closeAsked_(std::move(closeAsked))
{
}

CommandLoop::Command::Command(CommandLoop &loop)
    : loop_(loop)
{
    if (loop_.depth_++ == 0)
        loop_.sinceLast_.start();
}

CommandLoop::Command::~Command()
{
    --loop_.depth_;
}

void CommandLoop::keepResponsive()
{
    if (letting_ || (sinceLast_.isValid() && sinceLast_.elapsed() < frameMs))
        return;
    const QScopedValueRollback letting(letting_, true);
    // Qt counts a close request as input: it stays queued with the clicks and keys.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    using System = QWindowSystemInterfacePrivate;
    if (const auto *close = static_cast<System::CloseEvent *>(System::peekWindowSystemEvent(System::Close)))
        closeAsked_(close->window);
    sinceLast_.start();
}

} // namespace vellumo
