// The diary read in chunks, hashed beside the reading when asked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "core/diary_reader.h"
#include "platform/file.h"

namespace suelvan::report {

class Hasher;

// Hands out the file in chunks up to the size it had when opened, so a diary growing
// meanwhile cannot keep us reading; chunks small enough to stay in the processor's cache
// between the reading and the counting. Hashed, each chunk is hashed on a thread of its
// own while the caller counts it.
class Chunks {
   public:
    // The bytes from `start` up to `size`.
    Chunks(const platform::File& file, std::uint64_t start, std::uint64_t size, bool hashed);
    ~Chunks();
    Chunks(const Chunks&) = delete;
    Chunks& operator=(const Chunks&) = delete;

    // The next chunk; empty at the end. Throws Failure on a read error.
    std::string_view Next();
    std::uint64_t Got() const { return got_; }
    // Lower-case hex of the bytes handed out; empty when not hashed.
    std::string HexDigest();

   private:
    static constexpr std::size_t kChunk = 256 << 10;

    const platform::File& file_;
    std::uint64_t start_;
    std::uint64_t size_;
    std::unique_ptr<char[]> buffers_[2];
    std::unique_ptr<Hasher> hasher_;
    std::uint64_t got_ = 0;
    std::size_t current_ = 0;
    bool done_ = false;
};

// The digest of the bytes up to `size`, read on their own, and how many were read.
std::pair<std::string, std::uint64_t> Digest(const platform::File& file, std::uint64_t size);

// Feeds `reader` the bytes from `start` up to `size`, unhashed, and finishes it; the bytes
// read.
std::uint64_t ReadThrough(DiaryReader& reader, const platform::File& file, std::uint64_t start,
                          std::uint64_t size);

}  // namespace suelvan::report
