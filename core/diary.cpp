#include "core/diary.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/encoding.h"
#include "core/entry.h"
#include "core/texts.h"

namespace suelvan {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A longer line is kept whole only when it is an entry whose note is wanted.
constexpr std::size_t kKeptPrefix = 64 * 1024;
constexpr int kHalfDay = 12 * 60;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..maxDigits digits at `pos`; nothing when there are none.
std::optional<int> Digits(std::string_view s, std::size_t& pos, std::size_t minDigits,
                          std::size_t maxDigits) {
    std::size_t n = 0;
    int value = 0;
    while (pos + n < s.size() && n < maxDigits && IsDigit(s[pos + n]))
        value = value * 10 + (s[pos + n++] - '0');
    if (n < minDigits) return std::nullopt;
    pos += n;
    return value;
}

// "H:MM" or "HH:MM" at `pos`, hour 0..23, as minutes of the day; -1 when there is none.
// Every diary line starts here, so it is written without loops.
int ClockAt(std::string_view s, std::size_t& pos) {
    const std::size_t n = s.size() - pos;
    const char* c = s.data() + pos;
    if (n < 4 || !IsDigit(c[0])) return -1;
    int hour = c[0] - '0';
    std::size_t at = 1;
    if (c[1] != ':') {
        if (!IsDigit(c[1]) || n < 5 || c[2] != ':') return -1;
        hour = hour * 10 + (c[1] - '0');
        at = 2;
    }
    if (hour > 23 || !IsDigit(c[at + 1]) || !IsDigit(c[at + 2]) || c[at + 1] > '5') return -1;
    pos += at + 3;
    return hour * 60 + (c[at + 1] - '0') * 10 + (c[at + 2] - '0');
}

// How many '!' follow the blank at `pos` as a word of their own: 1..3, else 0. The
// levels come in no order, so the usual case is counted without a branch to mispredict.
int MarkerAt(std::string_view s, std::size_t pos) {
    if (pos + 5 < s.size()) {
        std::uint32_t word;
        std::memcpy(&word, s.data() + pos + 1, 4);
        // 0x80 in each byte that is '!', exactly (no borrow between the bytes).
        const std::uint32_t x = word ^ 0x21212121u;
        const std::uint32_t bang = ~(((x & 0x7F7F7F7Fu) + 0x7F7F7F7Fu) | x | 0x7F7F7F7Fu);
        const std::uint32_t other = ~bang & 0x80808080u;
        const int n = (std::endian::native == std::endian::little ? std::countr_zero(other)
                                                                  : std::countl_zero(other)) >>
                      3;
        const bool wordEnds = s[pos + 1 + static_cast<std::size_t>(n)] == ' ';
        return (n <= 3 && wordEnds) ? n : 0;
    }
    std::size_t n = 0;
    while (n < 4 && pos + 1 + n < s.size() && s[pos + 1 + n] == '!') ++n;
    const std::size_t end = pos + 1 + n;
    return n <= 3 && (end == s.size() || s[end] == ' ') ? static_cast<int>(n) : 0;
}

// Whether "Landung?" follows the blank at `pos` as a word of its own.
bool LandingAt(std::string_view s, std::size_t pos) {
    constexpr std::size_t kLength = 8;
    const std::size_t end = pos + 1 + kLength;
    if (end > s.size()) return false;
    std::uint64_t word;
    std::uint64_t landing;
    std::memcpy(&word, s.data() + pos + 1, kLength);
    std::memcpy(&landing, "Landung?", kLength);
    return (word == landing) & (end == s.size() || s[end] == ' ');
}

// Where the next CR or LF is, 64 bytes at a time: a diary line is a few dozen bytes, so a
// library search per line spends more on starting than on searching.
class LineEnds {
   public:
    LineEnds(const char* data, std::size_t size) : data_(data), size_(size) { Load(0); }

    // The first CR or LF at or after `pos`; size() when there is none.
    std::size_t Next(std::size_t pos) {
        if (pos >= base_ + 64) Load(pos & ~std::size_t{63});
        std::uint64_t mask = pos - base_ < 64 ? mask_ & (~std::uint64_t{0} << (pos - base_)) : 0;
        while (mask == 0) {
            if (base_ + 64 >= size_) return size_;
            Load(base_ + 64);
            mask = mask_;
        }
        return base_ + static_cast<std::size_t>(std::countr_zero(mask));
    }

