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
    // Inline: asked for every entry counted.
    bool Contains(int minute) const {
        return start < end ? minute >= start && minute < end : minute >= start || minute < end;
    }
    // Day number of the evening the night belongs to.
    int NightOf(int day, int minute) const {
        const int startDay = start > end && minute < end ? day - 1 : day;
        return start < kHalfDay ? startDay - 1 : startDay;
    }
    // Minutes since the night began, for ordering within a night.
    int SinceStart(int minute) const { return (minute - start + 24 * 60) % (24 * 60); }
};

// "H:MM-H:MM"; nothing for a malformed or empty window.
std::optional<NightRule> ParseNightRule(std::string_view text);

}  // namespace suelvan
