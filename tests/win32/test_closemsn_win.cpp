// Closing Messenger's main windows, run under wine. Stand-in windows live on
// threads of their own that pump messages, as Messenger's would: a message
// sent to another thread's window is handled only when that thread pumps.
// Each case makes and removes its own windows.
//
//   test_closemsn_win.exe HELPER STAND_IN [CASE...]
//
// HELPER is vellumo-closemsn.exe, STAND_IN is stand_in_messenger.exe; Unix
// paths are fine under wine.

#include "check.h"
#include "platform/messenger_windows.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using vellumo::platform::closeMessengerWindows;

namespace {

std::wstring helperProgram;
std::wstring standInProgram;

// How long a window takes over WM_CLOSE; a caller that does not wait for the
// answer returns well before that.
constexpr DWORD handlingMs = 300;
// Bounds on waits that should end far sooner.
constexpr DWORD threadTimeoutMs = 30000;
constexpr DWORD processTimeoutMs = 40000;

constexpr UINT stopMessage = WM_APP + 1;

const char *const unrelatedClass = "VellumoUnrelatedClass";

// Which WM_CLOSE of this program, counted from 1 for each case.
std::atomic<int> closeSequence{0};

struct Received {
    std::atomic<int> closes{0};
    std::atomic<int> firstCloseAt{0}; // closeSequence of the first WM_CLOSE
    std::atomic<bool> handled{false}; // the first WM_CLOSE has been handled
    std::atomic<bool> otherParameters{false};
};

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *received = reinterpret_cast<Received *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_CLOSE && received) {
        const int at = ++closeSequence;
        if (++received->closes == 1)
            received->firstCloseAt = at;
        if (wParam != 0 || lParam != 0)
            received->otherParameters = true;
        Sleep(handlingMs);
        received->handled = true;
        // Messenger goes away; DefWindowProc destroys the window.
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool registerClasses()
{
    for (const char *name : {"msnmsblclass", "msblclass", unrelatedClass}) {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = name;
        if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    return true;
}

struct WindowSpec {
    const char *className;
    const char *title;
};

// Top-level windows made and pumped by a thread of their own. A hung thread
// makes its windows and then stops pumping until released (or 30 s pass).
enum class Pumping { Yes, HangsUntilReleased };

class WindowThread {
public:
    WindowThread(std::vector<WindowSpec> specs, Pumping pumping)
        : m_specs(std::move(specs)), m_hung(pumping == Pumping::HangsUntilReleased)
    {
        for (std::size_t i = 0; i < m_specs.size(); ++i)
            m_received.push_back(std::make_unique<Received>());
        m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, &WindowThread::run, this, 0, &m_threadId);
        m_started = m_thread && WaitForSingleObject(m_ready, threadTimeoutMs) == WAIT_OBJECT_0
                    && m_windowsMade;
    }

    WindowThread(const WindowThread &) = delete;
    WindowThread &operator=(const WindowThread &) = delete;

    ~WindowThread()
    {
        if (m_thread) {
            release();
            PostThreadMessageW(m_threadId, stopMessage, 0, 0);
            if (WaitForSingleObject(m_thread, threadTimeoutMs) != WAIT_OBJECT_0)
                std::printf("a window thread did not end within %lu ms\n", threadTimeoutMs);
            CloseHandle(m_thread);
        }
        CloseHandle(m_ready);
        CloseHandle(m_release);
    }

    bool started() const { return m_started; }
    const Received &received(std::size_t i) const { return *m_received[i]; }
    HWND window(std::size_t i) const { return m_windows[i]; }
    void release() { SetEvent(m_release); }

private:
    static DWORD WINAPI run(void *self) { return static_cast<WindowThread *>(self)->loop(); }

    DWORD loop()
    {
        m_windowsMade = true;
        for (std::size_t i = 0; i < m_specs.size(); ++i) {
            HWND window = CreateWindowExA(0, m_specs[i].className, m_specs[i].title,
                                          WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
            if (!window)
                m_windowsMade = false;
            else
                SetWindowLongPtrA(window, GWLP_USERDATA,
                                  reinterpret_cast<LONG_PTR>(m_received[i].get()));
            m_windows.push_back(window);
        }
        // Make sure the thread has a queue for the stop message.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        SetEvent(m_ready);

        if (m_hung)
            WaitForSingleObject(m_release, threadTimeoutMs);

        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (message.hwnd == nullptr && message.message == stopMessage)
                break;
            DispatchMessageW(&message);
        }
        for (HWND window : m_windows) {
            if (window && IsWindow(window))
                DestroyWindow(window);
        }
        return 0;
    }

    std::vector<WindowSpec> m_specs;
    std::vector<std::unique_ptr<Received>> m_received;
    std::vector<HWND> m_windows;
    bool m_hung;
    std::atomic<bool> m_windowsMade{false};
    bool m_started = false;
    HANDLE m_ready = nullptr;
    HANDLE m_release = nullptr;
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
};

ULONGLONG millisecondsOf(void (*action)())
{
    const ULONGLONG start = GetTickCount64();
    action();
    return GetTickCount64() - start;
}

void closeNow()
{
    closeMessengerWindows(u"");
}

// Wine maps Unix paths to drive paths with a function of its own.
std::wstring windowsPath(const std::string &path)
{
    const std::wstring asIs(path.begin(), path.end());
    if (path.empty() || path[0] != '/')
        return asIs;
    using ToDos = WCHAR *(CDECL *)(const char *);
    const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    WCHAR *converted = toDos ? toDos(path.c_str()) : nullptr;
    if (!converted)
        return asIs;
    std::wstring result(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

std::optional<std::string> unixPath(const std::wstring &path)
{
    using ToUnix = char *(CDECL *)(const WCHAR *);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char *converted = toUnix ? toUnix(path.c_str()) : nullptr;
    if (!converted)
        return std::nullopt;
    std::string result(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

enum class Output { Shown, Hidden };

class Process {
public:
    explicit Process(const std::wstring &program, const std::wstring &arguments = L"",
                     Output output = Output::Shown)
    {
        std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" ")
                                   + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
        HANDLE nul = INVALID_HANDLE_VALUE;
        if (output == Output::Hidden) {
            nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inheritable, OPEN_EXISTING, 0, nullptr);
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
            startup.hStdOutput = nul;
            startup.hStdError = nul;
        }
        PROCESS_INFORMATION process = {};
        const bool started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr,
                                            output == Output::Hidden, 0, nullptr, nullptr,
                                            &startup, &process);
        if (nul != INVALID_HANDLE_VALUE)
            CloseHandle(nul);
        if (started) {
            CloseHandle(process.hThread);
            m_process = process.hProcess;
        } else {
            std::printf("cannot run %ls (error %lu)\n", program.c_str(), GetLastError());
        }
    }

    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;

    ~Process()
    {
        if (!m_process)
            return;
        if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process, 99);
            WaitForSingleObject(m_process, processTimeoutMs);
        }
        CloseHandle(m_process);
    }

    bool started() const { return m_process != nullptr; }
    bool running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

    // The exit code, or nothing when the process did not end in time.
    std::optional<DWORD> wait(DWORD timeoutMs = processTimeoutMs)
    {
        DWORD code = 0;
        if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0
            || !GetExitCodeProcess(m_process, &code))
            return std::nullopt;
        return code;
    }

