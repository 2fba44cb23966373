// The report of a period under a night rule: one plain structure, rendered as CSV, JSON,
// PDF and in the window. Nothing else counts.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/day_table.h"
#include "core/diary_entry.h"
#include "core/diary_reader.h"
#include "core/night_rule.h"
#include "core/period.h"

namespace suelvan {

struct DayCounts {
    int entries = 0;
    int nightEntries = 0;
    int landings = 0;
    std::array<int, 4> levels{};
};

struct NightCounts {
    int entries = 0;
    int first = 0;  // minutes of day, earliest and latest in the night's own order
    int last = 0;
};

// A few bytes a day in a DayTable's log.
void Pack(std::string& out, const DayCounts& counts);
void Unpack(const char*& in, DayCounts& counts);
void Pack(std::string& out, const NightCounts& counts);
void Unpack(const char*& in, NightCounts& counts);

struct UnrecognisedLine {
    std::uint64_t line;
    std::string text;
};

struct Report {
    std::optional<int> from;  // the period as reported; empty with no entries and none given
    std::optional<int> to;
    NightRule night;
    DayCounts total;
    std::array<int, 24> hours{};
    DayTable<DayCounts> days;
    DayTable<NightCounts> nights;
    std::uint64_t undatedCount = 0;
    std::vector<std::uint64_t> undatedLines;  // the first kListedLines
    std::uint64_t unrecognisedCount = 0;
    std::vector<UnrecognisedLine> unrecognisedLines;
    std::vector<DiaryEntry> entries;  // the period's, by date and time, ties in file order; when kept
};

// Counts what the reader hands it. Memory grows with the days of the period, and with
// its entries only when they are kept.
class ReportBuilder {
   public:
    ReportBuilder(Period period, NightRule night, bool keepEntries);
    // Counts on into a finished report of the same period, as if its builder had gone on;
    // `firstDay` and `lastDay` as that builder told them.
    ReportBuilder(Report&& counted, Period period, std::optional<int> firstDay, std::optional<int> lastDay,
                  bool keepEntries);
    DiarySink Sink();
    void Add(DiaryEntry&& entry);
    // Whether it was of the period.
    bool Add(const DiaryEntry& entry);
    // Room for this many entries kept, when the caller can tell.
    void Reserve(std::size_t entries);
    void AddUndated(std::uint64_t line);
    void AddUnrecognised(std::uint64_t line, std::string text);
    // Counts on with what `later` counted of the lines after this one's, its line numbers
    // counted from `linesBefore` lines fewer: a large diary is counted in two parts at once.
    void Append(ReportBuilder&& later, std::uint64_t linesBefore);
    Report Finish();
    // The earliest and latest day of every entry handed over, of the period or not.
    std::optional<int> FirstDay() const { return firstDay_; }
    std::optional<int> LastDay() const { return lastDay_; }

   private:
    bool Count(const DiaryEntry& entry);  // false: not of the period

    Period period_;
    bool keepEntries_;
    Report report_;
    std::optional<int> firstDay_;
    std::optional<int> lastDay_;
    DayCounts* dayCounts_ = nullptr;  // of dayCountsOf_, in report_.days
    int dayCountsOf_ = 0;
    NightCounts* nightCounts_ = nullptr;
    int nightCountsOf_ = 0;
};

// Whether an entry is of the period: its dates, or its one night under the rule.
bool InPeriod(const DiaryEntry& entry, const Period& period, const NightRule& night);

// The report's entries counted again under another night rule over the same dates. The
// entries and the lines not counted move over as they are: their order is the rule's no
// more than their dates are.
Report Recount(Report&& held, const Period& period, const NightRule& night);
// A part of a report chosen to look at or complain about: a date, a night, an hour of the
// day.
struct Selection {
    enum class Kind { All, Date, Night, Hour };
    Kind kind = Kind::All;
    int value = 0;  // day number, the night's evening, hour

    friend bool operator==(const Selection&, const Selection&) = default;
};
bool Selects(const Selection& selection, const DiaryEntry& entry, const NightRule& night);
// The report of that part, its entries copied; a night's report spans the night's dates.
Report ReportOf(const Report& report, const Selection& selection);

// A bar of the per-date chart.
struct DateCount {
    int day;
    int entries;
};
// Every calendar day of the period (or from the first entry to the last), or only the days
// with entries where that spans more than `mostCalendarDays`.
enum class DateSpan { Period, Entries };
std::vector<DateCount> PerDate(const Report& report, int mostCalendarDays, DateSpan span = DateSpan::Period);

}  // namespace suelvan
