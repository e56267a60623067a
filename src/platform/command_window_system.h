#pragma once

#include <QList>
#include <QWindow>

#include <memory>

namespace vellumo::platform {

// The window system while a command runs: it may repaint the windows and
// answer the window manager (its pings), but the user's clicks and keys are
// not handled, and a request to close a window is reported at once, so that
// the command can be cut short.
//
// Where the window system hands input over through Qt's own queue, input
// waits there until the command has ended. On X11 Qt holds a close request
// back together with the input, so there the input that arrives during a
// command is dropped, and the close request is held here and carried out
// when the command has ended.
class CommandWindowSystem {
public:
    virtual ~CommandWindowSystem() = default;

    // Lets the window system repaint and answer; returns the windows whose
    // close was asked meanwhile, or is still waiting.
    virtual QList<QWindow *> letRun() = 0;
    // The command has ended: a close that was held is carried out now.
    virtual void commandEnded() {}
};

std::unique_ptr<CommandWindowSystem> createCommandWindowSystem();

// The window system of Qt's queue alone: input and close requests wait there.
std::unique_ptr<CommandWindowSystem> queuedCommandWindowSystem();

} // namespace vellumo::platform
