#include "core/line_grammar.h"

#include <algorithm>

#include "core/calendar.h"

namespace suelvan {

std::optional<HeaderLine> ParseHeaderLine(std::string_view line, const std::vector<std::string>& weekdays) {
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    const std::size_t comma = line.find(", ");
    if (comma == 0 || comma == std::string_view::npos) return std::nullopt;
    const std::string_view weekday = line.substr(0, comma);
    const bool oneWord = weekday.find_first_of("0123456789 ,") == std::string_view::npos;
    if (!oneWord && std::find(weekdays.begin(), weekdays.end(), weekday) == weekdays.end())
        return std::nullopt;
    // Day, month and year: digits between the dots, of any length, to tell a date that
    // does not exist from a line that is no header.
    std::size_t pos = comma + 2;
    std::string_view parts[3];  // day, month, year
    int values[3] = {};
    for (int part = 0; part < 3; ++part) {
        if (part > 0 && (pos >= line.size() || line[pos++] != '.')) return std::nullopt;
        const std::size_t start = pos;
        while (pos < line.size() && IsDigit(line[pos])) {
            if (pos - start < 6) values[part] = values[part] * 10 + (line[pos] - '0');
            ++pos;
        }
        parts[part] = line.substr(start, pos - start);
        if (parts[part].empty()) return std::nullopt;
    }
    if (pos != line.size()) return std::nullopt;
    const bool exists = parts[0].size() <= 2 && parts[1].size() <= 2 && parts[2].size() >= 3 &&
                        parts[2].size() <= 4 && parts[2][0] != '0' &&
                        IsCalendarDate(values[2], values[1], values[0]);
    if (!exists) return HeaderLine{};
    return HeaderLine{DayNumber(values[2], values[1], values[0])};
}

std::optional<int> ParseDayHeader(std::string_view line, const std::vector<std::string>& weekdays) {
    const std::optional<HeaderLine> header = ParseHeaderLine(line, weekdays);
    return header ? header->day : std::nullopt;
}

}  // namespace suelvan
