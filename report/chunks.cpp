#include "report/chunks.h"

#include <algorithm>

#include "platform/sha256.h"
#include "report/handoff.h"

namespace suelvan::report {

// Hashes the chunks handed to it, in order, on a thread of its own, while the caller
// counts them: the digest costs no time of the counting's.
class Hasher {
   public:
    void Hash(std::string_view bytes) { worker_.Hand(bytes); }
    std::string HexDigest() {
        worker_.Wait();
        return hash_.HexDigest();
    }

   private:
    platform::Sha256 hash_;
    Handoff worker_{[this](std::string_view bytes) { hash_.Update(bytes.data(), bytes.size()); }};
};

Chunks::Chunks(const platform::File& file, std::uint64_t start, std::uint64_t size, bool hashed)
    : file_(file),
      start_(start),
      size_(size - start),
      // Not zeroed, since reads fill them.
      buffers_{std::make_unique_for_overwrite<char[]>(kChunk),
               std::make_unique_for_overwrite<char[]>(kChunk)} {
    if (hashed) hasher_ = std::make_unique<Hasher>();
}

Chunks::~Chunks() = default;

std::string_view Chunks::Next() {
    if (done_) return {};
    // Two chunks back in this buffer: hashed before the last one was handed on.
    char* buffer = buffers_[current_].get();
    current_ ^= 1;
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size_ - got_));
    std::error_code error;
    // Fewer than asked only when cut shorter meanwhile.
    const std::size_t bytes = want == 0 ? 0 : file_.ReadAt(start_ + got_, buffer, want, error);
    if (error) file_.Fail("Datei kann nicht gelesen werden", error);
    got_ += bytes;
    done_ = bytes < want || got_ >= size_;
    if (hasher_ && bytes > 0) hasher_->Hash({buffer, bytes});
    return {buffer, bytes};
}

std::string Chunks::HexDigest() { return hasher_ ? hasher_->HexDigest() : std::string(); }

std::pair<std::string, std::uint64_t> Digest(const platform::File& file, std::uint64_t size) {
    platform::Sha256 hash;
    Chunks chunks(file, 0, size, false);
    for (std::string_view chunk = chunks.Next(); !chunk.empty(); chunk = chunks.Next())
        hash.Update(chunk.data(), chunk.size());
    return {hash.HexDigest(), chunks.Got()};
}

std::uint64_t ReadThrough(DiaryReader& reader, const platform::File& file, std::uint64_t start,
                          std::uint64_t size) {
    Chunks chunks(file, start, size, false);
    for (std::string_view chunk = chunks.Next(); !chunk.empty(); chunk = chunks.Next()) reader.Feed(chunk);
    reader.Finish();
    return chunks.Got();
}

}  // namespace suelvan::report
