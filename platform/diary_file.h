// Recording into the diary on disk: one opening, locked against other instances of the
// program, written durably or not at all.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "core/logfile.h"
#include "platform/file.h"

namespace suelvan::platform {

// The diary opened for reading and appending, never created, and held under an exclusive
// lock until destroyed: two recordings never overlap. Every failure throws Failure naming
// the file and the cause.
class LockedDiary {
   public:
    explicit LockedDiary(std::filesystem::path path);

    bool Contains(std::string_view needle);
    // Whether the last byte is something other than CR or LF.
    bool EndsInsideLine();
    // Cuts the file back to `size`: the file's own truncation, or a stand-in that fails.
    using Rollback = std::function<std::error_code(File& file, std::uint64_t size)>;
    // Appends all of `bytes` and waits until they are on the disk. On failure it takes
    // back exactly what of them reached the file; where even that fails (an append-only
    // file), the message names the line left behind. Fails, too, when the file at the path
    // is no longer the one opened (deleted or replaced meanwhile).
    void Append(std::string_view bytes, const Rollback& rollback = {});

   private:
    void RequireStillThere(bool afterWrite);
    // Line ends of the first `size` bytes, and whether they end in a CR.
    std::uint64_t LineEndsBefore(std::uint64_t size, bool& afterCr);

    File file_;
    FileIdentity identity_;
};

// The button's work: the entry for `input` heard at `now` minus its minutes, into the log
// in `programDir`, under today's header (written first when the day has no section yet).
// Throws std::range_error for impossible minutes (before the file is touched), Failure
// for everything else.
void RecordObservation(const LocalDateTime& now, const EntryInput& input, const WeekdayNames& names,
                       const std::filesystem::path& programDir, const LocalTimeAt& localAt = {});

}  // namespace suelvan::platform
