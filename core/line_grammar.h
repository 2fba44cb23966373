// The grammar of a diary line read back: a day header, or an entry. Lines are bytes as in
// the file; nothing here decodes text.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace suelvan {

// "Wochentag, T.M.JJJJ" (one word before the comma, trailing blanks allowed) naming a real
// date: its day number.
std::optional<int> ParseDayHeader(std::string_view line);

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
