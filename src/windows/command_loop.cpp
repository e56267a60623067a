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
    if (loop_.depth_++ > 0)
        return;
    loop_.sinceLast_.start();
    for (QWidget *widget : std::as_const(loop_.held_))
        if (widget)
            widget->setUpdatesEnabled(false);
}

CommandLoop::Command::~Command()
{
    if (--loop_.depth_ > 0)
        return;
    for (QWidget *widget : std::as_const(loop_.held_))
        if (widget)
            widget->setUpdatesEnabled(true); // and drawn with what it holds now
}

void CommandLoop::keepResponsive()
{
    if (letting_ || (sinceLast_.isValid() && sinceLast_.elapsed() < frameMs))
        return;
    const QScopedValueRollback letting(letting_, true);
    for (QWidget *widget : std::as_const(held_))
        if (widget)
            widget->setUpdatesEnabled(true);
    // Qt counts a close request as input: it stays queued with the clicks and keys.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    for (QWidget *widget : std::as_const(held_))
        if (widget)
            widget->setUpdatesEnabled(false);
    using System = QWindowSystemInterfacePrivate;
    if (const auto *close = static_cast<System::CloseEvent *>(System::peekWindowSystemEvent(System::Close)))
        closeAsked_(close->window);
    sinceLast_.start();
}

} // namespace vellumo
