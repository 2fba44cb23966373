#include "core/diary_reader.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/encoding.h"
#include "core/line_grammar.h"

namespace suelvan {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A longer line is kept whole only when it is an entry whose note is wanted.
constexpr std::size_t kKeptPrefix = 64 * 1024;

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

}  // namespace

DiaryReader::DiaryReader(DiarySink sink, bool keepNotes)
    : sink_(std::move(sink)),
      keepNotes_(keepNotes),
      headersOnly_(!sink_.entry && !sink_.undated && !sink_.unrecognised) {}

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

void DiaryReader::AcceptWeekdays(std::vector<std::string> names) { weekdays_ = std::move(names); }

void DiaryReader::StartAt(const Resume& from) {
    fed_ = from.offset;
    lineNumber_ = from.linesBefore;
    lastSection_ = from;
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
            Keep(piece, false);
            lineOpen_ = true;
            fed_ += size;
            return;
        }
        if (!lineOpen_) {
            ++lineNumber_;
            Line(piece, false);
        } else {
            Keep(piece, true);
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

void DiaryReader::Keep(std::string_view piece, bool last) {
    if (!cut_ && (last || line_.size() < kKeptPrefix || (keepNotes_ && ParseEntryLine(line_)))) {
        line_.append(piece);
        return;
    }
    // Not kept whole: still judged whole, as UTF-8 or not.
    if (!cut_) {
        cut_ = true;
        utf8_ = Utf8Check();
        utf8_.Feed(line_);
    }
    utf8_.Feed(piece);
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
        if (headersOnly_) return;
        if (skipping_) {
            // Only whether it is an entry: the time, then a blank or the end.
            std::size_t pos = 0;
            if (ParseClock(bytes, pos) >= 0 && (pos == bytes.size() || bytes[pos] == ' ')) return;
        } else if (const auto parsed = ParseEntryLine(bytes)) {
            Entry(bytes, *parsed, cut, start, length);
            return;
        }
    } else if (bytes.find_first_not_of(' ') == std::string_view::npos) {
        return;
    } else if (const auto header = ParseHeaderLine(bytes, weekdays_)) {
        EndSection();
        lastSection_ = {lineStart_, lineNumber_ - 1};
        if (sink_.section) sink_.section(header->day);
        sectionDay_ = header->day;
        skipping_ = header->day && closed_ && (*header->day < *notesFrom_ || *header->day > *notesTo_ + 1);
        if (header->day) return;
        // A date that does not exist: its entries are counted on no other day.
    }
    Unrecognised(bytes, cut);
}

void DiaryReader::Entry(std::string_view bytes, const ParsedEntry& parsed, bool cut, std::uint64_t start,
                        std::uint64_t length) {
    if (!sectionDay_) {
        if (sink_.undated) sink_.undated(lineNumber_);
        return;
    }
    DiaryEntry entry{*sectionDay_,
                     static_cast<std::int16_t>(parsed.minute),
                     static_cast<std::int8_t>(parsed.level),
                     parsed.landing,
                     {},
                     lineNumber_,
                     start + parsed.noteAt,
                     length - parsed.noteAt};
    const bool noteWanted = keepNotes_ && (!notesFrom_ || *sectionDay_ >= *notesFrom_) &&
                            (!notesTo_ || *sectionDay_ <= *notesTo_ + 1);
    if (noteWanted) entry.note = Note(DecodeDiaryLine(bytes.substr(parsed.noteAt), cut));
    // Entries more than half a day later than this one were heard before midnight.
    while (!pending_.empty() && pending_.back().minute - entry.minute > kHalfDay) {
        Emit(pending_.back(), true);
        pending_.pop_back();
    }
    if (entry.minute <= kHalfDay) {
        Emit(entry, false);
        return;
    }
    // Kept sorted by minute, so the ones a later entry moves are at the back; in a diary
    // written in order a new one goes there too.
    const auto at = pending_.empty() || pending_.back().minute <= entry.minute
                        ? pending_.end()
                        : std::upper_bound(pending_.begin(), pending_.end(), entry.minute,
                                           [](int m, const DiaryEntry& e) { return m < e.minute; });
    pending_.insert(at, std::move(entry));
}

void DiaryReader::Unrecognised(std::string_view bytes, bool cut) {
    if (!sink_.unrecognised) return;
    std::string text;
    if (unrecognisedShown_ < static_cast<int>(kListedLines)) {
        ++unrecognisedShown_;
        // UTF-8 when the whole line is, else Windows-1252: a byte each code point.
        if (cut ? utf8_.Valid() : IsValidUtf8(bytes)) {
            text = FirstCodePoints(DecodeDiaryLine(bytes.substr(0, kShownCodePoints * 4), true),
                                   kShownCodePoints);
        } else {
            text = DecodeWindows1252(bytes.substr(0, kShownCodePoints));
        }
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

}  // namespace suelvan
