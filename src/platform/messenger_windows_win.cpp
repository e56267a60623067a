// Windows: asking Messenger's main windows to close, from this process.
//
// WM_CLOSE is sent, not posted, so that Messenger has handled it (saved its
// settings, let go of its files) by the time this returns. A Messenger that
// does not answer is given up on after closeTimeoutMs, so both classes
// together stay well within the 15 s the callers allow.
//
// Plain Win32 and standard C++ only: this file also builds vellumo-closemsn.exe,
// the helper that does the same inside Wine.

#include "messenger_windows.h"

#include "windows_api.h"

namespace vellumo::platform {
namespace {

constexpr UINT closeTimeoutMs = 5000;

} // namespace

void closeMessengerWindows(const CloseHelper & /*helper*/)
{
    for (const char *windowClass : messengerWindowClasses) {
        HWND window = FindWindowA(windowClass, nullptr);
        if (!window)
            continue;
        // SMTO_ABORTIFHUNG gives up at once on a window Windows already deems
        // hung; SMTO_BLOCK keeps messages sent to our own windows meanwhile
        // from running inside this call.
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, closeTimeoutMs,
                            &result);
    }
}

} // namespace vellumo::platform
