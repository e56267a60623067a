#include "windows/command_loop.h"

#include "platform/command_window_system.h"

#include <QScopedValueRollback>

namespace vellumo {

namespace {
constexpr qint64 frameMs = 16;
}

CommandLoop::CommandLoop(std::function<void(QWindow *)> closeAsked)
    : closeAsked_(std::move(closeAsked))
    , windowSystem_(platform::createCommandWindowSystem())
{
}

CommandLoop::~CommandLoop() = default;

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
    loop_.windowSystem_->commandEnded();
}

void CommandLoop::keepResponsive()
{
    if (letting_ || (sinceLast_.isValid() && sinceLast_.elapsed() < frameMs))
        return;
    const QScopedValueRollback letting(letting_, true);
    for (QWidget *widget : std::as_const(held_))
        if (widget)
            widget->setUpdatesEnabled(true);
    const QList<QWindow *> closing = windowSystem_->letRun();
    for (QWidget *widget : std::as_const(held_))
        if (widget)
            widget->setUpdatesEnabled(false);
    for (QWindow *window : closing)
        closeAsked_(window);
    sinceLast_.start();
}

} // namespace vellumo
