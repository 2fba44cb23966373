#include "core/diary.h"

#include <algorithm>
#include <cstring>

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

// "H:MM" or "HH:MM" at `pos`, hour 0..23.
std::optional<int> ClockAt(std::string_view s, std::size_t& pos) {
    const auto hour = Digits(s, pos, 1, 2);
    if (!hour || *hour > 23 || pos >= s.size() || s[pos] != ':') return std::nullopt;
    ++pos;
    const std::size_t before = pos;
    const auto minute = Digits(s, pos, 2, 2);
    if (!minute || *minute > 59 || pos - before != 2) return std::nullopt;
    return *hour * 60 + *minute;
}

// The word after the blank at `pos`, up to the next blank or the end.
std::string_view WordAfter(std::string_view s, std::size_t pos) {
    const std::string_view rest = s.substr(pos + 1);
    return rest.substr(0, rest.find(' '));
}

std::string Field(std::string text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
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
    const auto minute = ClockAt(line, pos);
    if (!minute) return std::nullopt;
    ParsedEntry entry{*minute, 0, false, line.size()};
    if (pos == line.size()) return entry;
    if (line[pos] != ' ') return std::nullopt;
    const std::string_view marker = WordAfter(line, pos);
    if (marker == "!" || marker == "!!" || marker == "!!!") {
        entry.level = static_cast<int>(marker.size());
        pos += 1 + marker.size();
    }
    if (pos < line.size() && WordAfter(line, pos) == "Landung?") {
        entry.landing = true;
        pos += 1 + std::string_view("Landung?").size();
    }
    entry.noteAt = pos < line.size() ? pos + 1 : line.size();
    return entry;
}

DiaryReader::DiaryReader(DiarySink sink, bool keepNotes) : sink_(std::move(sink)), keepNotes_(keepNotes) {}

