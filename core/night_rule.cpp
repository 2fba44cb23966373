#include "core/night_rule.h"

#include "core/line_grammar.h"

namespace suelvan {

std::optional<NightRule> ParseNightRule(std::string_view text) {
    std::size_t pos = 0;
    const int start = ParseClock(text, pos);
    if (start < 0 || pos >= text.size() || text[pos++] != '-') return std::nullopt;
    const int end = ParseClock(text, pos);
    if (end < 0 || pos != text.size() || start == end) return std::nullopt;
    return NightRule{start, end};
}

}  // namespace suelvan
