// The night rule: which minutes of the day count as night, and which night they belong to.
#pragma once

#include <optional>
#include <string_view>

namespace suelvan {

inline constexpr int kHalfDay = 12 * 60;

// A night window, start included, end excluded; it may span midnight.
struct NightRule {
    int start = 22 * 60;
    int end = 6 * 60;
    bool Contains(int minute) const;
    // Day number of the evening the night belongs to.
    int NightOf(int day, int minute) const;
    // Minutes since the night began, for ordering within a night.
    int SinceStart(int minute) const;
};

// "H:MM-H:MM"; nothing for a malformed or empty window.
std::optional<NightRule> ParseNightRule(std::string_view text);

}  // namespace suelvan
