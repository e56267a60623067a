// A stand-in for Messenger's main window, for the end-to-end test:
//
//   stand_in_messenger.exe CLASSNAME MARKERFILE SECONDS
//
// Shows a window of class CLASSNAME, then writes "ready" to MARKERFILE.ready.
// On WM_CLOSE it writes "WM_CLOSE" to MARKERFILE before answering and exits 0;
// without one it exits 2 after SECONDS. Exits 1 on a bad command line or a
// failed setup. MARKERFILE is a Windows path.

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::wstring closeMarker;

bool writeMarker(const std::wstring &path, const std::string &text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr)
                    && written == text.size();
    CloseHandle(file);
    return ok;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
        PostQuitMessage(writeMarker(closeMarker, "WM_CLOSE") ? 0 : 1);
    else if (message == WM_TIMER) // no WM_CLOSE in time
        PostQuitMessage(2);
    else
        return DefWindowProcW(window, message, wParam, lParam);
    return 0;
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 4 || _wtoi(argv[3]) <= 0)
        return 1;
    closeMarker = argv[2];
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = argv[1];
    HWND window = RegisterClassW(&windowClass)
                      ? CreateWindowExW(0, argv[1], L"Stand-in Messenger", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                        CW_USEDEFAULT, 320, 480, nullptr, nullptr, windowClass.hInstance, nullptr)
                      : nullptr;
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    if (!SetTimer(window, 1, _wtoi(argv[3]) * 1000, nullptr) || !writeMarker(closeMarker + L".ready", "ready"))
        return 1;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return int(message.wParam);
}
