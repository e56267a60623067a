// A stand-in for Messenger's main window, for tests that close Messenger from
// another process:
//
//   stand_in_messenger.exe CLASSNAME MARKERFILE [SECONDS]
//
// Shows a window of class CLASSNAME, then writes "ready" to MARKERFILE.ready.
// On WM_CLOSE it writes "WM_CLOSE" to MARKERFILE before answering and exits 0;
// without one it exits 2 after SECONDS (1 to 86400, default 30). Exits 1 on a
// bad command line or failed setup. Markers appear whole (written beside, then
// renamed); old ones are removed first. MARKERFILE may be a Windows path or,
// under wine, a Unix one.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

std::wstring closeMarker;
int exitCode = 1;

// Wine converts Unix paths with a function of its own; Windows has neither.
std::wstring windowsPath(const std::wstring &path)
{
    using ToDos = WCHAR *(CDECL *)(const char *);
    const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (path[0] != L'/' || !toDos)
        return path;
    std::string utf8(4 * path.size() + 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8.data(), int(utf8.size()), nullptr,
                        nullptr);
    WCHAR *converted = toDos(utf8.c_str());
    if (!converted)
        return path;
    const std::wstring result(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

bool writeMarker(const std::wstring &path, std::string_view text)
{
    const std::wstring partial = path + L".part";
    HANDLE file =
        CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr)
                    && written == text.size();
    CloseHandle(file);
    if (ok && MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(partial.c_str());
    return false;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        exitCode = writeMarker(closeMarker, "WM_CLOSE") ? 0 : 1;
        DestroyWindow(window);
        return 0;
    case WM_TIMER: // no WM_CLOSE in time
        exitCode = 2;
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(exitCode);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A whole number from 1 to 86400, or 0.
unsigned long secondsIn(const wchar_t *text)
{
    const std::size_t length = std::wcslen(text);
    if (length == 0 || length > 5 || std::wcsspn(text, L"0123456789") != length)
        return 0;
    const unsigned long seconds = std::wcstoul(text, nullptr, 10);
    return seconds <= 86400 ? seconds : 0;
}

int fail(const char *what)
{
    std::fprintf(stderr, "stand_in_messenger: %s (error %lu)\n", what, GetLastError());
    return 1;
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const unsigned long seconds = argc == 4 ? secondsIn(argv[3]) : 30;
    if (!argv || argc < 3 || argc > 4 || !*argv[1] || !*argv[2] || seconds == 0) {
        std::fprintf(stderr, "usage: stand_in_messenger.exe CLASSNAME MARKERFILE [SECONDS]\n");
        return 1;
    }
    const std::wstring className = argv[1];
    closeMarker = windowsPath(argv[2]);
    const std::wstring readyMarker = closeMarker + L".ready";
    DeleteFileW(closeMarker.c_str());
    DeleteFileW(readyMarker.c_str());

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassW(&windowClass))
        return fail("cannot register the window class");
    HWND window = CreateWindowExW(0, className.c_str(), L"Stand-in Messenger",
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 480,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return fail("cannot create the window");
    ShowWindow(window, SW_SHOWNOACTIVATE);
    if (!SetTimer(window, 1, seconds * 1000, nullptr))
        return fail("cannot start the timer");
    if (!writeMarker(readyMarker, "ready"))
        return fail("cannot write the ready marker");

    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0)
        DispatchMessageW(&message);
    return got == 0 ? int(message.wParam) : fail("the message loop broke down");
}
