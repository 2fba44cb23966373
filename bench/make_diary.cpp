// Writes a realistic diary of about the given size: days from 1.1.2000 on, 5 to 60
// entries a day at random times, in the program's own bytes. With "long", the notes are
// those of a resident who writes whole sentences: some 43 bytes a line, 350 000 entries
// in 15 MB, where the short notes give half a million.
// Usage: make_diary BYTES FILE [long]
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "core/day_header.h"
#include "core/encoding.h"
#include "core/entry.h"
#include "core/minutes.h"

using namespace suelvan;

int main(int argc, char* argv[]) {
    if (argc != 3 && !(argc == 4 && std::string(argv[3]) == "long")) {
        std::cerr << "usage: make_diary BYTES FILE [long]\n";
        return 2;
    }
    const std::uint64_t bytes = std::strtoull(argv[1], nullptr, 10);
    std::ofstream out(argv[2], std::ios::binary);
    const WeekdayNames names{"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
    const char* const notes[] = {"Tief über dem Dach",
                                 "",
                                 "Nachtflug, sehr laut",
                                 "wieder Umkehrschub",
                                 "Fenster geschlossen, trotzdem hörbar",
                                 "Mittagsruhe gestört",
                                 "x"};
    const char* const longNotes[] = {"Tief über dem Dach, Fenster vibrieren",
                                     "",
                                     "Nachtflug, aus dem Schlaf gerissen",
                                     "wieder Umkehrschub bei der Landung",
                                     "Fenster zu, trotzdem deutlich hörbar",
                                     "Mittagsruhe gestört, Kind wach",
                                     "der dritte in zehn Minuten"};
    const char* const* const shown = argc == 4 ? longNotes : notes;
    std::mt19937 random(1);
    std::uint64_t written = 0;
    std::string section;
    std::vector<int> minutes;
    for (int day = DayNumber(2000, 1, 1); written < bytes; ++day) {
        const CalendarDate d = DateOfDayNumber(day);
        const LocalDateTime date{d.year, d.month, d.day, 0, 0, 0};
        section = "\r\n" + EncodeWindows1252(MakeDayHeader(date, names)) + "\r\n";
        minutes.resize(5 + random() % 56);
        for (int& m : minutes) m = static_cast<int>(random() % 1440);
        std::sort(minutes.begin(), minutes.end());
        for (const int m : minutes) {
            const LocalDateTime at{d.year, d.month, d.day, m / 60, m % 60, 0};
            section += EncodeWindows1252(ComposeEntry(at, static_cast<int>(random() % 4), random() % 3 == 0,
                                                      shown[random() % 7])) +
                       "\r\n";
        }
        out << section;
        written += section.size();
    }
    return out ? 0 : 1;
}
