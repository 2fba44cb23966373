#include "platform/process.h"

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace suelvan::platform {

void IgnoreFileSizeSignal() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

void UseLargePages(std::size_t bytes) {
#if defined(__linux__) && defined(__GLIBC__)
    constexpr std::uintptr_t kLarge = 2 << 20;
    mallopt(M_ARENA_MAX, 1);              // threads too, else each gets an arena of small pages
    mallopt(M_MMAP_THRESHOLD, 32 << 20);  // glibc's largest: big buffers come from the heap too
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());  // a short run keeps its heap
    mallopt(M_TOP_PAD, static_cast<int>(std::min<std::size_t>(bytes, 1u << 30)));
    const auto start = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void* volatile grown = std::malloc(kLarge);  // volatile: the pair is not optimised away
    std::free(grown);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t from = (start + kLarge - 1) & ~(kLarge - 1);
    // Without transparent huge pages this fails, and nothing else changes.
    if (end > from) madvise(reinterpret_cast<void*>(from), end - from, MADV_HUGEPAGE);
#else
    (void)bytes;
#endif
}

}  // namespace suelvan::platform
