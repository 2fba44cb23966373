#include "report/read_diary.h"

#include <algorithm>
#include <future>
#include <memory>
#include <optional>

#include "core/diary_reader.h"
#include "core/entry_order.h"
#include "platform/sha256.h"

namespace fs = std::filesystem;

namespace suelvan::report {
namespace {

constexpr std::size_t kChunk = 4 << 20;

// Hands out the file in chunks up to the size it had when opened, so a diary growing
// meanwhile cannot keep us reading. With a hash, a second thread reads and hashes the
// next chunk while the caller counts the last. Without one (the window, which reads while
// Qt starts) the caller's thread reads too, in chunks that stay in the cache: a third busy
// thread would slow Qt's start down.
class Chunks {
   public:
    // The bytes from `start` up to `size`.
    Chunks(const platform::File& file, std::uint64_t start, std::uint64_t size, bool hashed)
        : file_(file),
          start_(start),
          size_(size - start),
          policy_(hashed ? std::launch::async : std::launch::deferred),
          // A sixteenth of the file up to 4 MiB: the fresh pages of larger ones cost more
          // to fault in than a small file takes to read. Not zeroed, since reads fill them.
          chunkSize_(static_cast<std::size_t>(
              hashed ? std::clamp<std::uint64_t>(size / 16, std::min<std::uint64_t>(size, 256 << 10), kChunk)
                     : std::min<std::uint64_t>(size, 256 << 10))),
          buffers_{std::make_unique_for_overwrite<char[]>(chunkSize_),
                   std::make_unique_for_overwrite<char[]>(chunkSize_)} {
        if (hashed) hash_.emplace();
        next_ = std::async(policy_, &Chunks::ReadInto, this, buffers_[0].get());
    }

    // The next chunk; empty at the end. Throws Failure on a read error.
    std::string_view Next() {
        if (done_) return {};
        const std::size_t bytes = next_.get();
        got_ += bytes;
        done_ = bytes < chunkSize_ || got_ >= size_;
        char* current = buffers_[current_].get();
        current_ ^= 1;
        if (!done_) next_ = std::async(policy_, &Chunks::ReadInto, this, buffers_[current_].get());
        return {current, bytes};
    }

    std::uint64_t Got() const { return got_; }
    std::string HexDigest() { return hash_ ? hash_->HexDigest() : std::string(); }

   private:
    std::size_t ReadInto(char* buffer) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(chunkSize_, size_ - requested_));
        std::error_code error;
        // Fewer than asked only when cut shorter meanwhile.
        const std::size_t bytes = file_.ReadAt(start_ + requested_, buffer, want, error);
        if (error) file_.Fail("Datei kann nicht gelesen werden", error);
        requested_ += bytes;
        if (hash_) hash_->Update(buffer, bytes);
        return bytes;
    }

    const platform::File& file_;
    std::uint64_t start_;
    std::uint64_t size_;
    std::launch policy_;
    std::size_t chunkSize_;
    std::unique_ptr<char[]> buffers_[2];
    std::optional<platform::Sha256> hash_;
    std::future<std::size_t> next_;
    std::uint64_t requested_ = 0;
    std::uint64_t got_ = 0;
    std::size_t current_ = 0;
    bool done_ = false;
};

// What reading on needs: the last section's bytes, when they are few enough to hold.
std::optional<Onward> OnwardFrom(const platform::File& file, const DiaryReader& reader,
                                 const ReportBuilder& builder, std::uint64_t size) {
    constexpr std::uint64_t kMostHeld = 1 << 20;
    const DiaryReader::Resume& section = reader.LastSection();
    // Without a header there is nothing to read on from but the start.
    if (section.offset == 0 || size - section.offset > kMostHeld) return std::nullopt;
    Onward onward{section, std::string(static_cast<std::size_t>(size - section.offset), '\0'), reader.Lines(),
                  builder.FirstDay(), builder.LastDay()};
    std::error_code error;
    if (file.ReadAt(section.offset, onward.bytes.data(), onward.bytes.size(), error) != onward.bytes.size())
        return std::nullopt;
    return onward;
}

}  // namespace

ReadDiaryResult ReadDiary(const fs::path& path, const Period& period, const NightRule& night,
                          const ReadOptions& options) {
    std::error_code ignored;
    const fs::path absolute = fs::absolute(path, ignored).lexically_normal();
    auto file =
        std::make_shared<platform::File>(platform::File::Open(absolute, platform::File::Access::Read));
    const platform::FileState state = file->State();

    ReportBuilder builder(period, night, options.entries);
    // Everything kept: room for the entries a file of this size may hold (a line is some
    // 30 bytes; too much room costs address space only), so half a million are not moved
    // over and over as the vector grows.
    if (!period.from && !period.to && !period.night)
        builder.Reserve(static_cast<std::size_t>(std::min<std::uint64_t>(state.size / 20, 1u << 22)));
    DiarySink sink = builder.Sink();
    std::vector<int> sections;
    if (options.sections)
        sink.section = [&](std::optional<int> day) { sections.push_back(day.value_or(EntryOrder::kNoDay)); };
    DiaryReader reader(std::move(sink), options.entries && options.notes);
    reader.LimitTo(period);
    reader.AcceptWeekdays(options.weekdays);
    Chunks chunks(*file, 0, state.size, options.hashed);
    for (std::string_view chunk = chunks.Next(); !chunk.empty(); chunk = chunks.Next()) reader.Feed(chunk);
    reader.Finish();
    ReadDiaryResult read{{absolute, chunks.Got(), chunks.HexDigest(), state.identity, state.modified},
                         builder.Finish(),
                         options.entries && options.notes,
                         options.entries,
                         std::move(file),
                         std::move(sections),
                         period,
                         options.weekdays,
                         {}};
    if (options.onward && options.entries)
        read.onward = OnwardFrom(*read.file, reader, builder, read.info.bytes);
    return read;
}

