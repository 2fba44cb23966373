// The diary window as a native Windows window, built from the same form table as the Qt
// one. One window procedure dispatches to a handler per control and event.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "core/entry.h"
#include "ui/form.h"

namespace suelvan::windows {

class DiaryWindow {
   public:
    // Registers the class and makes the window, shown; false when it could not be made.
    bool Create(HINSTANCE instance, int show);
    HWND Handle() const { return window_; }
    // Shows the current date and time in the clock label.
    void Update();
    // Tab and Shift+Tab through every control in the form's order, each option included
    // (the dialog manager visits only the checked one); false when the focus is elsewhere.
    bool Tab(bool back);

   private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT Handle(UINT message, WPARAM w, LPARAM l);
    void CreateControls();
    void Fit(HWND made, const form::Control& control);
    void AddToolTip(HWND control, const std::wstring& text);
    void OnCommand(int id, int code);
    void cmdHideClick();
    void cmdNeuEintragClick();
    void cmdShowClick();
    void lblBIClick();
    void SelectLoudness(LoudnessLevel level);
    LoudnessLevel SelectedLoudness() const;
    int Pixels(int twips) const;
    SIZE OuterSize(int clientWidthTwips, int clientHeightTwips) const;
    void ShowMessage(const std::string& text);

    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    HWND toolTips_ = nullptr;
    HFONT dialogFont_ = nullptr;
    HFONT clockFont_ = nullptr;
    HFONT linkFont_ = nullptr;
    int dpi_ = 96;
    std::array<HWND, 4> options_{};
    HWND cmdNeuEintrag = nullptr;
    HWND cmdShow = nullptr;
    HWND cmdHide = nullptr;
    HWND chkLandung = nullptr;
    HWND txtNotitz = nullptr;
    HWND txtMinuten = nullptr;
    HWND lblZeit = nullptr;
    HWND lblBI = nullptr;
};

}  // namespace suelvan::windows
