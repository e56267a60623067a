// Closing Messenger's main windows, run under wine. The test's windows live
// on threads of their own that pump messages, as Messenger's would: a message
// sent to another thread's window is handled only when that thread pumps.
// (The helper program, which calls the same code inside another process, is
// tested end to end by test_end_to_end_wine.cpp.)

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/messenger_windows.h"

#include <algorithm>
#include <atomic>

using vellumo::platform::closeMessengerWindows;

namespace {

constexpr DWORD waitMs = 30000; // bounds waits that should end far sooner

// The windows that have handled WM_CLOSE since the last WindowThread was made, in that order.
std::atomic<int> closeCount{0};
std::atomic<HWND> closed[8];

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        Sleep(300); // Messenger takes a while, and a caller that does not wait returns sooner
        const int at = closeCount++;
        if (at < 8)
            closed[at] = window;
    }
    return DefWindowProcA(window, message, wParam, lParam); // destroys it on WM_CLOSE
}

using Window = std::pair<const char *, const char *>; // class name, title

// Top-level windows made by a thread of their own that pumps messages for
// them until this object goes away; a hung one pumps only from then on.
struct WindowThread {
    explicit WindowThread(std::initializer_list<Window> wanted, bool hung = false)
        : wanted(wanted), hung(hung)
    {
        closeCount = 0;
        thread = CreateThread(nullptr, 0, run, this, 0, &threadId);
        started = thread && WaitForSingleObject(ready, waitMs) == WAIT_OBJECT_0
                  && std::ranges::find(windows, nullptr) == windows.end();
    }
    ~WindowThread()
    {
        SetEvent(release);
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, waitMs);
        for (HANDLE handle : {thread, ready, release})
            CloseHandle(handle);
    }

    static DWORD WINAPI run(void *self)
    {
        auto &me = *static_cast<WindowThread *>(self);
        for (const auto &[className, title] : me.wanted) {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = windowProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = className;
            RegisterClassA(&windowClass); // fails, harmlessly, for a class already known
            me.windows.push_back(CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                                 nullptr, windowClass.hInstance, nullptr));
        }
        SetEvent(me.ready); // making windows gave the thread a queue, for WM_QUIT too
        if (me.hung)
            WaitForSingleObject(me.release, waitMs);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        return 0; // its windows end with it
    }

    std::vector<Window> wanted;
    bool hung;
    std::vector<HWND> windows;
    bool started = false;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    DWORD threadId = 0;
};

} // namespace

TEST(CloseMessengerWin, TheFirstWindowOfEachClassIsClosedInOrderAndWaitedFor)
{
    // Made in the opposite order to the one asked, so that neither creation nor
    // stacking order passes for it; the unrelated window bears a class name as title.
    WindowThread thread({{"msblclass", "1"},
                         {"msnmsblclass", "2"},
                         {"VellumoUnrelatedClass", "msnmsblclass"},
                         {"msblclass", "4"},
                         {"msnmsblclass", "5"}});
    ASSERT_TRUE(thread.started);

    int waits = 0; // each window takes 300 ms to close: the caller is called back meanwhile
    closeMessengerWindows({.path = {}, .whileWaiting = [&] { ++waits; }});
    EXPECT_GE(waits, 10);
    EXPECT_EQ(closeCount.load(), 2);
    EXPECT_TRUE(closed[0] == thread.windows[1] || closed[0] == thread.windows[4]); // msnmsblclass
    EXPECT_TRUE(closed[1] == thread.windows[0] || closed[1] == thread.windows[3]); // then msblclass
}

TEST(CloseMessengerWin, AHungMessengerIsGivenUpOn)
{
    WindowThread hung({{"msnmsblclass", "hung"}}, true);
    WindowThread responsive({{"msblclass", "responsive"}});
    ASSERT_TRUE(hung.started && responsive.started);

    const ULONGLONG start = GetTickCount64();
    closeMessengerWindows({});
    EXPECT_TRUE(GetTickCount64() - start < 8000); // callers allow 15 s
    EXPECT_EQ(closeCount.load(), 1);
    EXPECT_TRUE(closed[0] == responsive.windows[0]);
}
