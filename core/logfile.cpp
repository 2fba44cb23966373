#include "core/logfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "core/encoding.h"

namespace fs = std::filesystem;

namespace suelvan {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string Shown(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

[[noreturn]] void Fail(std::string_view what, const fs::path& path, int error) {
    throw LogError(std::string(what) + ": " + Shown(path) + " (" + std::generic_category().message(error) +
                   ")");
}

[[noreturn]] void FailNotFound(const fs::path& path) {
    throw LogError("Datei nicht gefunden: " + Shown(path));
}

// A directory, device or FIFO in the log's place must fail, not hang or be "read".
void RequireRegularFile(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) FailNotFound(path);
    if (error) Fail("Datei nicht zugänglich", path, error.value());
    if (status.type() == fs::file_type::directory) {
        throw LogError("Keine Datei, sondern ein Ordner: " + Shown(path));
    }
    if (status.type() != fs::file_type::regular) throw LogError("Keine gewöhnliche Datei: " + Shown(path));
}

// The header holds no line break, so searching the bytes is searching every line.
bool HeaderPresent(const fs::path& path, std::string_view header) {
    std::ifstream in;
    in.rdbuf()->pubsetbuf(nullptr, 0);  // chunks go straight into our buffer
    errno = 0;
    in.open(path, std::ios::binary);
    if (!in) {
        if (errno == ENOENT) FailNotFound(path);  // removed since it was checked
        Fail("Datei kann nicht gelesen werden", path, errno != 0 ? errno : EIO);
    }
    const bool found = ContainsBackward(in, header);
    if (in.bad()) Fail("Datei kann nicht gelesen werden", path, errno != 0 ? errno : EIO);
    return found;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Hands the whole record to the system in one write on a file opened for appending,
// so another instance appending at the same moment cannot interleave inside a line.
void Append(const fs::path& path, std::string_view record) {
    std::error_code sizeError;
    const std::uintmax_t sizeBefore = fs::file_size(path, sizeError);

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "ab"));
    if (!file) Fail("Datei kann nicht zum Schreiben geöffnet werden", path, errno);
    std::vector<char> buffer(record.size() + 1);
    std::setvbuf(file.get(), buffer.data(), _IOFBF, buffer.size());

    errno = 0;
    bool written = std::fwrite(record.data(), 1, record.size(), file.get()) == record.size() &&
                   std::fflush(file.get()) == 0;
    int error = errno;
    if (std::fclose(file.release()) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written) return;

    // A torn line is worse than none: take back what of this record reached the file,
    // unless the file changed beyond it in the meantime.
    std::error_code ignored;
    const std::uintmax_t sizeAfter = fs::file_size(path, ignored);
    if (!sizeError && !ignored && sizeAfter > sizeBefore && sizeAfter < sizeBefore + record.size()) {
        fs::resize_file(path, sizeBefore, ignored);
    }
    Fail("Schreiben in die Datei fehlgeschlagen", path, error != 0 ? error : EIO);
}

}  // namespace

fs::path LogPath(const fs::path& programDir) { return programDir / fs::path(kLogFileName); }

bool ContainsBackward(std::istream& in, std::string_view needle, std::size_t firstChunk,
                      std::size_t maxChunk) {
    if (needle.empty()) return true;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) {
        in.setstate(std::ios::badbit);
        return false;
    }
    const auto total = static_cast<std::uint64_t>(size);
    if (total < needle.size()) return false;

    // Each chunk reaches needle.size() - 1 bytes into the one searched before, so a
    // header split across a chunk boundary is still seen whole.
    const std::uint64_t overlap = needle.size() - 1;
    std::vector<char> buffer;
    std::uint64_t pos = total;
    std::uint64_t step = std::max<std::size_t>(firstChunk, 1);
    while (pos > 0) {
        const std::uint64_t start = pos - std::min(pos, step);
        const std::uint64_t end = std::min(total, pos + overlap);
        const auto length = static_cast<std::size_t>(end - start);
        if (buffer.size() < length) buffer.resize(length);
        in.seekg(static_cast<std::streamoff>(start));
        in.read(buffer.data(), static_cast<std::streamsize>(length));
        if (in.gcount() != static_cast<std::streamsize>(length)) {
            in.setstate(std::ios::badbit);
            return false;
        }
        if (std::string_view(buffer.data(), length).find(needle) != std::string_view::npos) return true;
        pos = start;
        step = std::min<std::uint64_t>(step * 4, std::max<std::size_t>(maxChunk, 1));
    }
    return false;
}

void RecordObservation(const LocalDateTime& now, const EntryInput& input, const WeekdayNames& names,
                       const fs::path& programDir) {
    const fs::path path = LogPath(programDir);
    const LocalDateTime entryTime = ApplyMinutesBack(now, input.minutesText);
    const std::string line =
        EncodeWindows1252(ComposeEntry(entryTime, input.loudness, input.landing, input.note));
    // Filed under today even when the minutes reach back into yesterday.
    const std::string header = EncodeWindows1252(MakeDayHeader(now, names));

    RequireRegularFile(path);
    std::string record;
    if (!HeaderPresent(path, header)) {
        record.append(kLineEnd).append(header).append(kLineEnd);
    }
    record.append(line).append(kLineEnd);
    Append(path, record);
}

}  // namespace suelvan
