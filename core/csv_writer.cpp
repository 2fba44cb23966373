#include "core/csv_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/calendar.h"
#include "core/encoding.h"
#include "core/entry.h"
#include "core/short_copy.h"

namespace suelvan {
namespace {

// The fields before the note: a date, a weekday, a time, a night and a caption.
constexpr std::size_t kHeadRoom = 160;
// After it: a separator, the line number and CR LF.
constexpr std::size_t kTailRoom = 24;
static_assert(CsvRows::kMostPut >= kHeadRoom + 3 * CsvRows::kShortNote + kTailRoom);

bool NeedsQuotes(std::string_view text) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: millions of notes, nearly none of them quoted.
    const __m128i semicolon = _mm_set1_epi8(';');
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, semicolon), _mm_cmpeq_epi8(v, quote)),
                                         _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (_mm_movemask_epi8(hit) != 0) return true;
    }
#endif
    return std::any_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(),
                       [](char c) { return c == ';' || c == '"' || c == '\r' || c == '\n'; });
}

// The rest of a quoted field, its opening quote already written.
void AppendQuotedRest(std::string& out, std::string_view text) {
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// A CSV field: quoted where it holds a separator, a quote or a line break.
void AppendField(std::string& out, std::string_view text) {
    if (!NeedsQuotes(text)) {
        out.append(text);
        return;
    }
    out += '"';
    AppendQuotedRest(out, text);
}

}  // namespace

std::string CsvHeader() {
    return "\xEF\xBB\xBF"
           "Datum;Wochentag;Uhrzeit;Nacht;Stufe;Lautstärke;Landung;Notiz;Zeile\r\n";
}

namespace {

// A spreadsheet must show a note, never run it as a formula: one that begins with a sign
// or a tab, also behind the blanks and control characters a spreadsheet skips, and in the
// fullwidth signs it reads as the same.
bool LooksLikeFormula(std::string_view note) {
    if (!note.empty() && note[0] == '\t') return true;
    constexpr std::string_view kSkipped[] = {"\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\xAF", "\xE2\x81\x9F",
                                             "\xE3\x80\x80", "\xEF\xBB\xBF", "\xE2\x80\xA8", "\xE2\x80\xA9"};
    std::size_t i = 0;
    while (i < note.size()) {
        const auto c = static_cast<unsigned char>(note[i]);
        if (c > 0x20 && c < 0x7F) break;  // the usual first letter
        const std::string_view rest = note.substr(i);
        const auto next = rest.size() > 1 ? static_cast<unsigned char>(rest[1]) : 0;
        const auto third = rest.size() > 2 ? static_cast<unsigned char>(rest[2]) : 0;
        if (c <= 0x20 || c == 0x7F) {
            i += 1;
        } else if (c == 0xC2 && next >= 0x80 && next < 0xA0) {  // C1 controls
            i += 2;
        } else if (c == 0xE2 && next == 0x80 && third >= 0x80 && third <= 0x8B) {  // U+2000..U+200B
            i += 3;
        } else if (const auto skipped = std::find_if(std::begin(kSkipped), std::end(kSkipped),
                                                     [&](std::string_view s) { return rest.starts_with(s); });
                   skipped != std::end(kSkipped)) {
            i += skipped->size();
        } else {
            break;
        }
    }
    const std::string_view first = note.substr(i);
    if (!first.empty() && std::string_view("=+-@").find(first[0]) != std::string_view::npos) return true;
    constexpr std::string_view kFullwidth[] = {"\xEF\xBC\x9D", "\xEF\xBC\x8B", "\xEF\xBC\x8D",
                                               "\xEF\xBC\xA0"};
    return std::any_of(std::begin(kFullwidth), std::end(kFullwidth),
                       [&](std::string_view sign) { return first.starts_with(sign); });
}

}  // namespace

