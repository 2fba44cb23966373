// The log file beside the program: day sections, appended to and never rewritten.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "core/calendar.h"
#include "core/day_header.h"
#include "core/entry.h"
#include "core/failure.h"

namespace suelvan {

inline constexpr std::u8string_view kLogFileName = u8"Sülvan.txt";

std::filesystem::path LogPath(const std::filesystem::path& programDir);

// A path as the user reads it: UTF-8, with bytes that are no UTF-8 left for the message
// box to show as replacement characters.
std::string ShownPath(const std::filesystem::path& path);

// The weekday names as headers carry them in the log's bytes.
std::vector<std::string> HeaderWeekdays(const WeekdayNames& names);

// One recording, in the log's bytes, before anything of the file is known.
struct PreparedRecord {
    std::string header;  // today's header: filed under the day of the press
    std::string line;    // the entry, heard at now minus its minutes
};

// Throws std::range_error for an impossible minutes value, so the file is never touched.
PreparedRecord PrepareRecord(const LocalDateTime& now, const EntryInput& input, const WeekdayNames& names,
                             const LocalTimeAt& localAt = {});

// What is appended: the entry with its CR LF, after an empty line and the header when
// the day has no section yet, and after a CR LF of its own when the file ends inside a
// line (a CR or an LF at the end counts as a line end), so no entry joins another line.
std::string RecordBytes(const PreparedRecord& record, bool headerPresent, bool endsInsideLine);

// Reads `length` bytes at `offset` into `into`; false on a read error or a short read.
using ReadAt = std::function<bool(std::uint64_t offset, char* into, std::size_t length)>;

// Whether `needle` occurs in the first `size` bytes that `read` hands out. Reads backwards
// from the end in chunks growing from `firstChunk` to `maxChunk`, so a match near the end
// costs little and memory stays bounded whatever the size. A read error ends the search
// with `readFailed` set.
inline constexpr std::size_t kFirstChunk = 16 * 1024;
inline constexpr std::size_t kMaxChunk = 1024 * 1024 - 4096;
bool ContainsBackward(std::uint64_t size, const ReadAt& read, std::string_view needle, bool& readFailed,
                      std::size_t firstChunk = kFirstChunk, std::size_t maxChunk = kMaxChunk);
// The same over a seekable stream; sets badbit on a read error.
bool ContainsBackward(std::istream& in, std::string_view needle, std::size_t firstChunk = kFirstChunk,
                      std::size_t maxChunk = kMaxChunk);

// Line ends in `bytes` (CR LF, LF and CR each end one); `afterCr` carries a CR at the end
// of one piece over to an LF at the start of the next.
std::uint64_t CountLineEnds(std::string_view bytes, bool& afterCr);

// What a recording that could not be taken back left in the log: the line its last
// piece stands on, counted from 1, and that piece as text. Empty text when only whole
// lines (line ends, a header) were left, which count as nothing.
struct Leftover {
    std::uint64_t line = 0;
    std::string text;  // UTF-8
};
// `linesBefore`: the line ends of the log before the recording; `afterCr`: whether it
// ended in a CR; `written`: what of the recording reached the file.
Leftover LeftoverOf(std::uint64_t linesBefore, bool afterCr, std::string_view written);

}  // namespace suelvan
