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

class CsvWriter {
   public:
    // The note of an entry read without notes, UTF-8; valid until it is asked again.
    using NoteOf = std::function<std::string_view(const DiaryEntry&)>;
    CsvWriter(const std::vector<DiaryEntry>& entries, const NightRule& night, NoteOf noteOf = {});
    ~CsvWriter();
    // Appends the header, then rows in the order given, to `block` until it holds `bytes`;
    // false once every row is out.
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
