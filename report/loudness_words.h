// The loudness levels in the report's words: a letter's, and the PDF's short column with
// its legend.
#pragma once

#include <array>
#include <string_view>

namespace suelvan::report {

inline constexpr std::array<std::string_view, 4> kLetterWords{
    "störend",
    "trotz geschlossener Fenster hörbar",
    "dröhnend oder lang anhaltend",
    "extrem laut, Fensterscheiben vibrieren",
};

inline constexpr std::array<std::string_view, 4> kShortLevels{"störend", "hörbar", "dröhnend", "extrem"};

}  // namespace suelvan::report
