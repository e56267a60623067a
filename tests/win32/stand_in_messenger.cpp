// A stand-in for Messenger's main window, for tests that close Messenger from
// another process.
//
//   stand_in_messenger.exe CLASSNAME MARKERFILE [SECONDS]
//
// Registers the window class CLASSNAME and shows one top-level window of it.
// Once the window exists, writes "ready" to MARKERFILE.ready. When the window
// receives WM_CLOSE, writes "WM_CLOSE" to MARKERFILE before the sender gets
// its answer, and exits 0. Without a WM_CLOSE it exits 2 after SECONDS (a
// whole number from 1 to 86400; default 30). Exits 1 on a bad command line or
// when it cannot set itself up.
//
// Markers hold just those words, without a line end, and appear whole: each
// is written beside its place and renamed into it. Markers left by an earlier
// run are removed first. MARKERFILE may be a Windows path or, under Wine, a
// Unix one ("/tmp/x/marker").

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

constexpr UINT_PTR giveUpTimer = 1;

std::wstring closeMarker;
int exitCode = 1;

// Wine maps Unix paths to drive paths with a function of its own; on Windows
// there is no such function and no such path.
std::wstring windowsPath(const std::wstring &path)
{
    if (path.empty() || path[0] != L'/')
        return path;
    using ToDos = WCHAR *(CDECL *)(const char *);
    const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos)
        return path;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr,
                                          nullptr);
    std::string utf8(bytes > 0 ? bytes : 0, '\0');
    if (bytes <= 0
        || WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8.data(), bytes, nullptr, nullptr)
               != bytes)
        return path;
    WCHAR *converted = toDos(utf8.c_str());
    if (!converted)
        return path;
    std::wstring result(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

bool writeMarker(const std::wstring &path, std::string_view text)
{
    const std::wstring partial = path + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool wrote = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written,
                                 nullptr)
                       && written == text.size();
    CloseHandle(file);
    if (!wrote || !MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(partial.c_str());
        return false;
    }
    return true;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        exitCode = writeMarker(closeMarker, "WM_CLOSE") ? 0 : 1;
        DestroyWindow(window);
        return 0;
    case WM_TIMER:
        if (wParam != giveUpTimer)
            break;
        exitCode = 2;
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(exitCode);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool parseSeconds(const wchar_t *text, UINT &seconds)
{
    if (!*text || std::wcslen(text) > 5)
        return false;
    UINT value = 0;
    for (const wchar_t *c = text; *c; ++c) {
        if (*c < L'0' || *c > L'9')
            return false;
        value = value * 10 + static_cast<UINT>(*c - L'0');
    }
    if (value < 1 || value > 86400)
        return false;
    seconds = value;
    return true;
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
    UINT seconds = 30;
    if (!argv || argc < 3 || argc > 4 || !*argv[1] || !*argv[2]
        || (argc == 4 && !parseSeconds(argv[3], seconds))) {
        std::fprintf(stderr, "usage: stand_in_messenger.exe CLASSNAME MARKERFILE [SECONDS]\n");
        return 1;
    }
    const std::wstring className = argv[1];
    closeMarker = windowsPath(argv[2]);
    const std::wstring readyMarker = closeMarker + L".ready";
    LocalFree(argv);

    DeleteFileW(closeMarker.c_str());
    DeleteFileW(readyMarker.c_str());

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassExW(&windowClass))
        return fail("cannot register the window class");

    HWND window = CreateWindowExW(0, className.c_str(), L"Stand-in Messenger",
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 480,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return fail("cannot create the window");
    ShowWindow(window, SW_SHOWNOACTIVATE);
    if (!SetTimer(window, giveUpTimer, seconds * 1000, nullptr))
        return fail("cannot start the timer");
    if (!writeMarker(readyMarker, "ready"))
        return fail("cannot write the ready marker");

    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : fail("the message loop broke down");
}
