// The floor for start-up on Windows: a bare Win32 window with one label and nothing else,
// titled like the diary window so that the same probe waits for it.
#include <windows.h>

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, w, l);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"floor";
    ::RegisterClassW(&windowClass);
    const HWND window = ::CreateWindowW(L"floor", L"Sülvan Logger", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                        CW_USEDEFAULT, 363, 380, nullptr, nullptr, instance, nullptr);
    ::CreateWindowW(L"STATIC", L"Dienstag, 8.12.2026 14:30", WS_CHILD | WS_VISIBLE, 42, 13, 165, 21, window,
                    nullptr, instance, nullptr);
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    return 0;
}
