#include "photograph.h"

#include "console.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace screenshots {

using namespace std::chrono_literals;

namespace {

constexpr auto mapTimeout = 10s;   // until the window manager has framed a window
constexpr auto stableFor = 300ms;  // the frame must keep still this long
constexpr auto settleTime = 400ms; // for the frame decoration and the contents to be painted

} // namespace

// Handles events until the condition holds or the time is up.
bool processEventsUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

namespace {

void processEventsFor(std::chrono::milliseconds duration)
{
    processEventsUntil([] { return false; }, duration);
}

// The window's frame as the window manager has put it; empty while the
// window is not mapped or not decorated. (QWindow asks the X server; the
// widget's own copy of the frame margins can lag behind.)
QRect frameOf(const QWidget &window)
{
    const QWindow *handle = window.windowHandle();
    if (!window.isVisible() || !handle || !handle->isExposed() || handle->frameMargins().top() <= 0)
        return {};
    return handle->frameGeometry();
}

} // namespace

// Waits until the window is mapped, framed and no longer moved by the window
// manager, then grabs the screen area under its frame.
bool photograph(QWidget &window, const QString &file)
{
    window.raise();
    window.activateWindow();

    // The frame must keep the same place and size for a while, and still
    // have them once everything is painted.
    QRect frame;
    QDeadlineTimer still;
    const auto settled = [&] {
        const QRect now = frameOf(window);
        if (now.isEmpty() || now != frame) {
            frame = now;
            still.setRemainingTime(stableFor);
            return false;
        }
        return still.hasExpired();
    };
    const QDeadlineTimer deadline(mapTimeout);
    bool ready = false;
    while (!ready && !deadline.hasExpired()) {
        if (!processEventsUntil(settled, std::chrono::milliseconds(deadline.remainingTime())))
            break;
        // Being the active window only changes the colours of the title
        // bar; its absence is no reason to give up.
        processEventsUntil([&] { return window.isActiveWindow(); }, 2s);
        window.repaint();
        processEventsFor(settleTime);
        ready = frameOf(window) == frame;
    }
    if (!ready) {
        err() << "vellumo-screenshots: \"" << window.windowTitle()
              << "\" was not framed and still in time; does a window manager run?\n";
        return false;
    }

    QScreen *screen = window.screen();
    if (!screen->geometry().contains(frame)) {
        err() << "vellumo-screenshots: \"" << window.windowTitle() << "\" lies partly off the screen\n";
        return false;
    }
    const QPoint origin = frame.topLeft() - screen->geometry().topLeft();
    const QPixmap shot = screen->grabWindow(0, origin.x(), origin.y(), frame.width(), frame.height());
    if (shot.isNull() || shot.size() != frame.size() * shot.devicePixelRatio()) {
        err() << "vellumo-screenshots: the screen could not be grabbed\n";
        return false;
    }
    if (!shot.save(file, "PNG")) {
        err() << "vellumo-screenshots: cannot write " << file << '\n';
        return false;
    }
    const QRect client = window.windowHandle()->geometry();
    out() << QDir::toNativeSeparators(file) << ": frame " << frame.width() << 'x' << frame.height()
          << ", client " << client.width() << 'x' << client.height() << " at " << client.x() - frame.x() << ','
          << client.y() - frame.y() << '\n';
    return true;
}

} // namespace screenshots
