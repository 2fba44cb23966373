// The diary read for a report: once, read-only, counted in the same pass that hashes it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/diary_reader.h"
#include "core/period.h"
#include "core/statistics.h"
#include "platform/file.h"

namespace suelvan::report {

struct DiaryInfo {
    std::filesystem::path path;  // absolute
    std::uint64_t bytes = 0;
    std::string sha256;               // lower-case hex, of the bytes read; empty when not hashed
    platform::FileIdentity identity;  // the file read, to fetch its notes from that one later
    std::int64_t modified = 0;        // its modification time when read, nanoseconds
};

struct ReadOptions {
    bool entries = false;  // keep the period's entries, sorted
    bool notes = true;     // with their notes; else only where each note stands
    bool hashed = true;
    // Weekday names of headers beside one-word ones, as the diary window writes them.
    std::vector<std::string> weekdays = {};
    // Keep what reading on after the diary grew needs (the window follows it so).
    bool onward = false;
    // A hashed diary of at least this size is counted in two halves at once, the second
    // beside the first.
    std::uint64_t splitFrom = 16 << 20;
};

// Where a reading can go on from: the last section, with its bytes as they were read,
// the lines read, and the days its builder saw.
struct Onward {
    DiaryReader::Resume section;
    std::string bytes;
    std::uint64_t lines = 0;
    std::optional<int> firstDay;
    std::optional<int> lastDay;
};

struct ReadDiaryResult {
    DiaryInfo info;
    Report report;
    bool notesKept = false;    // the entries hold their notes
    bool entriesKept = false;  // the report holds the period's entries
    // The file read, kept open: notes are fetched from it, even when an editor has put
    // another file in its place meanwhile.
    std::shared_ptr<const platform::File> file;
    // What it was read for, to read it so again.
    Period period;
    std::vector<std::string> weekdays;
    std::optional<Onward> onward;  // when asked for, and the last section is not too long
};

// The diary opened for reading, before a byte of it is read: outputs can be told from it.
struct OpenedDiary {
    std::filesystem::path path;  // absolute
    std::shared_ptr<platform::File> file;
    platform::FileState state;
};
// Throws Failure for a missing, unreadable or irregular file, naming its absolute path.
OpenedDiary OpenDiary(const std::filesystem::path& path);

// Up to the size the diary had when opened. Throws Failure for a missing, unreadable or
// irregular file, naming its absolute path.
ReadDiaryResult ReadDiary(const std::filesystem::path& path, const Period& period, const NightRule& night,
                          const ReadOptions& options);
// With `ordered`, the period's entries, without their notes, are handed to it a day at a
// time in the report's order (date, time, line) while the diary is counted, a day or two
// held; it may take them. A CSV
// of any size is written as it is read. The diary is then read twice, first only its
// headers; changed in between, the reading fails.
ReadDiaryResult ReadDiary(OpenedDiary diary, const Period& period, const NightRule& night,
                          const ReadOptions& options,
                          const std::function<void(std::vector<DiaryEntry>& day)>& ordered = {});

// Where a second reader can begin in a file of `size` bytes: the first header after
// `percent` of it that follows a LF, so that no line, CR LF pair or section is cut in two.
// None when no header stands near there.
std::optional<std::uint64_t> SplitPoint(const platform::File& file, std::uint64_t size,
                                        const std::vector<std::string>& weekdays, unsigned percent = 50);

// `held` read on over what was appended to the diary since: only the last section read
// again, and what follows it, counted on into `held`'s report, which is moved into the
// result. Nothing, and `held` as it was, when the diary must be read whole instead: another
// file at the path, shorter, rewritten, the last section read otherwise now (an entry
// back-dated by what followed), or `held` not read for reading on. Throws Failure on a
// read error.
std::optional<ReadDiaryResult> ReadOnward(const std::filesystem::path& path, ReadDiaryResult& held);

}  // namespace suelvan::report