char* CsvRows::Head(char* at, const DiaryEntry& e) {
    const std::string_view date = DateAndWeekday(e.day);
    const std::string_view night =
        night_.Contains(e.minute) ? Night(night_.NightOf(e.day, e.minute)) : std::string_view();
    const std::string_view caption = kLoudnessSteps[static_cast<std::size_t>(e.level)].caption;
    const auto put = [&](std::string_view text) { at = CopyShort(at, text.data(), text.size()); };
    put(date);
    *at++ = static_cast<char>('0' + e.minute / 600);
    *at++ = static_cast<char>('0' + e.minute / 60 % 10);
    *at++ = ':';
    *at++ = static_cast<char>('0' + e.minute % 60 / 10);
    *at++ = static_cast<char>('0' + e.minute % 10);
    *at++ = ';';
    put(night);
    *at++ = ';';
    *at++ = static_cast<char>('0' + e.level);
    *at++ = ';';
    put(caption);
    put(e.landing ? ";ja;" : ";nein;");
    return at;
}

char* CsvRows::Tail(char* at, const DiaryEntry& e) {
    *at++ = ';';
    at = std::to_chars(at, at + 20, e.line).ptr;
    *at++ = '\r';
    *at++ = '\n';
    return at;
}

void CsvRows::Append(std::string& row, const DiaryEntry& e, std::string_view note) {
    // The fields before the note in a buffer of their own, appended at once: millions of
    // rows, each a dozen small appends otherwise.
    char head[kHeadRoom];
    char* at = Head(head, e);
    const bool formula = LooksLikeFormula(note);
    if (formula) *at++ = '\'';
    row.append(head, static_cast<std::size_t>(at - head));
    if (formula) {
        // The sign's quote is part of the field: a field that needs quoting is quoted
        // around it.
        if (NeedsQuotes(note)) {
            row.insert(row.size() - 1, 1, '"');
            AppendQuotedRest(row, note);
        } else {
            row.append(note);
        }
    } else {
        AppendField(row, note);
    }
    char tail[kTailRoom];
    row.append(tail, static_cast<std::size_t>(Tail(tail, e) - tail));
}

char* CsvRows::PutFromDiary(char* at, const DiaryEntry& e, std::string_view bytes) {
    // Decoding keeps ASCII as it is: a short note that begins with a letter and holds
    // nothing to quote, nearly every one, is decoded straight into the row.
    const auto first = static_cast<unsigned char>(bytes.empty() ? 'a' : bytes[0]);
    const bool sign = first == '=' || first == '+' || first == '-' || first == '@';
    if (bytes.size() > kShortNote || first <= ' ' || first >= 0x7F || sign || NeedsQuotes(bytes))
        return nullptr;
    return Tail(DecodeDiaryLineTo(Head(at, e), bytes), e);
}

void CsvRows::AppendFromDiary(std::string& row, const DiaryEntry& e, std::string_view bytes) {
    char buffer[kMostPut];
    if (const char* end = PutFromDiary(buffer, e, bytes)) {
        row.append(buffer, static_cast<std::size_t>(end - buffer));
        return;
    }
    decoded_.clear();
    AppendDecodedLine(decoded_, bytes);
    Append(row, e, decoded_);
}

std::string_view CsvRows::DateAndWeekday(int day) {
    if (day != day_ || dayText_.empty()) {
        day_ = day;
        dayText_.clear();
        AppendIsoDate(dayText_, day);
        dayText_.append(";").append(GermanWeekday(day)).append(";");
    }
    return dayText_;
}

std::string_view CsvRows::Night(int night) {
    if (night != nightOf_ || nightText_.empty()) {
        nightOf_ = night;
        nightText_ = IsoDate(night);
    }
    return nightText_;
}

std::string CsvRow(const DiaryEntry& e, const NightRule& night) {
    std::string row;
    CsvRows(night).Append(row, e, e.note);
    return row;
}

CsvWriter::CsvWriter(const std::vector<DiaryEntry>& entries, const NightRule& night, NoteOf noteOf)
    : entries_(entries), rows_(night), noteOf_(std::move(noteOf)) {}

bool CsvWriter::Next(std::string& block, std::size_t bytes) {
    if (!headerDone_) {
        block += CsvHeader();
        headerDone_ = true;
    }
    while (next_ < entries_.size() && block.size() < bytes) {
        const DiaryEntry& e = entries_[next_++];
        rows_.Append(block, e, noteOf_ ? noteOf_(e) : std::string_view(e.note));
    }
    return next_ < entries_.size();
}

}  // namespace suelvan
