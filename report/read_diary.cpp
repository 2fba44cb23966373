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
    Chunks(platform::File& file, std::uint64_t size, bool hashed)
        : file_(file),
          size_(size),
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
        const std::size_t bytes = file_.Read(buffer, want, error);
        if (error) file_.Fail("Datei kann nicht gelesen werden", error);
        requested_ += bytes;
        if (hash_) hash_->Update(buffer, bytes);
        return bytes;
    }

    platform::File& file_;
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
    Chunks chunks(*file, state.size, options.hashed);
    for (std::string_view chunk = chunks.Next(); !chunk.empty(); chunk = chunks.Next()) reader.Feed(chunk);
    reader.Finish();
    return {{absolute, chunks.Got(), chunks.HexDigest(), state.identity, state.modified},
            builder.Finish(),
            options.entries && options.notes,
            options.entries,
            std::move(file),
            std::move(sections),
            period,
            options.weekdays};
}

}  // namespace suelvan::report