private:
    HANDLE m_process = nullptr;
};

std::optional<std::string> fileText(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    char buffer[64];
    DWORD read = 0;
    const bool ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    return std::string(buffer, read);
}

bool fileExists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Waits, bounded, for the stand-in to report its window.
bool waitUntilReady(const Process &standIn, const std::wstring &marker)
{
    const ULONGLONG deadline = GetTickCount64() + processTimeoutMs;
    while (GetTickCount64() < deadline) {
        if (fileText(marker + L".ready") == std::optional<std::string>("ready"))
            return true;
        if (!standIn.running())
            return false;
        Sleep(20);
    }
    return false;
}

// A folder of this run's own, below wine's temporary folder.
std::wstring freshFolder(const wchar_t *name)
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = std::wstring(temp, length) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

} // namespace

TEST_CASE(the_first_window_of_each_class_is_closed_in_order_and_waited_for)
{
    closeSequence = 0;
    // Made in the opposite order to the one asked, so neither creation nor
    // stacking order can pass for the right order.
    WindowThread windows({{"msblclass", "first msblclass"},
                          {"msnmsblclass", "first msnmsblclass"},
                          {unrelatedClass, "unrelated"},
                          {"msblclass", "second msblclass"},
                          {"msnmsblclass", "second msnmsblclass"}}, Pumping::Yes);
    REQUIRE(windows.started());

    closeMessengerWindows(u"");

    const Received &msbl1 = windows.received(0), &msnmsbl1 = windows.received(1),
                   &unrelated = windows.received(2), &msbl2 = windows.received(3),
                   &msnmsbl2 = windows.received(4);
    CHECK_EQ(msnmsbl1.closes + msnmsbl2.closes, 1);
    CHECK_EQ(msbl1.closes + msbl2.closes, 1);
    CHECK_EQ(unrelated.closes.load(), 0);
    CHECK_EQ(closeSequence.load(), 2);

    // msnmsblclass first, then msblclass.
    const Received &msnmsbl = msnmsbl1.closes ? msnmsbl1 : msnmsbl2;
    const Received &msbl = msbl1.closes ? msbl1 : msbl2;
    CHECK_EQ(msnmsbl.firstCloseAt.load(), 1);
    CHECK_EQ(msbl.firstCloseAt.load(), 2);

    // Both had been handled by the time the call returned.
    CHECK(msnmsbl.handled);
    CHECK(msbl.handled);
    CHECK(!msnmsbl.otherParameters);
    CHECK(!msbl.otherParameters);

    // The windows not asked are still there.
    CHECK(IsWindow(windows.window(msnmsbl1.closes ? 4 : 1)));
    CHECK(IsWindow(windows.window(msbl1.closes ? 3 : 0)));
    CHECK(IsWindow(windows.window(2)));
}