void DiaryReader::Feed(std::string_view bytes) {
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t pos = 0;
    while (pos < size) {
        if (afterCr_) {
            afterCr_ = false;
            if (data[pos] == '\n') {
                ++pos;
                continue;
            }
        }
        const auto* lf = static_cast<const char*>(std::memchr(data + pos, '\n', size - pos));
        const std::size_t end = lf ? static_cast<std::size_t>(lf - data) : size;
        const auto* cr = static_cast<const char*>(std::memchr(data + pos, '\r', end - pos));
        const std::size_t stop = cr ? static_cast<std::size_t>(cr - data) : end;
        const std::string_view piece(data + pos, stop - pos);
        if (!cr && !lf) {  // the line goes on in the next piece
            if (line_.size() < kKeptPrefix || (keepNotes_ && ParseEntryLine(line_))) {
                line_.append(piece);
            } else {
                cut_ = true;
            }
            lineOpen_ = true;
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
        afterCr_ = cr != nullptr;
        pos = stop + 1;
    }
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
    if (lineNumber_ == 1 && bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    if (bytes.find_first_not_of(' ') == std::string_view::npos) return;
    if (IsDigit(bytes[0])) {
        if (const auto parsed = ParseEntryLine(bytes)) {
            if (!sectionDay_) {
                if (sink_.undated) sink_.undated(lineNumber_);
                return;
            }
            DiaryEntry entry{*sectionDay_, parsed->minute, parsed->level, parsed->landing, {}, lineNumber_};
            if (keepNotes_) entry.note = DecodeDiaryLine(bytes.substr(parsed->noteAt), cut);
            // Entries more than half a day later than this one were heard before midnight.
            while (!pending_.empty() && pending_.back().minute - entry.minute > kHalfDay) {
                Emit(std::move(pending_.back()), true);
                pending_.pop_back();
            }
            if (entry.minute > kHalfDay) {
                // Kept sorted by minute, so the ones a later entry moves are at the back.
                const auto at = std::upper_bound(pending_.begin(), pending_.end(), entry.minute,
                                                 [](int m, const DiaryEntry& e) { return m < e.minute; });
                pending_.insert(at, std::move(entry));
            } else {
                Emit(std::move(entry), false);
            }
            return;
        }
    } else if (const auto day = ParseDayHeader(bytes)) {
        EndSection();
        sectionDay_ = day;
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
    for (DiaryEntry& entry : pending_) Emit(std::move(entry), false);
    pending_.clear();
}

void DiaryReader::Emit(DiaryEntry entry, bool dayBefore) {
    if (dayBefore) --entry.day;
    if (sink_.entry) sink_.entry(entry);
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
    const auto start = ClockAt(text, pos);
    if (!start || pos >= text.size() || text[pos++] != '-') return std::nullopt;
    const auto end = ClockAt(text, pos);
    if (!end || pos != text.size() || *start == *end) return std::nullopt;
    return NightRule{*start, *end};
}

std::string ClockText(int minute) {
    return {static_cast<char>('0' + minute / 600), static_cast<char>('0' + minute / 60 % 10), ':',
            static_cast<char>('0' + minute % 60 / 10), static_cast<char>('0' + minute % 10)};
}

ReportBuilder::ReportBuilder(Period period, NightRule night, bool keepEntries)
    : period_(period), keepEntries_(keepEntries) {
    report_.night = night;
}

DiarySink ReportBuilder::Sink() {
    return {[this](const DiaryEntry& e) { Add(e); }, [this](std::uint64_t line) { AddUndated(line); },
            [this](std::uint64_t line, std::string text) { AddUnrecognised(line, std::move(text)); }};
}

void ReportBuilder::Add(const DiaryEntry& e) {
    firstDay_ = std::min(firstDay_.value_or(e.day), e.day);
    lastDay_ = std::max(lastDay_.value_or(e.day), e.day);
    if ((period_.from && e.day < *period_.from) || (period_.to && e.day > *period_.to)) return;
    const bool atNight = report_.night.Contains(e.minute);
    for (DayCounts* counts : {&report_.total, &report_.days[e.day]}) {
        ++counts->entries;
        counts->nightEntries += atNight;
        counts->landings += e.landing;
        ++counts->levels[static_cast<std::size_t>(e.level)];
    }
    ++report_.hours[static_cast<std::size_t>(e.minute / 60)];
    if (atNight) {
        NightCounts& night = report_.nights[report_.night.NightOf(e.day, e.minute)];
        const int since = report_.night.SinceStart(e.minute);
        if (night.entries == 0 || since < report_.night.SinceStart(night.first)) night.first = e.minute;
        if (night.entries == 0 || since > report_.night.SinceStart(night.last)) night.last = e.minute;
        ++night.entries;
    }
    if (keepEntries_) report_.entries.push_back(e);
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
    report_.from = from;
    report_.to = to;
    // The line number makes the order total: no stable sort needed.
    std::sort(report_.entries.begin(), report_.entries.end(), [](const DiaryEntry& a, const DiaryEntry& b) {
        return a.day != b.day ? a.day < b.day : a.minute != b.minute ? a.minute < b.minute : a.line < b.line;
    });
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

std::string CsvRow(const DiaryEntry& e, const NightRule& night) {
    std::string row;
    AppendCsvRow(row, e, night);
    return row;
}

void AppendCsvRow(std::string& row, const DiaryEntry& e, const NightRule& night) {
    // A spreadsheet must show a note, never run it as a formula.
    const bool formula =
        !e.note.empty() && std::string_view("=+-@\t").find(e.note[0]) != std::string_view::npos;
    std::string note = formula ? "'" + e.note : e.note;
    row.append(IsoDate(e.day)).append(";").append(GermanWeekday(e.day)).append(";");
    row.append(ClockText(e.minute)).append(";");
    if (night.Contains(e.minute)) row += IsoDate(night.NightOf(e.day, e.minute));
    row.append(";").append(std::to_string(e.level)).append(";");
    row.append(kLoudnessSteps[static_cast<std::size_t>(e.level)].caption).append(";");
    row.append(e.landing ? "ja" : "nein").append(";").append(Field(std::move(note))).append(";");
    row.append(std::to_string(e.line)).append("\r\n");
}

}  // namespace suelvan
