// The diary window as designed: every control with its name, kind, text, tool tip and
// place in twips, in tab order, and the sizes of the two modes. Free of any toolkit, so
// each system's window builds its controls from the same table.
#pragma once

#include <array>
#include <string_view>

#include "core/entry.h"

namespace suelvan::form {

enum class Kind { CommandButton, OptionButton, CheckBox, TextBox, Label, AutoSizeLabel, Link };

struct Control {
    std::string_view name;
    Kind kind;
    std::string_view text;
    int left, top, width, height;  // twips, in the client area
    int optionIndex = -1;          // the loudness level of an option button
    std::string_view toolTip = {};
    std::string_view accessibleName = {};  // where the text does not say what it is
};

// The loudness options form one group of that name.
inline constexpr std::string_view kLoudnessName = "optLautstaerke";

inline constexpr std::array<Control, 15> kControls{{
    {"cmdNeuEintrag", Kind::CommandButton, "Eintrag erstellen", 630, 870, 1335, 765},
    {kLoudnessName, Kind::OptionButton, kLoudnessSteps[1].caption, 2490, 1065, 2055, 315, 1},
    {kLoudnessName, Kind::OptionButton, kLoudnessSteps[2].caption, 2490, 1530, 2055, 345, 2},
    {kLoudnessName, Kind::OptionButton, kLoudnessSteps[3].caption, 2490, 2040, 2625, 420, 3},
    {"chkLandung", Kind::CheckBox, "Landung", 630, 1935, 1395, 285},
    {"txtNotitz", Kind::TextBox, "", 630, 2730, 3765, 360, -1, {}, "Notitz"},
    {"Label1", Kind::Label, "Notitz:", 780, 2400, 765, 315},
    {kLoudnessName, Kind::OptionButton, kLoudnessSteps[0].caption, 2490, 630, 2055, 315, 0,
     kLoudnessSteps[0].toolTip},
    {"lblZeit", Kind::Label, "Zeitanzeige", 630, 195, 2475, 315},
    {"cmdShow", Kind::CommandButton, "Logging öffnen", 645, 4125, 1335, 765},
    {"lblBI", Kind::Link, "www.bi-tarnwiel.de\\tarnwiel", 2235, 4395, 2595, 300, -1,
     "Beschwerdelink BI Tarnwiel gegen Sülvan"},
    {"cmdHide", Kind::CommandButton, "", 240, 195, 225, 255, -1, {}, "Kompakte Uhr ein- oder ausschalten"},
    {"Label2", Kind::AutoSizeLabel, "bereits vor:", 705, 3435, 780, 195},
    {"txtMinuten", Kind::TextBox, "0", 1605, 3367, 345, 330, -1,
     "Minuten werden von der aktuellen Zeit abgerechnet", "bereits vor … Minuten"},
    {"Label3", Kind::AutoSizeLabel, "Minuten", 2040, 3435, 570, 195},
}};

// The window was designed in twips with the classic window frame.
inline constexpr int kTwipsPerPixel = 15;  // at 96 DPI
inline constexpr int kFrameSides = 2 * 60;
inline constexpr int kFrameTopAndBottom = 345 + 60;

// Outer sizes in twips of the two modes.
inline constexpr int kFullWidth = 5445;
inline constexpr int kFullHeight = 5700;
inline constexpr int kCompactWidth = 3000;
inline constexpr int kCompactHeight = 1000;

constexpr int Pixels(int twips) { return (twips * 2 + kTwipsPerPixel) / (2 * kTwipsPerPixel); }
constexpr int ClientWidth(int outerWidthTwips) { return Pixels(outerWidthTwips - kFrameSides); }
constexpr int ClientHeight(int outerHeightTwips) { return Pixels(outerHeightTwips - kFrameTopAndBottom); }
constexpr int OuterHeightTwips(int clientHeight) {
    return clientHeight * kTwipsPerPixel + kFrameTopAndBottom;
}

static_assert(ClientWidth(kFullWidth) == 355 && ClientHeight(kFullHeight) == 353);
static_assert(ClientWidth(kCompactWidth) == 192 && ClientHeight(kCompactHeight) == 40);
static_assert(OuterHeightTwips(ClientHeight(kFullHeight)) == kFullHeight);

}  // namespace suelvan::form
