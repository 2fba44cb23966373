// Files as both programs use them: the diary opened for reading or for appending, and the
// report's outputs written whole or not at all. One interface; the system's implementation
// stands beside it (file_posix.cpp, file_windows.cpp). Reads and writes go on after an interrupting signal,
// and what a user can act on fails as a Failure whose German text names the file and cause.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace suelvan::platform {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct FileState {
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since 1970
    FileIdentity identity;
};

// What a path names now, links followed; nothing when it names nothing.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path);
// What standard output is.
std::optional<FileIdentity> IdentityOfStandardOutput();

// "<what>: <path> (<cause>)"
[[noreturn]] void Fail(std::string_view what, const std::filesystem::path& path, std::error_code cause);
// The system's words for a cause, in German for the common ones.
std::string CauseText(std::error_code cause);
// A path given on the command line, as the system hands over its arguments: its own bytes
// on POSIX, UTF-8 made from the wide arguments on Windows.
std::filesystem::path PathOfArgument(const std::string& argument);

// An open file, closed with the object.
class File {
   public:
    enum class Access { Read, ReadAppend };
    // An existing regular file, never created; a directory, device or FIFO fails at once
    // instead of being read or waited on.
    static File Open(const std::filesystem::path& path, Access access);

    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File();

    explicit operator bool() const { return handle_ != kNone; }
    const std::filesystem::path& Path() const { return path_; }
    FileState State() const;
    // Up to `length` bytes at `offset`, fewer only where the file ends first; on an error,
    // what was read before it, and `error` set.
    std::size_t ReadAt(std::uint64_t offset, char* into, std::size_t length, std::error_code& error) const;
    // The same at the current position, which moves on.
    std::size_t Read(char* into, std::size_t length, std::error_code& error);
    // All of `bytes` at the end; on an error, how many went before it, and `error` set.
    std::size_t Append(std::string_view bytes, std::error_code& error);
    // Exclusive against other instances of the program, until the file is closed.
    void LockExclusive();
    std::error_code SyncData();
    std::error_code Truncate(std::uint64_t size);
    [[noreturn]] void Fail(std::string_view what, std::error_code cause) const;

   private:
    static constexpr std::intptr_t kNone = -1;
    static void Close(std::intptr_t handle);
    File(std::filesystem::path path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}

    std::filesystem::path path_;
    std::intptr_t handle_ = kNone;  // the system's descriptor or handle
};

// An output of the report. A regular or new file is made beside its place and put there
// only by Commit, so a failure leaves no partial file and never replaces one with less; a
// device or FIFO is written directly (a FIFO without a reader fails at once); "-" is
// standard output. Failures say "Ausgabe kann nicht geschrieben werden: <name> (<cause>)".
class OutputFile {
   public:
    // Never the diary: an output whose target is `diary` (through a link, a hard link, a
    // redirection or /proc/self/fd) fails, here and again just before it is put in place.
    explicit OutputFile(const std::filesystem::path& name, std::optional<FileIdentity> diary = std::nullopt);
    ~OutputFile();  // without Commit, what was made is removed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // What the output will replace or write to; nothing for a new file.
    std::optional<FileIdentity> Target() const { return target_; }
    void Write(std::string_view bytes);
    void Commit();

   private:
    [[noreturn]] void Fail(std::error_code cause) const;
    [[noreturn]] void Fail(const std::string& cause) const;
    void RefuseTheDiary(const std::optional<FileIdentity>& target) const;

    std::filesystem::path name_;   // as given, for messages
    std::filesystem::path place_;  // where it goes, links followed
    std::filesystem::path temporary_;
    std::intptr_t handle_ = -1;
    bool direct_ = false;  // standard output, a device or a FIFO
    bool ownsHandle_ = true;
    std::optional<FileIdentity> target_;
    std::optional<FileIdentity> diary_;
    std::uint64_t written_ = 0;
    std::uint64_t dropped_ = 0;  // written to the disk and out of the page cache before it
};

}  // namespace suelvan::platform
