#include "ui/windows/diary_window.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <string_view>
#include <vector>

#include "core/day_header.h"
#include "core/logfile.h"
#include "platform/desktop.h"
#include "platform/diary_file.h"
#include "ui/form.h"

namespace suelvan::windows {
namespace {

constexpr wchar_t kClassName[] = L"frmSuelvan";
constexpr UINT_PTR kTimer1 = 1;
constexpr int kFirstId = 100;  // a control's id: kFirstId and its row in the form table

using platform::Utf8Of;
using platform::WideOf;

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

const std::wstring kFullCaption = L"Sülvan Logger";
const std::wstring kCompactCaption = L"Uhrzeit";

// Restores the normal cursor on every way out of a handler.
class BusyCursor {
   public:
    BusyCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~BusyCursor() { ::SetCursor(previous_); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

   private:
    HCURSOR previous_;
};

}  // namespace

int DiaryWindow::Pixels(int twips) const { return ::MulDiv(form::Pixels(twips), dpi_, 96); }

// The outer size that the classic frame would give this client area, with this system's frame.
SIZE DiaryWindow::OuterSize(int clientWidth, int clientHeight) const {
    RECT rect{0, 0, ::MulDiv(clientWidth, dpi_, 96), ::MulDiv(clientHeight, dpi_, 96)};
    ::AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

bool DiaryWindow::Create(HINSTANCE instance, int show) {
    instance_ = instance;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &DiaryWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, L"SUELVAN");
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass);
    const HDC screen = ::GetDC(nullptr);
    dpi_ = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    const SIZE size = OuterSize(form::ClientWidth(form::kFullWidth), form::ClientHeight(form::kFullHeight));
    window_ = ::CreateWindowExW(0, kClassName, kFullCaption.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, instance, this);
    if (!window_) return false;
    CreateControls();
    Update();  // before the first show, so the placeholder is never seen
    ::SetTimer(window_, kTimer1, 1000, nullptr);
    ::ShowWindow(window_, show);
    ::SetFocus(cmdNeuEintrag);
    return true;
}

void DiaryWindow::CreateControls() {
    const auto font = [&](double points, bool underline) {
        return ::CreateFontW(-::MulDiv(static_cast<int>(points * 100), dpi_, 7200), 0, 0, 0, FW_NORMAL, FALSE,
                             underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Liberation Sans Narrow");
    };
    dialogFont_ = font(8.25, false);
    clockFont_ = font(9.75, false);
    linkFont_ = font(9.75, true);
    toolTips_ =
        ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
    for (std::size_t row = 0; row < form::kControls.size(); ++row) {
        const form::Control& control = form::kControls[row];
        const wchar_t* windowClass = L"BUTTON";
        DWORD style = WS_CHILD | WS_VISIBLE;
        switch (control.kind) {
            case form::Kind::CommandButton: style |= BS_PUSHBUTTON | WS_TABSTOP; break;
            // Each option a group of its own, so Tab visits every one; checked by hand.
            case form::Kind::OptionButton: style |= BS_RADIOBUTTON | WS_TABSTOP | WS_GROUP; break;
            case form::Kind::CheckBox: style |= BS_AUTOCHECKBOX | WS_TABSTOP; break;
            case form::Kind::TextBox:
                windowClass = L"EDIT";
                style |= WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
                break;
            case form::Kind::Label:
            case form::Kind::AutoSizeLabel:
            case form::Kind::Link:
                windowClass = L"STATIC";
                style |= SS_LEFT | SS_NOPREFIX | (control.kind == form::Kind::Link ? SS_NOTIFY : 0);
                break;
        }
        const HWND made = ::CreateWindowExW(
            control.kind == form::Kind::TextBox ? WS_EX_CLIENTEDGE : 0, windowClass,
            WideOf(control.text).c_str(), style, Pixels(control.left), Pixels(control.top),
            Pixels(control.width), Pixels(control.height), window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + row)), instance_, nullptr);
        const bool clockFace = control.name == "lblZeit" || control.name == "lblBI";
        ::SendMessageW(made, WM_SETFONT,
                       reinterpret_cast<WPARAM>(control.name == "lblBI" ? linkFont_
                                                : clockFace             ? clockFont_
                                                                        : dialogFont_),
                       TRUE);
        Fit(made, control);
        if (!control.toolTip.empty()) AddToolTip(made, WideOf(control.toolTip));
        if (control.optionIndex >= 0) options_[static_cast<std::size_t>(control.optionIndex)] = made;
        const std::string_view name = control.name;
        if (name == "cmdNeuEintrag") cmdNeuEintrag = made;
        if (name == "cmdShow") cmdShow = made;
        if (name == "cmdHide") {
            // No caption on the screen, but a name for a screen reader: its text, drawn by us
            // as a plain button.
            cmdHide = made;
            ::SetWindowLongPtrW(made, GWL_STYLE,
                                (::GetWindowLongPtrW(made, GWL_STYLE) & ~BS_PUSHBUTTON) | BS_OWNERDRAW);
            ::SetWindowTextW(made, WideOf(control.accessibleName).c_str());
        }
        if (name == "chkLandung") chkLandung = made;
        if (name == "txtNotitz") txtNotitz = made;
        if (name == "txtMinuten") txtMinuten = made;
        if (name == "lblZeit") lblZeit = made;
        if (name == "lblBI") lblBI = made;
    }
    SelectLoudness(kDefaultLoudness);
}

