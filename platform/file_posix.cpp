#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "core/failure.h"
#include "core/logfile.h"
#include "platform/file.h"

namespace fs = std::filesystem;

namespace suelvan::platform {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

FileIdentity IdentityOfStat(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

// Every byte of `bytes`, or how many went before an error.
std::size_t WriteAll(int fd, std::string_view bytes, std::error_code& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? LastError() : std::make_error_code(std::errc::io_error);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return IdentityOfStat(info);
}

std::optional<FileIdentity> IdentityOfStandardOutput() {
    struct stat info {};
    if (::fstat(STDOUT_FILENO, &info) != 0) return std::nullopt;
    return IdentityOfStat(info);
}

std::string CauseText(std::error_code cause) {
    if (cause.category() != std::generic_category() && cause.category() != std::system_category())
        return cause.message();
    switch (cause.value()) {
        case ENOSPC: return "kein Platz mehr auf dem Datenträger";
        case EDQUOT: return "Speicherkontingent erschöpft";
        case EACCES:
        case EPERM: return "keine Berechtigung";
        case EROFS: return "Datenträger nur lesbar";
        case EFBIG: return "Datei zu groß";
        case EIO: return "Ein-/Ausgabefehler";
        case ENOENT: return "nicht vorhanden";
        case ENOTDIR: return "ein Teil des Pfads ist kein Ordner";
        case EISDIR: return "ein Ordner";
        case ENXIO: return "niemand liest";
        case EEXIST: return "besteht schon";
        case ENAMETOOLONG: return "Name zu lang";
        case ELOOP: return "zu viele Verknüpfungen";
        case EMFILE:
        case ENFILE: return "zu viele offene Dateien";
        case EXDEV: return "auf einem anderen Datenträger";
        case EBUSY: return "belegt";
        case EPIPE: return "Empfänger beendet";
        default: return cause.message();
    }
}

fs::path PathOfArgument(const std::string& argument) { return fs::path(argument); }

File File::Open(const fs::path& path, Access access) {
    // No O_CREAT: nothing here makes a diary. O_NONBLOCK: a FIFO in its place must fail at
    // once, not wait for a writer.
    const int flags = access == Access::Read ? O_RDONLY : O_RDWR | O_APPEND;
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) throw Failure("Datei nicht gefunden: " + ShownPath(path));
        if (errno == EISDIR) throw Failure("Keine Datei, sondern ein Ordner: " + ShownPath(path));
        platform::Fail(access == Access::Read ? "Datei kann nicht gelesen werden"
                                              : "Datei kann nicht zum Schreiben geöffnet werden",
                       path, LastError());
    }
    File file(path, fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) file.Fail("Datei nicht zugänglich", LastError());
    if (S_ISDIR(info.st_mode)) throw Failure("Keine Datei, sondern ein Ordner: " + ShownPath(path));
    if (!S_ISREG(info.st_mode)) throw Failure("Keine gewöhnliche Datei: " + ShownPath(path));
    return file;
}

void File::Close(std::intptr_t handle) { ::close(Fd(handle)); }

FileState File::State() const {
    struct stat info {};
    if (::fstat(Fd(handle_), &info) != 0) Fail("Datei nicht zugänglich", LastError());
    return {static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            IdentityOfStat(info)};
}

