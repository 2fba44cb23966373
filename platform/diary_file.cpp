#include "platform/diary_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace suelvan::platform {
namespace {

[[noreturn]] void Fail(std::string_view what, const fs::path& path, int error) {
    throw LogError(std::string(what) + ": " + ShownPath(path) + " (" +
                   std::generic_category().message(error) + ")");
}

[[noreturn]] void FailNotFound(const fs::path& path) {
    throw LogError("Datei nicht gefunden: " + ShownPath(path));
}

// A directory, device or FIFO in the log's place must fail, not hang or be "read".
void RequireRegularFile(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) FailNotFound(path);
    if (error) Fail("Datei nicht zugänglich", path, error.value());
    if (status.type() == fs::file_type::directory) {
        throw LogError("Keine Datei, sondern ein Ordner: " + ShownPath(path));
    }
    if (status.type() != fs::file_type::regular)
        throw LogError("Keine gewöhnliche Datei: " + ShownPath(path));
}

}  // namespace

LockedDiary::LockedDiary(fs::path path) : path_(std::move(path)) {
    RequireRegularFile(path_);
    // No O_CREAT: recording never makes a diary. O_NONBLOCK: a FIFO swapped in since the
    // check must not hang the window.
    fd_ = ::open(path_.c_str(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        if (errno == ENOENT) FailNotFound(path_);
        Fail("Datei kann nicht zum Schreiben geöffnet werden", path_, errno);
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) Fail("Datei nicht zugänglich", path_, errno);
    if (!S_ISREG(info.st_mode)) throw LogError("Keine gewöhnliche Datei: " + ShownPath(path_));
    device_ = info.st_dev;
    inode_ = info.st_ino;
    int locked;
    while ((locked = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (locked != 0) Fail("Datei kann nicht gesperrt werden", path_, errno);
}

LockedDiary::~LockedDiary() {
    if (fd_ >= 0) ::close(fd_);  // releases the lock
}

std::uint64_t LockedDiary::Size() {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) Fail("Datei nicht zugänglich", path_, errno);
    return static_cast<std::uint64_t>(info.st_size);
}

bool LockedDiary::Contains(std::string_view needle) {
    int error = 0;
    const auto read = [&](std::uint64_t offset, char* into, std::size_t length) {
        while (length > 0) {
            const ssize_t n = ::pread(fd_, into, length, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error = n < 0 ? errno : EIO;
                return false;
            }
            into += n;
            offset += static_cast<std::uint64_t>(n);
            length -= static_cast<std::size_t>(n);
        }
        return true;
    };
    bool failed = false;
    const bool found = ContainsBackward(Size(), read, needle, failed);
    if (failed) Fail("Datei kann nicht gelesen werden", path_, error);
    return found;
}

bool LockedDiary::EndsInsideLine() {
    const std::uint64_t size = Size();
    if (size == 0) return false;
    char last = 0;
    if (::pread(fd_, &last, 1, static_cast<off_t>(size - 1)) != 1) {
        Fail("Datei kann nicht gelesen werden", path_, errno != 0 ? errno : EIO);
    }
    return last != '\n' && last != '\r';
}

void LockedDiary::RequireStillThere(bool afterWrite) {
    struct stat info {};
    const bool same = ::stat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_;
    if (same) return;
    if (!afterWrite) FailNotFound(path_);
    throw LogError("Die Datei wurde während des Schreibens entfernt oder ersetzt, der Eintrag fehlt darin: " +
                   ShownPath(path_));
}

void LockedDiary::Append(std::string_view bytes) {
    RequireStillThere(false);
    const std::uint64_t before = Size();
    std::size_t written = 0;
    int error = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    // Not reported as recorded before it is on the disk: a power cut must not take it.
    if (error == 0 && ::fdatasync(fd_) != 0) error = errno;
    if (error != 0) {
        // A torn line is worse than none. Under the lock only editors can have written
        // since, and then the file is left alone.
        if (written > 0 && Size() == before + written) {
            while (::ftruncate(fd_, static_cast<off_t>(before)) != 0 && errno == EINTR) {
            }
        }
        Fail("Schreiben in die Datei fehlgeschlagen", path_, error);
    }
    RequireStillThere(true);
}

void RecordObservation(const LocalDateTime& now, const EntryInput& input, const WeekdayNames& names,
                       const fs::path& programDir, const LocalTimeAt& localAt) {
    // A relative path would be resolved against whatever the current folder is.
    if (programDir.empty() || !programDir.is_absolute()) {
        throw LogError(
            "Der Ordner des Programms lässt sich nicht bestimmen, daher ist unbekannt, wo das "
            "Tagebuch liegt.");
    }
    const PreparedRecord record = PrepareRecord(now, input, names, localAt);
    LockedDiary diary(LogPath(programDir));
    const bool present = diary.Contains(record.header);
    diary.Append(RecordBytes(record, present, diary.EndsInsideLine()));
}

}  // namespace suelvan::platform