// A caption wider than its designed control wraps onto a second line where the control
// is tall enough for two, as the form was designed; where even that does not do, the
// control grows to the right (within the window) rather than clip it. A label that sizes
// itself takes its text's size.
void DiaryWindow::Fit(HWND made, const form::Control& control) {
    const bool option = control.kind == form::Kind::OptionButton || control.kind == form::Kind::CheckBox;
    if (!option && control.kind != form::Kind::AutoSizeLabel) return;
    const HDC dc = ::GetDC(made);
    const auto previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(made, WM_GETFONT, 0, 0)));
    const std::wstring text = WideOf(control.text);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, previous);
    ::ReleaseDC(made, dc);
    const int left = Pixels(control.left);
    RECT client{};
    ::GetClientRect(window_, &client);
    int width = static_cast<int>(extent.cx);
    int height = Pixels(control.height);
    if (option) {
        const int check = ::GetSystemMetrics(SM_CXMENUCHECK) + 6;
        width = std::min(std::max(Pixels(control.width), static_cast<int>(extent.cx) + check),
                         static_cast<int>(client.right) - left);
        const bool twoLines =
            height >= 2 * static_cast<int>(extent.cy) && text.find(L' ') != std::wstring::npos;
        if (width > Pixels(control.width) && twoLines) {
            ::SetWindowLongPtrW(made, GWL_STYLE, ::GetWindowLongPtrW(made, GWL_STYLE) | BS_MULTILINE);
            width = Pixels(control.width);
        }
    } else {
        height = static_cast<int>(extent.cy);
    }
    ::SetWindowPos(made, nullptr, left, Pixels(control.top), width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DiaryWindow::AddToolTip(HWND control, const std::wstring& text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CALLBACK DiaryWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<DiaryWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<DiaryWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, w, l) : ::DefWindowProcW(window, message, w, l);
}

LRESULT DiaryWindow::Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(w), HIWORD(w)); return 0;
        case WM_TIMER: Update(); return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            if (item->hwndItem != cmdHide) break;
            RECT face = item->rcItem;
            ::DrawFrameControl(item->hDC, &face, DFC_BUTTON,
                               DFCS_BUTTONPUSH | ((item->itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
            if (item->itemState & ODS_FOCUS) ::DrawFocusRect(item->hDC, &face);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(l) == lblBI) {
                const auto dc = reinterpret_cast<HDC>(w);
                ::SetTextColor(dc, RGB(0, 0, 255));
                ::SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(w) == lblBI) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_DESTROY:
            ::KillTimer(window_, kTimer1);
            for (HFONT font : {dialogFont_, clockFont_, linkFont_}) ::DeleteObject(font);
            ::PostQuitMessage(0);
            return 0;
    }
    return ::DefWindowProcW(window_, message, w, l);
}

void DiaryWindow::OnCommand(int id, int code) {
    const int row = id - kFirstId;
    if (row < 0 || row >= static_cast<int>(form::kControls.size())) return;
    const form::Control& control = form::kControls[static_cast<std::size_t>(row)];
    if (control.optionIndex >= 0 && code == BN_CLICKED) return SelectLoudness(control.optionIndex);
    // A drawn button tells the second click of a double click apart: it is a click too.
    const bool clicked = code == BN_CLICKED || code == BN_DOUBLECLICKED;
    if (!clicked && !(control.kind == form::Kind::Link && code == STN_CLICKED)) return;
    const std::string_view name = control.name;
    if (name == "cmdHide") cmdHideClick();
    if (name == "cmdNeuEintrag") cmdNeuEintragClick();
    if (name == "cmdShow") cmdShowClick();
    if (name == "lblBI") lblBIClick();
}

