#pragma once

// Asking Messenger's main windows to close. Plain C++, so that the Windows
// backend also builds the helper program that does this inside Wine.

#include <functional>
#include <string>

namespace vellumo::platform {

// The window classes of Messenger's main windows, in the order they are asked.
inline constexpr const char *messengerWindowClasses[] = {"msnmsblclass", "msblclass"};

// For each class, the first top-level window of that class, when there is
// one, is asked once to close; the call waits until the window has handled
// the request (a window that hangs is given up on after a while). Nothing
// is reported. The Windows backend asks them itself; the Wine backend runs
// a helper program inside the prefix.
struct CloseHelper {
    // Where the Wine backend finds its helper program; empty where none is used.
    std::u16string path;
    // How long it waits for that helper before killing it.
    int timeLimitMs = 15'000;
    // Called at least once a display frame while it waits: for the helper,
    // or on Windows for Messenger.
    std::function<void()> whileWaiting = {};
};
void closeMessengerWindows(const CloseHelper &helper);

} // namespace vellumo::platform
