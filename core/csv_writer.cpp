#include "core/csv_writer.h"

#include <algorithm>
#include <charconv>

#include "core/calendar.h"
#include "core/entry.h"

namespace suelvan {
namespace {

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

}  // namespace suelvan
