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

DWORD WINAPI sendCloses(void *)
{
    for (const char *windowClass : messengerWindowClasses) {
        HWND window = FindWindowA(windowClass, nullptr);
        if (!window)
            continue;
        // SMTO_ABORTIFHUNG gives up at once on a window Windows already deems
        // hung; SMTO_BLOCK keeps messages sent to this thread meanwhile from
        // running inside this call.
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, closeTimeoutMs,
                            &result);
    }
    return 0;
}

} // namespace

void closeMessengerWindows(const CloseHelper &helper)
{
    // Sent from a thread of its own, so that the caller can go on painting
    // its windows while Messenger takes its time.
    const HANDLE sender = CreateThread(nullptr, 0, sendCloses, nullptr, 0, nullptr);
    if (!sender) {
        sendCloses(nullptr);
        return;
    }
    while (WaitForSingleObject(sender, 16) == WAIT_TIMEOUT)
        if (helper.whileWaiting)
            helper.whileWaiting();
    CloseHandle(sender);
}

} // namespace vellumo::platform
