// Reading the diary back, tolerant of hand edits: bytes fed in pieces become entries
// that remember their line, and the lines that are no entry are reported, never dropped.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/diary_entry.h"
#include "core/encoding.h"
#include "core/line_grammar.h"
#include "core/period.h"

namespace suelvan {

// Lines not counted are listed by their first kListedLines, each shown by its first
// kShownCodePoints.
inline constexpr std::size_t kListedLines = 100;
inline constexpr std::size_t kShownCodePoints = 200;

// What the reader sees, line by line; the callbacks may be left empty. With only `section`,
// a line beginning with a digit, which is no header, is not looked at further.
struct DiarySink {
    std::function<void(DiaryEntry&&)> entry;
    std::function<void(std::uint64_t line)> undated;
    // The line's first 200 code points, UTF-8.
    std::function<void(std::uint64_t line, std::string text)> unrecognised;
    // A header begins a section, under its day or none (a date that does not exist); every
    // entry of the sections before has been handed on.
    std::function<void(std::optional<int> day)> section;
};

// Splits bytes fed in pieces into lines (CR LF, LF, CR), recognises day headers and
// entries, and dates entries back-dated across midnight. Never fails on content; memory
// is one line (kept whole only where a note is wanted) plus the afternoon entries of
// the current section that a later entry may still move to the day before.
class DiaryReader {
   public:
    // Where a section began: its header's offset and the number of lines before it.
    // Reading on from there after the file grew sees what a reading of the whole file sees
    // of that section, its back-dated entries included.
    struct Resume {
        std::uint64_t offset = 0;
        std::uint64_t linesBefore = 0;
    };

    DiaryReader(DiarySink sink, bool keepNotes);
    // Only entries filed under the period's days (a day more for back-dating) are handed
    // on with their notes: a month is read out of decades without decoding every note.
    // When the period has no open end, entries filed elsewhere are only recognised as
    // such, not parsed further nor handed on.
    void LimitTo(const Period& period);
    // Weekday names of headers as they stand in the file, beside one-word ones.
    void AcceptWeekdays(std::vector<std::string> names);
    // Reads on as if everything before `from` had been fed; what is fed next begins there.
    void StartAt(const Resume& from);
    void Feed(std::string_view bytes);
    void Finish();
    // The last header read; at the start when there was none.
    const Resume& LastSection() const { return lastSection_; }
    // Lines read so far, the one still open included once finished.
    std::uint64_t Lines() const { return lineNumber_; }

   private:
    void Line(std::string_view bytes, bool cut);
    void Entry(std::string_view bytes, const ParsedEntry& parsed, bool cut, std::uint64_t start,
               std::uint64_t length);
    void Unrecognised(std::string_view bytes, bool cut);
    // Adds a piece of the current line to what is kept of it.
    void Keep(std::string_view piece, bool last);
    void EndSection();
    void Emit(DiaryEntry& entry, bool dayBefore);  // moves it to the sink

    DiarySink sink_;
    bool keepNotes_;
    bool headersOnly_;
    std::optional<int> notesFrom_;
    std::optional<int> notesTo_;
    bool closed_ = false;    // the period has both ends: other sections are skipped
    bool skipping_ = false;  // the current section is outside it
    std::string line_;
    bool cut_ = false;       // line_ holds only the start of a longer line
    Utf8Check utf8_;         // of the whole line, when cut
    bool afterCr_ = false;   // the last byte fed was a CR: an LF next belongs to it
    bool lineOpen_ = false;  // bytes since the last line end
    std::uint64_t lineNumber_ = 0;
    std::uint64_t fed_ = 0;         // bytes fed before the current piece
    std::uint64_t lineStart_ = 0;   // file offset of the line being read
    std::uint64_t lineLength_ = 0;  // its bytes so far, also those not kept
    std::vector<std::string> weekdays_;
    std::optional<int> sectionDay_;    // none before the first header and under one whose date does not exist
    std::vector<DiaryEntry> pending_;  // this section's entries after 12:00, not yet dated
    int unrecognisedShown_ = 0;
    Resume lastSection_;
};

}  // namespace suelvan
