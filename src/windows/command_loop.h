#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QWindow;

namespace vellumo::platform {
class CommandWindowSystem;
}

namespace vellumo {

// The course of the main window's commands. While one runs (a transfer, the
// catalogue load, a copy, the Wine helper), the program keeps painting and
// answering the window system, at most once a display frame, but starts
// nothing else: no click, key or close request is handled, and sockets wait.
// A close request is looked at, though, so that the command can be cut short.
class CommandLoop {
public:
    // closeAsked: told, while a command runs, that a close of this window waits.
    explicit CommandLoop(std::function<void(QWindow *)> closeAsked);
    ~CommandLoop();

    // A widget that repaints at once when its value changes (a progress bar
    // does): during a command it is drawn only when the window system may
    // paint, with its latest value.
    void drawOnlyWhenLetting(QWidget *widget) { held_.append(widget); }

    // A command, for as long as it lives.
    class Command {
    public:
        explicit Command(CommandLoop &loop);
        ~Command();
        Command(const Command &) = delete;
        Command &operator=(const Command &) = delete;

    private:
        CommandLoop &loop_;
    };

    bool running() const { return depth_ > 0; }
    // Lets the window system repaint and ping, when a frame has passed since the last time.
    void keepResponsive();

private:
    std::function<void(QWindow *)> closeAsked_;
    std::unique_ptr<platform::CommandWindowSystem> windowSystem_;
    QList<QPointer<QWidget>> held_;
    int depth_ = 0;
    bool letting_ = false;
    QElapsedTimer sinceLast_;
};

} // namespace vellumo
