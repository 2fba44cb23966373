// suelvan.exe: the diary window on Windows.
#include <windows.h>

#include "ui/windows/diary_window.h"

namespace {

// The window was laid out in Liberation Sans Narrow; the program carries it.
void LoadCarriedFont(HINSTANCE instance) {
    const HRSRC found = ::FindResourceW(instance, L"NARROW_FONT", MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return;
    const HGLOBAL loaded = ::LoadResource(instance, found);
    DWORD fonts = 0;
    if (loaded)
        ::AddFontMemResourceEx(::LockResource(loaded), ::SizeofResource(instance, found), nullptr, &fonts);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    LoadCarriedFont(instance);
    suelvan::windows::DiaryWindow window;
    if (!window.Create(instance, show)) return 1;
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab and Shift+Tab between the controls, in the form's order; the dialog manager
        // for the rest of the keyboard.
        if (message.message == WM_KEYDOWN && message.wParam == VK_TAB &&
            window.Tab(::GetKeyState(VK_SHIFT) < 0))
            continue;
        if (::IsDialogMessageW(window.Handle(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