std::size_t File::ReadAt(std::uint64_t offset, char* into, std::size_t length, std::error_code& error) const {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(Fd(handle_), into + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = LastError();
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::size_t File::Read(char* into, std::size_t length, std::error_code& error) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::read(Fd(handle_), into + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = LastError();
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::size_t File::Append(std::string_view bytes, std::error_code& error) {
    return WriteAll(Fd(handle_), bytes, error);
}

void File::LockExclusive() {
    int locked;
    while ((locked = ::flock(Fd(handle_), LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (locked != 0) Fail("Datei kann nicht gesperrt werden", LastError());
}

std::error_code File::SyncData() { return ::fdatasync(Fd(handle_)) == 0 ? std::error_code() : LastError(); }

std::error_code File::Truncate(std::uint64_t size) {
    int result;
    while ((result = ::ftruncate(Fd(handle_), static_cast<off_t>(size))) != 0 && errno == EINTR) {
    }
    return result == 0 ? std::error_code() : LastError();
}

OutputFile::OutputFile(const fs::path& name, std::optional<FileIdentity> diary)
    : name_(name), place_(name), diary_(diary) {
    if (name == "-") {
        target_ = IdentityOfStandardOutput();
        RefuseTheDiary(target_);
        handle_ = STDOUT_FILENO;
        direct_ = true;
        ownsHandle_ = false;
        return;
    }
    std::error_code ignored;
    if (fs::is_symlink(name, ignored)) {
        const fs::path resolved = fs::weakly_canonical(name, ignored);
        if (!ignored) place_ = resolved;
    }
    struct stat info {};
    if (::stat(place_.c_str(), &info) == 0) {
        target_ = IdentityOfStat(info);
        RefuseTheDiary(target_);
        if (S_ISDIR(info.st_mode)) Fail("ein Ordner");
        if (!S_ISREG(info.st_mode)) {
            // Never replaced: /dev/null stays a device, a FIFO keeps its reader. Without a
            // reader a FIFO fails at once instead of waiting.
            const int fd = ::open(place_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            if (fd < 0) Fail(LastError());
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            handle_ = fd;
            direct_ = true;
            return;
        }
    }
    // Beside its place, so the rename stays within one file system; 0666 less the umask,
    // or the permissions of the file it replaces.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && handle_ < 0; ++attempt) {
        temporary_ = place_;
        temporary_ += '.';
        temporary_ += std::to_string(random() % 1000000);
        const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) Fail(LastError());
        handle_ = fd;
    }
    if (handle_ < 0) Fail(std::make_error_code(std::errc::file_exists));
    if (target_) ::fchmod(Fd(handle_), info.st_mode & 07777);
}

OutputFile::~OutputFile() {
    if (handle_ >= 0 && ownsHandle_) ::close(Fd(handle_));
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void OutputFile::Write(std::string_view bytes) {
    std::error_code error;
    const std::size_t done = WriteAll(Fd(handle_), bytes, error);
    if (error) Fail(error);
    if (!temporary_.empty()) {
#ifdef __linux__
        // The disk starts on each block now, so the sync on commit waits for the last ones
        // only instead of the whole file.
        ::sync_file_range(Fd(handle_), static_cast<off_t>(written_), static_cast<off_t>(done),
                          SYNC_FILE_RANGE_WRITE);
        // What lies far enough behind is waited for and dropped from memory: a report of
        // gigabytes neither pushes the user's other files out of the cache nor leaves the
        // system reclaiming memory while it is written (twice as fast for 3 GB of CSV).
        constexpr std::uint64_t kBehind = 32 << 20;
        constexpr std::uint64_t kStep = 16 << 20;
        const std::uint64_t end = written_ + done;
        if (end >= dropped_ + kBehind + kStep) {
            const auto from = static_cast<off_t>(dropped_);
            const auto bytes = static_cast<off_t>(end - kBehind - dropped_);
            ::sync_file_range(
                Fd(handle_), from, bytes,
                SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
            ::posix_fadvise(Fd(handle_), from, bytes, POSIX_FADV_DONTNEED);
            dropped_ = end - kBehind;
        }
#endif
    }
    written_ += done;
}

void OutputFile::Commit() {
    if (direct_) return;
    // Checked on disk before the rename: a size limit can cut a write short silently.
    struct stat info {};
    if (::fstat(Fd(handle_), &info) != 0) Fail(LastError());
    if (static_cast<std::uint64_t>(info.st_size) != written_) Fail("unvollständig geschrieben");
    if (::fdatasync(Fd(handle_)) != 0) Fail(LastError());
    const int fd = Fd(handle_);
    handle_ = -1;
    if (::close(fd) != 0) Fail(LastError());
    RefuseTheDiary(IdentityOf(place_));  // a link may have been turned to it meanwhile
    if (::rename(temporary_.c_str(), place_.c_str()) != 0) Fail(LastError());
    temporary_.clear();
}

}  // namespace suelvan::platform
