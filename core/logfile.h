// The log file beside the program: day sections, appended to and never rewritten.
#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <stdexcept>
#include <string_view>

#include "core/entry.h"
#include "core/texts.h"

namespace suelvan {

// A recording that failed; what() is a description for the user, naming the file and cause.
class LogError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::u8string_view kLogFileName = u8"Sülvan.txt";

std::filesystem::path LogPath(const std::filesystem::path& programDir);

// Appends the entry for `input`, heard at `now` minus its minutes, to the log in
// `programDir`. The first entry of a day gets an empty line and today's header before
// it. The log must exist: it is never created. Throws LogError, or std::range_error
// for an impossible minutes value (before the file is touched).
void RecordObservation(const LocalDateTime& now, const EntryInput& input, const WeekdayNames& names,
                       const std::filesystem::path& programDir);

// Whether `needle` occurs in the stream's bytes. Reads backwards from the end in chunks
// growing from `firstChunk` to `maxChunk`, so a match near the end costs little and
// memory stays bounded whatever the size. Sets badbit on a read error.
inline constexpr std::size_t kFirstChunk = 16 * 1024;
inline constexpr std::size_t kMaxChunk = 1024 * 1024 - 4096;
bool ContainsBackward(std::istream& in, std::string_view needle, std::size_t firstChunk = kFirstChunk,
                      std::size_t maxChunk = kMaxChunk);

}  // namespace suelvan