TEST_CASE(without_messenger_windows_nothing_is_sent)
{
    closeSequence = 0;
    // No window at all.
    CHECK(millisecondsOf(closeNow) < 2000);

    // Windows that merely bear Messenger's class names as titles.
    WindowThread windows({{unrelatedClass, "msnmsblclass"}, {unrelatedClass, "msblclass"}},
                         Pumping::Yes);
    REQUIRE(windows.started());
    CHECK(millisecondsOf(closeNow) < 2000);
    CHECK_EQ(windows.received(0).closes.load(), 0);
    CHECK_EQ(windows.received(1).closes.load(), 0);
    CHECK_EQ(closeSequence.load(), 0);
}

TEST_CASE(a_hung_messenger_is_given_up_on)
{
    closeSequence = 0;
    {
        // The first class hangs; the second is still asked.
        WindowThread hung({{"msnmsblclass", "hung"}}, Pumping::HangsUntilReleased);
        WindowThread responsive({{"msblclass", "responsive"}}, Pumping::Yes);
        REQUIRE(hung.started());
        REQUIRE(responsive.started());

        const ULONGLONG elapsed = millisecondsOf(closeNow);
        CHECK(elapsed < 8000);
        CHECK_EQ(hung.received(0).closes.load(), 0);
        CHECK_EQ(responsive.received(0).closes.load(), 1);
        CHECK(responsive.received(0).handled);
        std::printf("one hung window: %llu ms\n", elapsed);
    }
    {
        // Both hang: together still within the 15 s callers allow. (Under wine
        // the second is given up on at once: by then its thread has not
        // pumped for 5 s, which makes it hung to SMTO_ABORTIFHUNG.)
        WindowThread hung({{"msnmsblclass", "hung"}, {"msblclass", "hung too"}},
                          Pumping::HangsUntilReleased);
        REQUIRE(hung.started());

        const ULONGLONG elapsed = millisecondsOf(closeNow);
        CHECK(elapsed < 13000);
        CHECK_EQ(hung.received(0).closes.load(), 0);
        CHECK_EQ(hung.received(1).closes.load(), 0);
        std::printf("two hung windows: %llu ms\n", elapsed);
    }
}

