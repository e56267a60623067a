// Closing Messenger's main windows, run under wine:
//
//   test_closemsn_win.exe HELPER STAND_IN
//
// HELPER is vellumo-closemsn.exe, STAND_IN is stand_in_messenger.exe, both as
// Windows or Unix paths. The test's windows live on threads of their own that
// pump messages, as Messenger's would: a message sent to another thread's
// window is handled only when that thread pumps.

#include "check.h"
#include "platform/messenger_windows.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

using vellumo::platform::closeMessengerWindows;

namespace {

constexpr DWORD waitMs = 30000; // bounds waits that should end far sooner
const char *const unrelatedClass = "VellumoUnrelatedClass";
std::wstring helperProgram;
std::wstring standInProgram;

// The windows that have handled WM_CLOSE, in that order.
std::atomic<int> closeCount{0};
std::atomic<HWND> closed[8];

void forgetCloses()
{
    closeCount = 0;
    for (std::atomic<HWND> &window : closed)
        window = nullptr;
}

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

struct Window {
    const char *className;
    const char *title;
};

// Top-level windows made by a thread of their own that pumps messages for
// them until this object goes away; a hung one pumps only from then on.
class WindowThread {
public:
    explicit WindowThread(std::initializer_list<Window> wanted, bool hung = false)
        : m_wanted(wanted), m_hung(hung)
    {
        m_thread = CreateThread(nullptr, 0, run, this, 0, &m_threadId);
        started = m_thread && WaitForSingleObject(m_ready, waitMs) == WAIT_OBJECT_0;
        for (HWND window : windows)
            started = started && window;
    }
    ~WindowThread()
    {
        SetEvent(m_release);
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        if (m_thread && WaitForSingleObject(m_thread, waitMs) != WAIT_OBJECT_0)
            std::printf("a window thread did not end within %lu ms\n", waitMs);
        CloseHandle(m_thread);
        CloseHandle(m_ready);
        CloseHandle(m_release);
    }

    std::vector<HWND> windows;
    bool started = false;

private:
    static DWORD WINAPI run(void *self)
    {
        auto &me = *static_cast<WindowThread *>(self);
        for (const Window &wanted : me.m_wanted)
            me.windows.push_back(CreateWindowExA(0, wanted.className, wanted.title, WS_OVERLAPPEDWINDOW,
                                                 0, 0, 200, 100, nullptr, nullptr,
                                                 GetModuleHandleW(nullptr), nullptr));
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // a queue for WM_QUIT
        SetEvent(me.m_ready);
        if (me.m_hung)
            WaitForSingleObject(me.m_release, waitMs);
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        for (HWND window : me.windows)
            DestroyWindow(window);
        return 0;
    }

    std::vector<Window> m_wanted;
    bool m_hung;
    HANDLE m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
};

ULONGLONG millisecondsToClose()
{
    const ULONGLONG start = GetTickCount64();
    closeMessengerWindows(u"");
    return GetTickCount64() - start;
}

// The prefix maps the Unix root to Z:.
std::wstring windowsPath(std::string path)
{
    if (path.starts_with('/'))
        path = "Z:" + path;
    for (char &c : path)
        c = c == '/' ? '\\' : c;
    return std::wstring(path.begin(), path.end());
}

} // namespace

TEST_CASE(the_first_window_of_each_class_is_closed_in_order_and_waited_for)
{
    forgetCloses();
    // Made in the opposite order to the one asked, so that neither creation nor
    // stacking order passes for it; the unrelated window bears a class name as title.
    WindowThread thread({{"msblclass", "1"},
                         {"msnmsblclass", "2"},
                         {unrelatedClass, "msnmsblclass"},
                         {"msblclass", "4"},
                         {"msnmsblclass", "5"}});
    REQUIRE(thread.started);
    const std::vector<HWND> &window = thread.windows;

    closeMessengerWindows(u"");
    CHECK_EQ(closeCount.load(), 2);
    CHECK(closed[0] == window[1] || closed[0] == window[4]); // msnmsblclass
    CHECK(closed[1] == window[0] || closed[1] == window[3]); // then msblclass
}

TEST_CASE(without_messenger_windows_the_call_returns)
{
    CHECK(millisecondsToClose() < 2000);
}

TEST_CASE(a_hung_messenger_is_given_up_on)
{
    forgetCloses();
    WindowThread hung({{"msnmsblclass", "hung"}}, true);
    WindowThread responsive({{"msblclass", "responsive"}});
    REQUIRE(hung.started && responsive.started);

    const ULONGLONG elapsed = millisecondsToClose();
    std::printf("one hung window: %llu ms\n", elapsed);
    CHECK(elapsed < 8000); // callers allow 15 s
    CHECK_EQ(closeCount.load(), 1);
    CHECK(closed[0] == responsive.windows[0]);
}

TEST_CASE(the_helper_program_closes_messenger_in_another_process)
{
    // The stand-in is given the Unix path; wine passes TMPDIR on.
    const char *folder = std::getenv("TMPDIR");
    const std::string unixMarker = std::string(folder ? folder : "/tmp") + "/closemsn-marker";
    const std::wstring marker = windowsPath(unixMarker);
    HANDLE standIn = check::start(L"\"" + standInProgram + L"\" msnmsblclass \""
                                  + std::wstring(unixMarker.begin(), unixMarker.end()) + L"\" 60");
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    while (GetFileAttributesW((marker + L".ready").c_str()) == INVALID_FILE_ATTRIBUTES
           && GetTickCount64() < deadline && WaitForSingleObject(standIn, 20) == WAIT_TIMEOUT) {
    }

    CHECK_EQ(check::finish(check::start(L"\"" + helperProgram + L"\""), waitMs), DWORD(0));
    std::ifstream markerFile(marker.c_str());
    const std::string markerText{std::istreambuf_iterator<char>(markerFile), {}};
    CHECK_EQ(markerText, "WM_CLOSE"); // written before the helper had its answer
    CHECK_EQ(check::finish(standIn, waitMs), DWORD(0));
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::printf("usage: test_closemsn_win.exe HELPER STAND_IN\n");
        return 1;
    }
    helperProgram = windowsPath(argv[1]);
    standInProgram = windowsPath(argv[2]);
    for (const char *name : {"msnmsblclass", "msblclass", unrelatedClass}) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = name;
        if (!RegisterClassA(&windowClass)) {
            std::printf("cannot register the window classes (error %lu)\n", GetLastError());
            return 1;
        }
    }
    return check::runAll();
}
