// The CSV of a report written to a file: one path for the command line and the window.
#pragma once

#include <filesystem>

#include "report/read_diary.h"

namespace suelvan::report {

// The rows of `read`'s entries. Entries read without their notes take each from the file
// as its row is written, and the output is put in place only while the bytes counted are
// still there as read. Throws Failure.
void WriteCsv(const std::filesystem::path& name, const ReadDiaryResult& read);
void WriteCsv(platform::OutputFile& output, const ReadDiaryResult& read);

}  // namespace suelvan::report