TEST_CASE(the_helper_program_closes_the_windows_of_another_process)
{
    closeSequence = 0;
    WindowThread windows({{"msblclass", "msblclass"},
                          {"msnmsblclass", "msnmsblclass"},
                          {unrelatedClass, "unrelated"}}, Pumping::Yes);
    REQUIRE(windows.started());

    Process helper(helperProgram);
    REQUIRE(helper.started());
    CHECK_EQ(helper.wait(), std::optional<DWORD>(0));

    CHECK_EQ(windows.received(1).closes.load(), 1);
    CHECK_EQ(windows.received(1).firstCloseAt.load(), 1);
    CHECK(windows.received(1).handled);
    CHECK_EQ(windows.received(0).closes.load(), 1);
    CHECK_EQ(windows.received(0).firstCloseAt.load(), 2);
    CHECK(windows.received(0).handled);
    CHECK_EQ(windows.received(2).closes.load(), 0);
}

TEST_CASE(the_stand_in_reports_its_window_and_the_close)
{
    const std::wstring folder = freshFolder(L"stand-in-close");
    const std::wstring marker = folder + L"\\marker";

    Process standIn(standInProgram, L"msnmsblclass \"" + marker + L"\" 60");
    REQUIRE(standIn.started());
    REQUIRE(waitUntilReady(standIn, marker));

    HWND window = FindWindowA("msnmsblclass", nullptr);
    REQUIRE(window != nullptr);
    CHECK(IsWindowVisible(window));
    CHECK(!fileExists(marker));

    closeMessengerWindows(u"");
    // Written before WM_CLOSE was answered.
    CHECK_EQ(fileText(marker), std::optional<std::string>("WM_CLOSE"));
    CHECK_EQ(standIn.wait(), std::optional<DWORD>(0));
    CHECK(!fileExists(marker + L".part"));
    CHECK(!fileExists(marker + L".ready.part"));
}

TEST_CASE(the_stand_in_takes_unix_paths_and_gives_up_after_its_seconds)
{
    const std::wstring folder = freshFolder(L"stand-in-timeout");
    const std::wstring marker = folder + L"\\marker";
    const std::optional<std::string> unixMarker = unixPath(marker);
    REQUIRE(unixMarker.has_value());
    REQUIRE((*unixMarker)[0] == '/');

    const std::wstring unixArgument(unixMarker->begin(), unixMarker->end());
    Process standIn(standInProgram, L"msblclass \"" + unixArgument + L"\" 1");
    REQUIRE(standIn.started());
    REQUIRE(waitUntilReady(standIn, marker));
    CHECK_EQ(standIn.wait(), std::optional<DWORD>(2));
    CHECK(!fileExists(marker));
    CHECK(FindWindowA("msblclass", nullptr) == nullptr);
}

TEST_CASE(the_stand_in_refuses_a_bad_command_line)
{
    const std::wstring marker = freshFolder(L"stand-in-usage") + L"\\marker";
    const std::wstring commandLines[] = {
        L"",
        L"msnmsblclass",
        L"msnmsblclass \"" + marker + L"\" 0",
        L"msnmsblclass \"" + marker + L"\" soon",
        L"msnmsblclass \"" + marker + L"\" 100000",
        L"msnmsblclass \"" + marker + L"\" 30 extra",
    };
    for (const std::wstring &arguments : commandLines) {
        Process standIn(standInProgram, arguments, Output::Hidden);
        REQUIRE(standIn.started());
        CHECK_EQ(standIn.wait(), std::optional<DWORD>(1));
    }
    CHECK(!fileExists(marker + L".ready"));
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::printf("usage: test_closemsn_win.exe HELPER STAND_IN [CASE...]\n");
        return 1;
    }
    helperProgram = windowsPath(argv[1]);
    standInProgram = windowsPath(argv[2]);
    if (!registerClasses()) {
        std::printf("cannot register the window classes (error %lu)\n", GetLastError());
        return 1;
    }
    // The harness takes its first argument for the program's name.
    return check::runAll(argc - 2, argv + 2);
}
