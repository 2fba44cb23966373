#include "core/night_rule.h"

#include "core/line_grammar.h"

namespace suelvan {

bool NightRule::Contains(int minute) const {
    return start < end ? minute >= start && minute < end : minute >= start || minute < end;
}

int NightRule::NightOf(int day, int minute) const {
    const int startDay = start > end && minute < end ? day - 1 : day;
    return start < kHalfDay ? startDay - 1 : startDay;
}

int NightRule::SinceStart(int minute) const { return (minute - start + 24 * 60) % (24 * 60); }

std::optional<NightRule> ParseNightRule(std::string_view text) {
    std::size_t pos = 0;
    const int start = ParseClock(text, pos);
    if (start < 0 || pos >= text.size() || text[pos++] != '-') return std::nullopt;
    const int end = ParseClock(text, pos);
    if (end < 0 || pos != text.size() || start == end) return std::nullopt;
    return NightRule{start, end};
}

}  // namespace suelvan
