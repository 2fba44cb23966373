#include "core/logfile.h"

#include <algorithm>
#include <vector>

#include "core/encoding.h"
#include "core/minutes.h"

namespace fs = std::filesystem;

namespace suelvan {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

fs::path LogPath(const fs::path& programDir) { return programDir / fs::path(kLogFileName); }

std::string ShownPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::vector<std::string> HeaderWeekdays(const WeekdayNames& names) {
    std::vector<std::string> bytes;
    for (const std::string& name : names) bytes.push_back(EncodeWindows1252(name));
    return bytes;
}

PreparedRecord PrepareRecord(const LocalDateTime& now, const EntryInput& input, const WeekdayNames& names,
                             const LocalTimeAt& localAt) {
    const LocalDateTime entryTime = ApplyMinutesBack(now, input.minutesText, localAt);
    return {EncodeWindows1252(MakeDayHeader(now, names)),
            EncodeWindows1252(ComposeEntry(entryTime, input.loudness, input.landing, input.note))};
}

std::string RecordBytes(const PreparedRecord& record, bool headerPresent, bool endsInsideLine) {
    std::string bytes;
    if (endsInsideLine) bytes.append(kLineEnd);
    if (!headerPresent) bytes.append(kLineEnd).append(record.header).append(kLineEnd);
    bytes.append(record.line).append(kLineEnd);
    return bytes;
}

bool ContainsBackward(std::uint64_t total, const ReadAt& read, std::string_view needle, bool& readFailed,
                      std::size_t firstChunk, std::size_t maxChunk) {
    readFailed = false;
    if (needle.empty()) return true;
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
        if (!read(start, buffer.data(), length)) {
            readFailed = true;
            return false;
        }
        if (std::string_view(buffer.data(), length).find(needle) != std::string_view::npos) return true;
        pos = start;
        step = std::min<std::uint64_t>(step * 4, std::max<std::size_t>(maxChunk, 1));
    }
    return false;
}

bool ContainsBackward(std::istream& in, std::string_view needle, std::size_t firstChunk,
                      std::size_t maxChunk) {
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) {
        in.setstate(std::ios::badbit);
        return false;
    }
    const auto read = [&](std::uint64_t offset, char* into, std::size_t length) {
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(into, static_cast<std::streamsize>(length));
        return in.gcount() == static_cast<std::streamsize>(length);
    };
    bool failed = false;
    const bool found =
        ContainsBackward(static_cast<std::uint64_t>(size), read, needle, failed, firstChunk, maxChunk);
    if (failed) in.setstate(std::ios::badbit);
    return found;
}

std::uint64_t CountLineEnds(std::string_view bytes, bool& afterCr) {
    std::uint64_t ends = 0;
    for (const char c : bytes) {
        if (c == '\n') {
            if (!afterCr) ++ends;
        } else if (c == '\r') {
            ++ends;
        }
        afterCr = c == '\r';
    }
    return ends;
}

Leftover LeftoverOf(std::uint64_t linesBefore, bool afterCr, std::string_view written) {
    const std::size_t lastEnd = written.find_last_of("\r\n");
    const std::string_view whole =
        lastEnd == std::string_view::npos ? std::string_view() : written.substr(0, lastEnd + 1);
    const std::string_view torn = written.substr(whole.size());
    return {linesBefore + CountLineEnds(whole, afterCr) + 1,
            torn.empty() ? std::string() : DecodeDiaryLine(torn)};
}

}  // namespace suelvan
