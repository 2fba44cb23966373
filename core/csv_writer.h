// The CSV of a report's entries: UTF-8 with byte-order mark, ';' separated, CR LF. Made in
// blocks, so a large one is written while the rest is made.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/diary_entry.h"
#include "core/night_rule.h"

namespace suelvan {

std::string CsvHeader();
std::string CsvRow(const DiaryEntry& entry, const NightRule& night);

// Rows one at a time; dates as text are remembered, since rows come day by day.
class CsvRows {
   public:
    explicit CsvRows(const NightRule& night) : night_(night) {}
    void Append(std::string& out, const DiaryEntry& entry, std::string_view note);
    // The same with the note as the diary's bytes, decoded as a note read back is.
    void AppendFromDiary(std::string& out, const DiaryEntry& entry, std::string_view bytes);
    // The same made at `at`, which has room for kMostPut bytes, when the note is short and
    // needs neither quotes nor a guard, as nearly every one: where the row ends; else null.
    char* PutFromDiary(char* at, const DiaryEntry& entry, std::string_view bytes);
    static constexpr std::size_t kShortNote = 256;
    static constexpr std::size_t kMostPut = 1024;

   private:
    char* Head(char* at, const DiaryEntry& entry);         // the fields before the note
    static char* Tail(char* at, const DiaryEntry& entry);  // the line number after the note
    std::string_view DateAndWeekday(int day);
    std::string_view Night(int night);

    NightRule night_;
    int day_ = 0;
    std::string dayText_;
    int nightOf_ = 0;
    std::string nightText_;
    std::string decoded_;
};

// The rows of entries held, in the order given.
class CsvWriter {
   public:
    // The note of an entry read without notes, UTF-8; valid until it is asked again.
    using NoteOf = std::function<std::string_view(const DiaryEntry&)>;
    CsvWriter(const std::vector<DiaryEntry>& entries, const NightRule& night, NoteOf noteOf = {});
    // Appends the header, then rows in the order given, to `block` until it holds `bytes`;
    // false once every row is out.
    bool Next(std::string& block, std::size_t bytes);

   private:
    const std::vector<DiaryEntry>& entries_;
    CsvRows rows_;
    NoteOf noteOf_;
    std::size_t next_ = 0;
    bool headerDone_ = false;
};

}  // namespace suelvan