std::optional<ReadDiaryResult> ReadOnward(const fs::path& path, ReadDiaryResult& held) {
    if (!held.onward || !held.entriesKept || !held.file) return std::nullopt;
    const Onward& from = *held.onward;
    if (platform::IdentityOf(path) != held.info.identity) return std::nullopt;  // replaced
    const platform::FileState state = held.file->State();
    if (state.size <= held.info.bytes) return std::nullopt;
    // The last section as it was read: else the file was rewritten, not appended to.
    std::string section(from.bytes.size(), '\0');
    std::error_code error;
    if (held.file->ReadAt(from.section.offset, section.data(), section.size(), error) != section.size() ||
        section != from.bytes)
        return std::nullopt;
    Report& before = held.report;
    // A line not counted beyond those listed could not be told apart from a new one.
    if (before.undatedCount > before.undatedLines.size() ||
        before.unrecognisedCount > before.unrecognisedLines.size())
        return std::nullopt;

    // The last section and what follows, as a reading of the whole file sees them.
    std::vector<DiaryEntry> entries;
    std::vector<std::uint64_t> undated;
    std::vector<UnrecognisedLine> unrecognised;
    DiaryReader reader({[&](DiaryEntry&& e) { entries.push_back(std::move(e)); },
                        [&](std::uint64_t line) { undated.push_back(line); },
                        [&](std::uint64_t line, std::string text) {
                            unrecognised.push_back({line, std::move(text)});
                        },
                        {}},
                       held.notesKept);
    reader.LimitTo(held.period);
    reader.AcceptWeekdays(held.weekdays);
    reader.StartAt(from.section);
    Chunks chunks(*held.file, from.section.offset, state.size, false);
    for (std::string_view chunk = chunks.Next(); !chunk.empty(); chunk = chunks.Next()) reader.Feed(chunk);
    reader.Finish();

    // What was read of the section before must be read the same now; then only the rest
    // is counted on.
    const auto old = [&](std::uint64_t line) {
        return line > from.section.linesBefore && line <= from.lines;
    };
    const auto same = [](const DiaryEntry& a, const DiaryEntry& b) {
        return a.line == b.line && a.day == b.day && a.minute == b.minute && a.level == b.level &&
               a.landing == b.landing && a.noteOffset == b.noteOffset && a.noteBytes == b.noteBytes;
    };
    std::vector<const DiaryEntry*> heldOld, readOld;
    for (const DiaryEntry& e : before.entries)
        if (old(e.line)) heldOld.push_back(&e);
    for (const DiaryEntry& e : entries)
        if (old(e.line) && InPeriod(e, held.period, before.night)) readOld.push_back(&e);
    const auto byLine = [](const DiaryEntry* a, const DiaryEntry* b) { return a->line < b->line; };
    std::sort(heldOld.begin(), heldOld.end(), byLine);
    std::sort(readOld.begin(), readOld.end(), byLine);
    if (!std::equal(heldOld.begin(), heldOld.end(), readOld.begin(), readOld.end(),
                    [&](const DiaryEntry* a, const DiaryEntry* b) { return same(*a, *b); }))
        return std::nullopt;
    const auto oldUndated = [&](const std::vector<std::uint64_t>& lines) {
        std::vector<std::uint64_t> kept;
        for (const std::uint64_t line : lines)
            if (old(line)) kept.push_back(line);
        return kept;
    };
    const auto oldUnrecognised = [&](const std::vector<UnrecognisedLine>& lines) {
        std::vector<std::pair<std::uint64_t, std::string_view>> kept;
        for (const UnrecognisedLine& line : lines)
            if (old(line.line)) kept.emplace_back(line.line, line.text);
        return kept;
    };
    if (oldUndated(before.undatedLines) != oldUndated(undated) ||
        oldUnrecognised(before.unrecognisedLines) != oldUnrecognised(unrecognised))
        return std::nullopt;

    ReportBuilder builder(std::move(before), held.period, from.firstDay, from.lastDay, true);
    for (DiaryEntry& e : entries)
        if (e.line > from.lines) builder.Add(std::move(e));
    for (const std::uint64_t line : undated)
        if (line > from.lines) builder.AddUndated(line);
    for (UnrecognisedLine& line : unrecognised)
        if (line.line > from.lines) builder.AddUnrecognised(line.line, std::move(line.text));
    ReadDiaryResult read{
        {held.info.path, from.section.offset + chunks.Got(), {}, held.info.identity, state.modified},
        builder.Finish(),
        held.notesKept,
        true,
        held.file,
        {},
        held.period,
        held.weekdays,
        {}};
    read.onward = OnwardFrom(*read.file, reader, builder, read.info.bytes);
    return read;
}

}  // namespace suelvan::report
