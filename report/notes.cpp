#include "report/notes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <openssl/evp.h>

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <string>

#include "core/encoding.h"

namespace suelvan::report {
namespace {

constexpr std::uint64_t kShownBytes = 64 * 1024;

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::unique_ptr<NoteFile> NoteFile::Open(const DiaryInfo& diary) {
    const int fd = ::open(diary.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || static_cast<std::uint64_t>(info.st_dev) != diary.device ||
        static_cast<std::uint64_t>(info.st_ino) != diary.inode) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<NoteFile>(new NoteFile(fd));
}

NoteFile::~NoteFile() { ::close(fd_); }

std::size_t NoteFile::ReadInto(char* to, std::uint64_t offset, std::uint64_t bytes) const {
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::pread(fd_, to + done, static_cast<std::size_t>(bytes) - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // cut shorter meanwhile: the window reads it again soon
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::string NoteFile::Read(std::uint64_t offset, std::uint64_t bytes) const {
    std::string text(static_cast<std::size_t>(bytes), '\0');
    text.resize(ReadInto(text.data(), offset, bytes));
    return text;
}

QString NoteFile::Note(const DiaryEntry& entry) const {
    if (!entry.note.empty() || entry.noteBytes == 0) return Utf8(entry.note);
    const std::string bytes = Read(entry.noteOffset, std::min(entry.noteBytes, kShownBytes));
    return QString::fromStdString(DecodeDiaryLine(bytes, entry.noteBytes > bytes.size()));
}

std::string_view NoteFile::Stream(const DiaryEntry& entry) {
    constexpr std::uint64_t kWindow = 1 << 20;
    if (entry.noteOffset < windowAt_ || entry.noteOffset + entry.noteBytes > windowAt_ + windowBytes_) {
        windowAt_ = entry.noteOffset;
        const std::uint64_t want = std::max(kWindow, entry.noteBytes);
        if (window_.size() < want) window_.resize(static_cast<std::size_t>(want));
        windowBytes_ = ReadInto(window_.data(), windowAt_, want);
    }
    const std::size_t at = static_cast<std::size_t>(entry.noteOffset - windowAt_);
    const std::string_view bytes = std::string_view(window_.data(), static_cast<std::size_t>(windowBytes_))
                                       .substr(std::min(at, static_cast<std::size_t>(windowBytes_)),
                                               static_cast<std::size_t>(entry.noteBytes));
    decoded_.clear();
    AppendDecodedLine(decoded_, bytes, false);
    return decoded_;
}

bool NoteFile::StillAsRead(const DiaryInfo& diary) const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || static_cast<std::uint64_t>(info.st_size) < diary.bytes) return false;
    const std::int64_t modified =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    if (modified == diary.modified) return true;
    if (diary.sha256.isEmpty()) return false;
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> hash(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!hash || EVP_DigestInit_ex(hash.get(), EVP_sha256(), nullptr) != 1) return false;
    constexpr std::uint64_t kPiece = 4 << 20;
    for (std::uint64_t at = 0; at < diary.bytes; at += kPiece) {
        const std::string piece = Read(at, std::min(kPiece, diary.bytes - at));
        if (piece.empty() || EVP_DigestUpdate(hash.get(), piece.data(), piece.size()) != 1) return false;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(hash.get(), digest, &length) != 1) return false;
    return QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length)).toHex() ==
           diary.sha256;
}

QString NoteOf(const DiaryEntry& entry, const NoteFile* file) {
    return file ? file->Note(entry) : Utf8(entry.note);
}

}  // namespace suelvan::report
