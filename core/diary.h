// Reading the diary back, tolerant of hand edits, and the report of a period under a
// night rule: plain values that remember their line, counted in one streaming pass.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace suelvan {

// An entry's note, UTF-8, held as one pointer (none when empty): half a million entries
// read without their notes stay small.
class Note {
   public:
    Note() = default;
    explicit Note(std::string text)
        : text_(text.empty() ? nullptr : std::make_unique<const std::string>(std::move(text))) {}
    explicit Note(const char* text) : Note(std::string(text)) {}
    Note(const Note& other) : Note(std::string(other.view())) {}
    Note(Note&&) noexcept = default;
    Note& operator=(const Note& other) { return *this = Note(other); }
    Note& operator=(Note&&) noexcept = default;

    std::string_view view() const { return text_ ? std::string_view(*text_) : std::string_view(); }
    operator std::string_view() const { return view(); }  // implicit: used as text
    bool empty() const { return !text_; }
    friend bool operator==(const Note& a, const Note& b) { return a.view() == b.view(); }
    friend bool operator==(const Note& a, std::string_view b) { return a.view() == b; }

   private:
    std::unique_ptr<const std::string> text_;
};

struct DiaryEntry {
    int day = 0;              // day number (days since 1970-01-01) of the date it is filed under
    std::int16_t minute = 0;  // 0..1439
    std::int8_t level = 0;    // 0..3
    bool landing = false;
    Note note;  // empty unless notes are kept
    std::uint64_t line = 0;
    // Where the note's bytes are in the file, kept or not: a window can fetch the notes
    // it shows instead of holding every one.
    std::uint64_t noteOffset = 0;
    std::uint64_t noteBytes = 0;
};

// What the reader sees, line by line; the callbacks may be left empty.
struct DiarySink {
    std::function<void(DiaryEntry&&)> entry;
    std::function<void(std::uint64_t line)> undated;
    // The line's first 200 code points, UTF-8.
    std::function<void(std::uint64_t line, std::string text)> unrecognised;
};

// Splits bytes fed in pieces into lines (CR LF, LF, CR), recognises day headers and
// entries, and dates entries back-dated across midnight. Never fails on content; memory
// is one line (kept whole only where a note is wanted) plus the afternoon entries of
// the current section that a later entry may still move to the day before.
struct Period;

class DiaryReader {
   public:
    DiaryReader(DiarySink sink, bool keepNotes);
    // Only entries filed under the period's days (a day more for back-dating) are handed
    // on with their notes: a month is read out of decades without decoding every note.
    // When the period has no open end, entries filed elsewhere are only recognised as
    // such, not parsed further nor handed on.
    void LimitTo(const Period& period);
    void Feed(std::string_view bytes);
    void Finish();

   private:
    void EndLine();
    void Line(std::string_view bytes, bool cut);
    void EndSection();
    void Emit(DiaryEntry& entry, bool dayBefore);  // moves it to the sink

    DiarySink sink_;
    bool keepNotes_;
    std::optional<int> notesFrom_;
    std::optional<int> notesTo_;
    bool closed_ = false;    // the period has both ends: other sections are skipped
    bool skipping_ = false;  // the current section is outside it
    std::string line_;
    bool cut_ = false;       // line_ holds only the start of a longer line
    bool afterCr_ = false;   // the last byte fed was a CR: an LF next belongs to it
    bool started_ = false;   // a byte-order mark is looked for only at the very start
    bool lineOpen_ = false;  // bytes since the last line end
    std::uint64_t lineNumber_ = 0;
    std::uint64_t fed_ = 0;         // bytes fed before the current piece
    std::uint64_t lineStart_ = 0;   // file offset of the line being read
    std::uint64_t lineLength_ = 0;  // its bytes so far, also those not kept
    std::optional<int> sectionDay_;
    std::vector<DiaryEntry> pending_;  // this section's entries after 12:00, not yet dated
    int unrecognisedShown_ = 0;
};

// Bytes of a line looked at by the reader: a day header's date, or an entry.
std::optional<int> ParseDayHeader(std::string_view line);
struct ParsedEntry {
    int minute;
    int level;
    bool landing;
    std::size_t noteAt;  // offset of the note in the line; npos-free: size() when none
};
std::optional<ParsedEntry> ParseEntryLine(std::string_view line);

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
// "HH:MM"
std::string ClockText(int minute);

struct Period {
    std::optional<int> from;  // day numbers, inclusive
    std::optional<int> to;
    std::optional<int> night;  // only the entries of this night (named by its evening)
};

// The report window's quick choices of a period.
enum class QuickPeriod { LastNight, LastSevenDays, ThisMonth, LastMonth, ThisYear, Everything };
// The period a quick choice means on `today` at `minute` under `night`.
Period PeriodOf(QuickPeriod choice, int today, int minute, const NightRule& night);
// The most recent night under the rule that has begun by `minute` of `today`.
int LastNight(const NightRule& night, int today, int minute);

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

struct UnrecognisedLine {
    std::uint64_t line;
    std::string text;
};

inline constexpr std::size_t kListedLines = 100;
inline constexpr std::size_t kShownCodePoints = 200;

// One struct, rendered as CSV, JSON, PDF and in the window; nothing re-counts.
struct Report {
    std::optional<int> from;  // the period as reported; empty with no entries and none given
    std::optional<int> to;
    NightRule night;
    DayCounts total;
    std::array<int, 24> hours{};
    std::map<int, DayCounts> days;
    std::map<int, NightCounts> nights;
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
    DiarySink Sink();
    void Add(DiaryEntry&& entry);
    void Add(const DiaryEntry& entry);
    // Room for this many entries kept, when the caller can tell.
    void Reserve(std::size_t entries);
    void AddUndated(std::uint64_t line);
    void AddUnrecognised(std::uint64_t line, std::string text);
    Report Finish();

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

// The German weekday name of a day number: the report's own, not the header's.
std::string_view GermanWeekday(int day);

// The CSV of the report's entries, UTF-8 with byte-order mark, ';' separated, CR LF.
std::string CsvHeader();
std::string CsvRow(const DiaryEntry& entry, const NightRule& night);
// The header and a row per entry, in the order given.
std::string CsvText(const std::vector<DiaryEntry>& entries, const NightRule& night);
// The same in blocks, so a large CSV can be written while the rest is made.
class CsvWriter {
   public:
    // The note of an entry read without notes, UTF-8; valid until it is asked again.
    using NoteOf = std::function<std::string_view(const DiaryEntry&)>;
    CsvWriter(const std::vector<DiaryEntry>& entries, const NightRule& night, NoteOf noteOf = {});
    ~CsvWriter();
    // Appends rows to `block` until it holds `bytes`; false once every row is out.
    bool Next(std::string& block, std::size_t bytes);

   private:
    struct Dates;
    const std::vector<DiaryEntry>& entries_;
    NightRule night_;
    NoteOf noteOf_;
    std::unique_ptr<Dates> dates_;
    std::size_t next_ = 0;
    bool headerDone_ = false;
};

}  // namespace suelvan
