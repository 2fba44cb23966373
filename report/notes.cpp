#include "report/notes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "core/encoding.h"

namespace suelvan::report {
namespace {

constexpr std::uint64_t kShownBytes = 64 * 1024;

}  // namespace

std::shared_ptr<const NoteFile> NoteFile::Open(const DiaryInfo& diary) {
    const int fd = ::open(diary.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || static_cast<std::uint64_t>(info.st_dev) != diary.device ||
        static_cast<std::uint64_t>(info.st_ino) != diary.inode) {
        ::close(fd);
        return nullptr;
    }
    return std::shared_ptr<const NoteFile>(new NoteFile(fd));
}

NoteFile::~NoteFile() { ::close(fd_); }

QString NoteFile::Note(const DiaryEntry& entry) const {
    if (!entry.note.empty() || entry.noteBytes == 0) return QString::fromStdString(entry.note);
    std::string bytes(static_cast<std::size_t>(std::min(entry.noteBytes, kShownBytes)), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd_, bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(entry.noteOffset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // cut shorter meanwhile: the window reads it again soon
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return QString::fromStdString(DecodeDiaryLine(bytes, entry.noteBytes > done));
}

QString NoteOf(const DiaryEntry& entry, const NoteFile* file) {
    return file ? file->Note(entry) : QString::fromStdString(entry.note);
}

}  // namespace suelvan::report
