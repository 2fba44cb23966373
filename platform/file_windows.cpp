// The file layer on Windows: wide paths throughout (CreateFileW), never the ANSI code page.
#include <windows.h>

#include <random>

#include "core/failure.h"
#include "core/logfile.h"
#include "platform/file.h"

namespace fs = std::filesystem;

namespace suelvan::platform {
namespace {

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Handle(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

std::error_code LastError() { return {static_cast<int>(::GetLastError()), std::system_category()}; }

std::optional<FileIdentity> IdentityOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsDirectory(const fs::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Every byte of `bytes`, or how many went before an error. `offset` of all ones: the end.
std::size_t WriteAll(HANDLE handle, std::string_view bytes, std::error_code& error, bool atEnd) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        OVERLAPPED end{};
        end.Offset = end.OffsetHigh = 0xFFFFFFFF;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        if (!::WriteFile(handle, bytes.data() + done, chunk, &written, atEnd ? &end : nullptr)) {
            error = LastError();
            break;
        }
        if (written == 0) {
            error = std::make_error_code(std::errc::io_error);
            break;
        }
        done += written;
    }
    return done;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const fs::path& path) {
    const HANDLE handle = ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    const std::optional<FileIdentity> identity = IdentityOfHandle(handle);
    ::CloseHandle(handle);
    return identity;
}

std::optional<FileIdentity> IdentityOfStandardOutput() {
    return IdentityOfHandle(::GetStdHandle(STD_OUTPUT_HANDLE));
}

std::string CauseText(std::error_code cause) {
    if (cause.category() != std::system_category()) return cause.message();
    switch (cause.value()) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return "kein Platz mehr auf dem Datenträger";
        case ERROR_NOT_ENOUGH_QUOTA: return "Speicherkontingent erschöpft";
        case ERROR_ACCESS_DENIED: return "keine Berechtigung";
        case ERROR_WRITE_PROTECT: return "Datenträger nur lesbar";
        case ERROR_FILE_TOO_LARGE: return "Datei zu groß";
        case ERROR_CRC:
        case ERROR_IO_DEVICE: return "Ein-/Ausgabefehler";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return "nicht vorhanden";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return "von einem anderen Programm belegt";
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return "besteht schon";
        case ERROR_FILENAME_EXCED_RANGE: return "Name zu lang";
        case ERROR_NO_DATA:
        case ERROR_BROKEN_PIPE: return "Empfänger beendet";
        default: return "Windows-Fehler " + std::to_string(cause.value());
    }
}

fs::path PathOfArgument(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

File File::Open(const fs::path& path, Access access) {
    const DWORD rights = access == Access::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const HANDLE handle = ::CreateFileW(path.c_str(), rights, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const std::error_code error = LastError();
        if (IsDirectory(path)) throw Failure("Keine Datei, sondern ein Ordner: " + ShownPath(path));
        if (error.value() == ERROR_FILE_NOT_FOUND || error.value() == ERROR_PATH_NOT_FOUND)
            throw Failure("Datei nicht gefunden: " + ShownPath(path));
        platform::Fail(access == Access::Read ? "Datei kann nicht gelesen werden"
                                              : "Datei kann nicht zum Schreiben geöffnet werden",
                       path, error);
    }
    File file(path, Handle(handle));
    if (::GetFileType(handle) != FILE_TYPE_DISK) throw Failure("Keine gewöhnliche Datei: " + ShownPath(path));
    return file;
}

void File::Close(std::intptr_t handle) { ::CloseHandle(H(handle)); }

FileState File::State() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(H(handle_), &info)) Fail("Datei nicht zugänglich", LastError());
    // 100 ns steps since 1601 as nanoseconds since 1970.
    const std::uint64_t ticks =
        (std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
    return {(std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
            (static_cast<std::int64_t>(ticks) - 116444736000000000) * 100,
            {info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow}};
}

std::size_t File::ReadAt(std::uint64_t offset, char* into, std::size_t length, std::error_code& error) const {
    std::size_t done = 0;
    while (done < length) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + done);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        DWORD got = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1 << 30));
        if (!::ReadFile(H(handle_), into + done, chunk, &got, &at)) {
            if (::GetLastError() != ERROR_HANDLE_EOF) error = LastError();
            break;
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

std::size_t File::Read(char* into, std::size_t length, std::error_code& error) {
    std::size_t done = 0;
    while (done < length) {
        DWORD got = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1 << 30));
        if (!::ReadFile(H(handle_), into + done, chunk, &got, nullptr)) {
            error = LastError();
            break;
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

std::size_t File::Append(std::string_view bytes, std::error_code& error) {
    return WriteAll(H(handle_), bytes, error, true);
}

void File::LockExclusive() {
    OVERLAPPED whole{};
    if (!::LockFileEx(H(handle_), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
        Fail("Datei kann nicht gesperrt werden", LastError());
}

std::error_code File::SyncData() { return ::FlushFileBuffers(H(handle_)) ? std::error_code() : LastError(); }

std::error_code File::Truncate(std::uint64_t size) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(H(handle_), at, nullptr, FILE_BEGIN) || !::SetEndOfFile(H(handle_)))
        return LastError();
    return {};
}

OutputFile::OutputFile(const fs::path& name, std::optional<FileIdentity> diary)
    : name_(name), place_(name), diary_(diary) {
    if (name == "-") {
        target_ = IdentityOfStandardOutput();
        RefuseTheDiary(target_);
        handle_ = Handle(::GetStdHandle(STD_OUTPUT_HANDLE));
        direct_ = true;
        ownsHandle_ = false;
        return;
    }
    if (IsDirectory(place_)) Fail("ein Ordner");
    target_ = IdentityOf(place_);
    RefuseTheDiary(target_);
    const HANDLE existing = ::CreateFileW(place_.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing != INVALID_HANDLE_VALUE && ::GetFileType(existing) != FILE_TYPE_DISK) {
        handle_ = Handle(existing);  // a device such as NUL, or a pipe: written directly
        direct_ = true;
        return;
    }
    if (existing != INVALID_HANDLE_VALUE) ::CloseHandle(existing);
    std::random_device random;
    for (int attempt = 0; attempt < 100 && handle_ == -1; ++attempt) {
        temporary_ = place_;
        temporary_ += L'.';
        temporary_ += std::to_wstring(random() % 1000000);
        const HANDLE made = ::CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (made == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS) continue;
        if (made == INVALID_HANDLE_VALUE) {
            temporary_.clear();
            Fail(LastError());
        }
        handle_ = Handle(made);
    }
    if (handle_ == -1) Fail(std::make_error_code(std::errc::file_exists));
}

OutputFile::~OutputFile() {
    if (handle_ != -1 && ownsHandle_) ::CloseHandle(H(handle_));
    if (!temporary_.empty()) ::DeleteFileW(temporary_.c_str());
}

void OutputFile::Write(std::string_view bytes) {
    std::error_code error;
    written_ += WriteAll(H(handle_), bytes, error, false);
    if (error) Fail(error);
}

void OutputFile::Commit() {
    if (direct_) return;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(H(handle_), &size)) Fail(LastError());
    if (static_cast<std::uint64_t>(size.QuadPart) != written_) Fail("unvollständig geschrieben");
    if (!::FlushFileBuffers(H(handle_))) Fail(LastError());
    const HANDLE made = H(handle_);
    handle_ = -1;
    if (!::CloseHandle(made)) Fail(LastError());
    RefuseTheDiary(IdentityOf(place_));
    if (!::MoveFileExW(temporary_.c_str(), place_.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail(LastError());
    temporary_.clear();
}

}  // namespace suelvan::platform
