// One observation and the log line it becomes.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/calendar.h"

namespace suelvan {

// Index of the selected loudness option, 0 (quietest) to 3.
using LoudnessLevel = int;

constexpr LoudnessLevel kDefaultLoudness = 1;

struct LoudnessStep {
    std::string_view caption;  // UTF-8, as the option button shows it
    std::string_view toolTip;  // empty when the option has none
    std::string_view marker;   // appended to the entry time
};

inline constexpr std::array<LoudnessStep, 4> kLoudnessSteps{{
    {"störend", "bei geschlossenen Fenstern aber kaum mehr wahrnehmbar", ""},
    {"trotz geschlossener Fenster hörbar!", "", " !"},
    {"dröhnend/lang anhaltend!!", "", " !!"},
    {"Extrem laut - Fensterscheiben vibrieren!!!", "", " !!!"},
}};

struct EntryInput {
    std::string minutesText = "0";  // how long ago, as typed
    LoudnessLevel loudness = kDefaultLoudness;
    bool landing = false;
    std::string note;  // UTF-8, as typed
};

// "<time>[ !| !!| !!!][ Landung?] <note>". Line breaks in the note become blanks, so an
// entry stays one line and can never forge a day header.
std::string ComposeEntry(const LocalDateTime& entryTime, LoudnessLevel loudness, bool landing,
                         std::string_view note);

}  // namespace suelvan
