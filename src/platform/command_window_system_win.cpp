#include "platform/command_window_system.h"

namespace vellumo::platform {

// The close button's WM_CLOSE is sent to the window, which puts the close
// request into Qt's queue, where it is seen.
std::unique_ptr<CommandWindowSystem> createCommandWindowSystem()
{
    return queuedCommandWindowSystem();
}

} // namespace vellumo::platform
