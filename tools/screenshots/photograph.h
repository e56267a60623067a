// Photographs of windows as they appear on screen, window-manager frame and
// title bar included, and the event handling that waiting for them needs.

#pragma once

#include <QString>

#include <chrono>
#include <functional>

class QWidget;

namespace screenshots {

// Handles events until the condition holds or the time is up.
bool processEventsUntil(const std::function<bool()> &condition, std::chrono::milliseconds timeout);

// Waits until the window is mapped, framed and no longer moved by the window
// manager, then grabs the screen area under its frame into file as PNG and
// prints the sizes of the frame and the client area.
bool photograph(QWidget &window, const QString &file);

} // namespace screenshots