   private:
    void Load(std::size_t base) {
        base_ = base;
        mask_ = 0;
        const std::size_t n = std::min<std::size_t>(64, size_ - base);
#if defined(__SSE2__)
        if (n == 64) {
            const __m128i lf = _mm_set1_epi8('\n');
            const __m128i cr = _mm_set1_epi8('\r');
            for (int i = 0; i < 4; ++i) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data_ + base + 16 * i));
                const auto bits = static_cast<std::uint32_t>(
                    _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
                mask_ |= std::uint64_t{bits} << (16 * i);
            }
            return;
        }
#endif
        for (std::size_t i = 0; i < n; ++i) {
            const char c = data_[base + i];
            if (c == '\n' || c == '\r') mask_ |= std::uint64_t{1} << i;
        }
    }

    const char* data_;
    std::size_t size_;
    std::size_t base_ = 0;
    std::uint64_t mask_ = 0;
};

// A CSV field: quoted where it holds a separator, a quote or a line break.
void AppendField(std::string& out, std::string_view text) {
    // One pass: find_first_of looks each byte up in the set with a call of its own.
    const bool quoted = std::any_of(text.begin(), text.end(),
                                    [](char c) { return c == ';' || c == '"' || c == '\r' || c == '\n'; });
    if (!quoted) {
        out.append(text);
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendNumber(std::string& out, std::uint64_t n) {
    char digits[20];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

}  // namespace

std::optional<int> ParseDayHeader(std::string_view line) {
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    const std::size_t comma = line.find(',');
    if (comma == 0 || comma == std::string_view::npos || comma + 1 >= line.size() || line[comma + 1] != ' ') {
        return std::nullopt;
    }
    for (const char c : line.substr(0, comma)) {
        if (IsDigit(c) || c == ' ') return std::nullopt;
    }
    std::size_t pos = comma + 2;
    const auto day = Digits(line, pos, 1, 2);
    if (!day || pos >= line.size() || line[pos++] != '.') return std::nullopt;
    const auto month = Digits(line, pos, 1, 2);
    if (!month || pos >= line.size() || line[pos++] != '.') return std::nullopt;
    if (pos >= line.size() || line[pos] == '0') return std::nullopt;
    const auto year = Digits(line, pos, 3, 4);
    if (!year || pos != line.size() || !IsCalendarDate(*year, *month, *day)) return std::nullopt;
    return DayNumber(*year, *month, *day);
}

std::optional<ParsedEntry> ParseEntryLine(std::string_view line) {
    std::size_t pos = 0;
    const int minute = ClockAt(line, pos);
    if (minute < 0) return std::nullopt;
    ParsedEntry entry{minute, 0, false, line.size()};
    if (pos == line.size()) return entry;
    if (line[pos] != ' ') return std::nullopt;
    entry.level = MarkerAt(line, pos);
    if (entry.level > 0) pos += 1 + static_cast<std::size_t>(entry.level);
    if (pos < line.size() && LandingAt(line, pos)) {
        entry.landing = true;
        pos += 9;
    }
    entry.noteAt = pos < line.size() ? pos + 1 : line.size();
    return entry;
}

DiaryReader::DiaryReader(DiarySink sink, bool keepNotes) : sink_(std::move(sink)), keepNotes_(keepNotes) {}

void DiaryReader::LimitTo(const Period& period) {
    notesFrom_ = period.from;
    notesTo_ = period.to;
    // A night's entries stand under its evening's date and the day after.
    if (period.night) {
        notesFrom_ = *period.night;
        notesTo_ = *period.night + 1;
    }
    closed_ = notesFrom_ && notesTo_;
}

void DiaryReader::Feed(std::string_view bytes) {
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    LineEnds ends(data, size);
    std::size_t pos = 0;
    while (pos < size) {
        if (afterCr_) {
            afterCr_ = false;
            if (data[pos] == '\n') {
                ++pos;
                continue;
            }
        }
        if (!lineOpen_) {
            lineStart_ = fed_ + pos;
            lineLength_ = 0;
        }
        const std::size_t stop = ends.Next(pos);
        const std::string_view piece(data + pos, stop - pos);
        lineLength_ += piece.size();
        if (stop == size) {  // the line goes on in the next piece
            if (line_.size() < kKeptPrefix || (keepNotes_ && ParseEntryLine(line_))) {
                line_.append(piece);
            } else {
                cut_ = true;
            }
            lineOpen_ = true;
            fed_ += size;
            return;
        }
        if (!lineOpen_) {
            ++lineNumber_;
            Line(piece, false);
        } else {
            if (!cut_) line_.append(piece);
            ++lineNumber_;
            Line(line_, cut_);
            line_.clear();
            cut_ = false;
            lineOpen_ = false;
        }
        afterCr_ = data[stop] == '\r';
        pos = stop + 1;
    }
    fed_ += size;
}

void DiaryReader::Finish() {
    if (lineOpen_) {
        ++lineNumber_;
        Line(line_, cut_);
        line_.clear();
        cut_ = false;
        lineOpen_ = false;
    }
    EndSection();
}

void DiaryReader::Line(std::string_view bytes, bool cut) {
    std::uint64_t start = lineStart_;
    std::uint64_t length = lineLength_;
    if (lineNumber_ == 1 && bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
        start += kByteOrderMark.size();
        length -= kByteOrderMark.size();
    }
    if (!bytes.empty() && IsDigit(bytes[0])) {
        if (skipping_) {
            // Only whether it is an entry: the time, then a blank or the end.
            std::size_t pos = 0;
            if (ClockAt(bytes, pos) >= 0 && (pos == bytes.size() || bytes[pos] == ' ')) return;
        } else if (const auto parsed = ParseEntryLine(bytes)) {
            if (!sectionDay_) {
                if (sink_.undated) sink_.undated(lineNumber_);
                return;
            }
            DiaryEntry entry{*sectionDay_,
                             static_cast<std::int16_t>(parsed->minute),
                             static_cast<std::int8_t>(parsed->level),
                             parsed->landing,
                             {},
                             lineNumber_,
                             start + parsed->noteAt,
                             length - parsed->noteAt};
            const bool noteWanted = keepNotes_ && (!notesFrom_ || *sectionDay_ >= *notesFrom_) &&
                                    (!notesTo_ || *sectionDay_ <= *notesTo_ + 1);
            if (noteWanted) entry.note = Note(DecodeDiaryLine(bytes.substr(parsed->noteAt), cut));
            // Entries more than half a day later than this one were heard before midnight.
            while (!pending_.empty() && pending_.back().minute - entry.minute > kHalfDay) {
                Emit(pending_.back(), true);
                pending_.pop_back();
            }
            if (entry.minute <= kHalfDay) {
                Emit(entry, false);
            } else {
                // Kept sorted by minute, so the ones a later entry moves are at the back;
                // in a diary written in order a new one goes there too.
                const auto at =
                    pending_.empty() || pending_.back().minute <= entry.minute
                        ? pending_.end()
                        : std::upper_bound(pending_.begin(), pending_.end(), entry.minute,
                                           [](int m, const DiaryEntry& e) { return m < e.minute; });
                pending_.insert(at, std::move(entry));
            }
            return;
        }
    } else if (bytes.find_first_not_of(' ') == std::string_view::npos) {
        return;
    } else if (const auto day = ParseDayHeader(bytes)) {
        EndSection();
        sectionDay_ = day;
        skipping_ = closed_ && (*day < *notesFrom_ || *day > *notesTo_ + 1);
        return;
    }
    if (!sink_.unrecognised) return;
    std::string text;
    if (unrecognisedShown_ < static_cast<int>(kListedLines)) {
        ++unrecognisedShown_;
        text =
            FirstCodePoints(DecodeDiaryLine(bytes.substr(0, kShownCodePoints * 4), true), kShownCodePoints);
    }
    sink_.unrecognised(lineNumber_, std::move(text));
}

void DiaryReader::EndSection() {
    for (DiaryEntry& entry : pending_) Emit(entry, false);
    pending_.clear();
}

void DiaryReader::Emit(DiaryEntry& entry, bool dayBefore) {
    if (dayBefore) --entry.day;
    if (sink_.entry) sink_.entry(std::move(entry));
}

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
    const int start = ClockAt(text, pos);
    if (start < 0 || pos >= text.size() || text[pos++] != '-') return std::nullopt;
    const int end = ClockAt(text, pos);
    if (end < 0 || pos != text.size() || start == end) return std::nullopt;
    return NightRule{start, end};
}

int LastNight(const NightRule& night, int today, int minute) {
    // A night named N begins on day N, or on N + 1 when it begins before noon.
    const int beginsOn = night.start < kHalfDay ? 1 : 0;
    const int startedToday = today - beginsOn;
    return minute >= night.start ? startedToday : startedToday - 1;
}

Period PeriodOf(QuickPeriod choice, int today, int minute, const NightRule& night) {
    const CalendarDate date = DateOfDayNumber(today);
    const int monthStart = DayNumber(date.year, date.month, 1);
    switch (choice) {
        case QuickPeriod::LastNight: return {std::nullopt, std::nullopt, LastNight(night, today, minute)};
        case QuickPeriod::LastSevenDays: return {today - 6, today, std::nullopt};
        case QuickPeriod::ThisMonth: {
            const int next =
                date.month == 12 ? DayNumber(date.year + 1, 1, 1) : DayNumber(date.year, date.month + 1, 1);
            return {monthStart, next - 1, std::nullopt};
        }
        case QuickPeriod::LastMonth: {
            const CalendarDate before = DateOfDayNumber(monthStart - 1);
            return {DayNumber(before.year, before.month, 1), monthStart - 1, std::nullopt};
        }
        case QuickPeriod::ThisYear:
            return {DayNumber(date.year, 1, 1), DayNumber(date.year, 12, 31), std::nullopt};
        case QuickPeriod::Everything: break;
    }
    return {};
}

std::string ClockText(int minute) {
    return {static_cast<char>('0' + minute / 600), static_cast<char>('0' + minute / 60 % 10), ':',
            static_cast<char>('0' + minute % 60 / 10), static_cast<char>('0' + minute % 10)};
}

ReportBuilder::ReportBuilder(Period period, NightRule night, bool keepEntries)
    : period_(period), keepEntries_(keepEntries) {
    report_.night = night;
}

void ReportBuilder::Reserve(std::size_t entries) {
    if (keepEntries_) report_.entries.reserve(entries);
}

DiarySink ReportBuilder::Sink() {
    return {[this](DiaryEntry&& e) { Add(std::move(e)); }, [this](std::uint64_t line) { AddUndated(line); },
            [this](std::uint64_t line, std::string text) { AddUnrecognised(line, std::move(text)); }};
}

void ReportBuilder::Add(DiaryEntry&& e) {
    if (Count(e) && keepEntries_) report_.entries.push_back(std::move(e));
}

void ReportBuilder::Add(const DiaryEntry& e) {
    if (Count(e) && keepEntries_) report_.entries.push_back(e);
}

bool ReportBuilder::Count(const DiaryEntry& e) {
    firstDay_ = std::min(firstDay_.value_or(e.day), e.day);
    lastDay_ = std::max(lastDay_.value_or(e.day), e.day);
    if ((period_.from && e.day < *period_.from) || (period_.to && e.day > *period_.to)) return false;
    const bool atNight = report_.night.Contains(e.minute);
    if (period_.night && (!atNight || report_.night.NightOf(e.day, e.minute) != *period_.night)) return false;
    // Entries come day by day: the map is searched once per day, not per entry.
    if (!dayCounts_ || dayCountsOf_ != e.day) {
        dayCounts_ = &report_.days[e.day];
        dayCountsOf_ = e.day;
    }
    for (DayCounts* counts : {&report_.total, dayCounts_}) {
        ++counts->entries;
        counts->nightEntries += atNight;
        counts->landings += e.landing;
        ++counts->levels[static_cast<std::size_t>(e.level)];
    }
    ++report_.hours[static_cast<std::size_t>(e.minute / 60)];
    if (atNight) {
        const int named = report_.night.NightOf(e.day, e.minute);
        if (!nightCounts_ || nightCountsOf_ != named) {
            nightCounts_ = &report_.nights[named];
            nightCountsOf_ = named;
        }
        NightCounts& night = *nightCounts_;
        const int since = report_.night.SinceStart(e.minute);
        if (night.entries == 0 || since < report_.night.SinceStart(night.first)) night.first = e.minute;
        if (night.entries == 0 || since > report_.night.SinceStart(night.last)) night.last = e.minute;
        ++night.entries;
    }
    return true;
}

void ReportBuilder::AddUndated(std::uint64_t line) {
    if (report_.undatedCount++ < kListedLines) report_.undatedLines.push_back(line);
}

void ReportBuilder::AddUnrecognised(std::uint64_t line, std::string text) {
    if (report_.unrecognisedCount++ < kListedLines)
        report_.unrecognisedLines.push_back({line, std::move(text)});
}

Report ReportBuilder::Finish() {
    std::optional<int> from = period_.from ? period_.from : firstDay_;
    std::optional<int> to = period_.to ? period_.to : lastDay_;
    // A bound past every entry makes the period that one day.
    if (from && !to) to = from;
    if (to && !from) from = to;
    if (from && to && *from > *to) {
        if (!period_.to) to = from;
        if (!period_.from) from = to;
    }
    if (period_.night) {  // the dates the night spans
        from = *period_.night + (report_.night.start < kHalfDay ? 1 : 0);
        to = *from + (report_.night.start > report_.night.end ? 1 : 0);
    }
    report_.from = from;
    report_.to = to;
    // The line number makes the order total: no stable sort needed. A diary written by
    // the program alone mostly comes in order already.
    const auto before = [](const DiaryEntry& a, const DiaryEntry& b) {
        return a.day != b.day ? a.day < b.day : a.minute != b.minute ? a.minute < b.minute : a.line < b.line;
    };
    if (!std::is_sorted(report_.entries.begin(), report_.entries.end(), before))
        std::sort(report_.entries.begin(), report_.entries.end(), before);
    return std::move(report_);
}

std::string_view GermanWeekday(int day) {
    static constexpr std::array<std::string_view, 7> kNames{"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                                            "Donnerstag", "Freitag", "Samstag"};
    return kNames[static_cast<std::size_t>(WeekdayOfDayNumber(day) - 1)];
}

std::string CsvHeader() {
    return "\xEF\xBB\xBF"
           "Datum;Wochentag;Uhrzeit;Nacht;Stufe;Lautstärke;Landung;Notiz;Zeile\r\n";
}

namespace {

// Dates as CSV text, remembered: rows come day by day, and most nights hold several.
class CsvDates {
   public:
    std::string_view DateAndWeekday(int day) {
        if (day != day_ || text_.empty()) {
            day_ = day;
            text_.clear();
            AppendIsoDate(text_, day);
            text_.append(";").append(GermanWeekday(day)).append(";");
        }
        return text_;
    }
    std::string_view Night(int night) {
        if (night != night_ || nightText_.empty()) {
            night_ = night;
            nightText_ = IsoDate(night);
        }
        return nightText_;
    }

   private:
    int day_ = 0;
    std::string text_;
    int night_ = 0;
    std::string nightText_;
};

void AppendCsvRow(std::string& row, const DiaryEntry& e, std::string_view note, const NightRule& night,
                  CsvDates& dates) {
    row.append(dates.DateAndWeekday(e.day));
    row.append(ClockText(e.minute));
    row += ';';
    if (night.Contains(e.minute)) row.append(dates.Night(night.NightOf(e.day, e.minute)));
    row += ';';
    row += static_cast<char>('0' + e.level);
    row += ';';
    row.append(kLoudnessSteps[static_cast<std::size_t>(e.level)].caption);
    row.append(e.landing ? ";ja;" : ";nein;");
    // A spreadsheet must show a note, never run it as a formula.
    const bool formula = !note.empty() && std::string_view("=+-@\t").find(note[0]) != std::string_view::npos;
    if (formula) {
        // Appended, not inserted in front: g++ 12 at -O3 takes an insert for an overlapping copy.
        std::string prefixed(1, '\'');
        prefixed.append(note);
        AppendField(row, prefixed);
    } else {
        AppendField(row, note);
    }
    row += ';';
    AppendNumber(row, e.line);
    row.append("\r\n");
}

}  // namespace

std::string CsvRow(const DiaryEntry& e, const NightRule& night) {
    std::string row;
    CsvDates dates;
    AppendCsvRow(row, e, e.note, night, dates);
    return row;
}

struct CsvWriter::Dates : CsvDates {};

CsvWriter::CsvWriter(const std::vector<DiaryEntry>& entries, const NightRule& night, NoteOf noteOf)
    : entries_(entries), night_(night), noteOf_(std::move(noteOf)), dates_(std::make_unique<Dates>()) {}

CsvWriter::~CsvWriter() = default;

bool CsvWriter::Next(std::string& block, std::size_t bytes) {
    if (!headerDone_) {
        block += CsvHeader();
        headerDone_ = true;
    }
    while (next_ < entries_.size() && block.size() < bytes) {
        const DiaryEntry& e = entries_[next_++];
        AppendCsvRow(block, e, noteOf_ ? noteOf_(e) : std::string_view(e.note), night_, *dates_);
    }
    return next_ < entries_.size();
}

std::string CsvText(const std::vector<DiaryEntry>& entries, const NightRule& night) {
    std::string csv;
    // Rows are about 90 bytes: one allocation for most diaries.
    csv.reserve(CsvHeader().size() + entries.size() * 96);
    CsvWriter writer(entries, night);
    writer.Next(csv, std::string::npos);
    return csv;
}

}  // namespace suelvan
