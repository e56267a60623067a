// A stand-in for Messenger's main window, for the end-to-end test:
//
//   stand_in_messenger.exe CLASSNAME SECONDS
//
// Shows a window of class CLASSNAME, then writes "ready" to its output. Exits
// 0 on WM_CLOSE; without one it exits 2 after SECONDS. Exits 1 on a bad
// command line or a failed setup.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
        PostQuitMessage(0);
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
    if (!argv || argc != 3 || _wtoi(argv[2]) <= 0)
        return 1;
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
    if (!SetTimer(window, 1, _wtoi(argv[2]) * 1000, nullptr) || std::puts("ready") < 0 || std::fflush(stdout) != 0)
        return 1;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return int(message.wParam);
}
