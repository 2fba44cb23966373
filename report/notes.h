// The notes of a report read without them, fetched from the very file that was read:
// the window shows a few dozen rows of half a million.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/diary_entry.h"
#include "platform/file.h"
#include "report/read_diary.h"

namespace suelvan::report {

class NoteFile {
   public:
    // The notes of the file that was read, which stays open for them.
    explicit NoteFile(std::shared_ptr<const platform::File> file) : file_(std::move(file)) {}

    // The entry's note, UTF-8: the one it holds, else its bytes decoded, the first 64 KiB.
    std::string Note(const DiaryEntry& entry) const;
    // Every note once, whole, for a CSV of the entries read without notes: UTF-8 through
    // a window of the file that moves on with the entries, mostly in the file's order.
    // Valid until the next call.
    std::string_view Stream(const DiaryEntry& entry);
    // The note's bytes as they stand in the file, through the same window.
    std::string_view Bytes(const DiaryEntry& entry);
    // Whether the bytes read are still there as they were: the same modification time,
    // else (a line appended, or the file rewritten in place) the same SHA-256 over them.
    bool StillAsRead(const DiaryInfo& diary) const;

   private:
    // Up to `bytes` at `offset`; fewer where the file ends sooner or cannot be read: the
    // window reads it again soon.
    std::string Read(std::uint64_t offset, std::uint64_t bytes) const;

    std::shared_ptr<const platform::File> file_;
    std::string window_;  // its size stays: fresh memory costs more than reading again
    std::uint64_t windowAt_ = 0;
    std::uint64_t windowBytes_ = 0;
    std::string decoded_;
};

// The note an entry holds, or from the file when given.
std::string NoteOf(const DiaryEntry& entry, const NoteFile* file);

}  // namespace suelvan::report
