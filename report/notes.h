// The notes of a report read without them, fetched from the very file that was read:
// the window shows a few dozen rows of half a million.
#pragma once

#include <QString>
#include <memory>

#include "core/diary.h"
#include "report/report.h"

namespace suelvan::report {

class NoteFile {
   public:
    // Nothing when the path no longer names the file that was read (replaced meanwhile).
    static std::shared_ptr<const NoteFile> Open(const DiaryInfo& diary);
    ~NoteFile();
    NoteFile(const NoteFile&) = delete;
    NoteFile& operator=(const NoteFile&) = delete;

    // The entry's note: the one it holds, else its bytes decoded, the first 64 KiB.
    QString Note(const DiaryEntry& entry) const;

   private:
    explicit NoteFile(int fd) : fd_(fd) {}
    int fd_;
};

// The note an entry holds, or from the file when given.
QString NoteOf(const DiaryEntry& entry, const NoteFile* file);

}  // namespace suelvan::report
