// The grammar of a diary line read back: a day header, or an entry. Lines are bytes as in
// the file; nothing here decodes text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace suelvan {

// "Wochentag, T.M.JJJJ": a weekday, a comma and a blank, day, month and year, trailing
// blanks allowed. The weekday is one word without digits, in any language, or one of
// `weekdays` as they stand in the file (the desktop's names, which may have two words or
// a '?' for a letter Windows-1252 lacks).
struct HeaderLine {
    // Empty for a line shaped like a header whose date does not exist (31.11., a year of
    // two or five digits): its entries have no date.
    std::optional<int> day;
};
std::optional<HeaderLine> ParseHeaderLine(std::string_view line,
                                          const std::vector<std::string>& weekdays = {});
// The day number of a header naming a real date.
std::optional<int> ParseDayHeader(std::string_view line, const std::vector<std::string>& weekdays = {});

struct ParsedEntry {
    int minute;
    int level;
    bool landing;
    std::size_t noteAt;  // offset of the note in the line; npos-free: size() when none
};
// "H:MM[ !| !!| !!!][ Landung?][ note]"
std::optional<ParsedEntry> ParseEntryLine(std::string_view line);

// "H:MM" or "HH:MM" at `pos`, hour 0..23, as minutes of the day, `pos` moved past it;
// -1 when there is none.
int ParseClock(std::string_view s, std::size_t& pos);

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace suelvan