bool DiaryWindow::Tab(bool back) {
    const HWND focus = ::GetFocus();
    if (!focus || ::GetParent(focus) != window_) return false;
    // From the form's table: a radio button keeps WS_TABSTOP only while it is checked.
    std::vector<HWND> stops;
    for (std::size_t row = 0; row < form::kControls.size(); ++row) {
        const form::Kind kind = form::kControls[row].kind;
        if (kind == form::Kind::Label || kind == form::Kind::AutoSizeLabel || kind == form::Kind::Link)
            continue;
        const HWND control = ::GetDlgItem(window_, kFirstId + static_cast<int>(row));
        if (::IsWindowVisible(control) && ::IsWindowEnabled(control)) stops.push_back(control);
    }
    const auto at = std::find(stops.begin(), stops.end(), focus);
    if (at == stops.end()) return false;
    const std::size_t i = static_cast<std::size_t>(at - stops.begin());
    const HWND next = stops[back ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size()];
    ::SetFocus(next);
    if (TextOf(next).size() > 0 && ::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        ::SendMessageW(next, EM_SETSEL, 0, -1);
    return true;
}

void DiaryWindow::Update() {
    const std::wstring text = WideOf(MakeClockText(platform::DesktopNow(), platform::DesktopWeekdays()));
    // An unchanged text must not cost a repaint: the clock sits on a desk all day.
    if (TextOf(lblZeit) != text) ::SetWindowTextW(lblZeit, text.c_str());
}

void DiaryWindow::cmdHideClick() {
    // The height is the mode: anything but the full height counts as not full.
    RECT client{};
    ::GetClientRect(window_, &client);
    const bool full = client.bottom - client.top == ::MulDiv(form::ClientHeight(form::kFullHeight), dpi_, 96);
    const SIZE size =
        full ? OuterSize(form::ClientWidth(form::kCompactWidth), form::ClientHeight(form::kCompactHeight))
             : OuterSize(form::ClientWidth(form::kFullWidth), form::ClientHeight(form::kFullHeight));
    ::SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowTextW(window_, (full ? kCompactCaption : kFullCaption).c_str());
}

void DiaryWindow::SelectLoudness(LoudnessLevel level) {
    for (std::size_t i = 0; i < options_.size(); ++i)
        ::SendMessageW(options_[i], BM_SETCHECK, static_cast<int>(i) == level ? BST_CHECKED : BST_UNCHECKED,
                       0);
}

LoudnessLevel DiaryWindow::SelectedLoudness() const {
    for (LoudnessLevel level : {1, 2, 3}) {
        if (::SendMessageW(options_[static_cast<std::size_t>(level)], BM_GETCHECK, 0, 0) == BST_CHECKED)
            return level;
    }
    return 0;
}

void DiaryWindow::cmdNeuEintragClick() {
    BusyCursor busy;
    try {
        const LocalDateTime now = platform::DesktopNow();
        const EntryInput input{Utf8Of(TextOf(txtMinuten)), SelectedLoudness(),
                               ::SendMessageW(chkLandung, BM_GETCHECK, 0, 0) == BST_CHECKED,
                               Utf8Of(TextOf(txtNotitz))};
        platform::RecordObservation(now, input, platform::DesktopWeekdays(), platform::ProgramFolder(),
                                    &platform::DesktopLocalAt);
        SelectLoudness(kDefaultLoudness);
        ::SetWindowTextW(txtNotitz, L"");
        ::SetWindowTextW(txtMinuten, L"0");
    } catch (const std::exception& failure) {
        ShowMessage("Runtime error '" + std::string(failure.what()) + "' in cmdNeuEintrag!");
    }
}

void DiaryWindow::cmdShowClick() {
    // The whole path quoted, so a folder with blanks stays one piece. Appended, not
    // prepended: g++ 12 at -O3 takes a prepend for an overlapping copy.
    std::string command(1, '"');
    command.append(ShownPath(LogPath(platform::ProgramFolder()))).append(1, '"');
    const std::string failure = platform::DesktopOpen(command);
    if (!failure.empty()) ShowMessage(failure);
}

void DiaryWindow::lblBIClick() {
    const std::string failure =
        platform::DesktopOpen("http:\\\\" + Utf8Of(TextOf(lblBI)) + "\\#Beschwerdemail");
    if (!failure.empty()) ShowMessage(failure);
}

void DiaryWindow::ShowMessage(const std::string& text) {
    ::MessageBoxW(window_, WideOf(text).c_str(), kFullCaption.c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace suelvan::windows
