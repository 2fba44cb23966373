#include "platform/process.h"

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
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

namespace {

bool Answers(const std::string& socketPath, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() + 1 >= sizeof address.sun_path) return true;  // not to be judged here
    std::memcpy(address.sun_path + (abstract ? 1 : 0), socketPath.data(), socketPath.size());
    const auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + socketPath.size() + (abstract ? 1 : 0));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return true;
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return connected;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::string DisplayProblem() {
    const std::string platform = Env("QT_QPA_PLATFORM");
    if (!platform.empty() && platform != "xcb" && !platform.starts_with("wayland")) return {};
    const std::string wayland = Env("WAYLAND_DISPLAY");
    if (!wayland.empty() && platform != "xcb") {
        const std::string path = wayland.starts_with('/') ? wayland : Env("XDG_RUNTIME_DIR") + "/" + wayland;
        if (Answers(path, false)) return {};
    }
    const std::string display = Env("DISPLAY");
    if (display.empty() && wayland.empty())
        return "Kein Bildschirm: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.";
    if (!display.empty()) {
        // ":N", ":N.S" or "unix:N" is a local socket; a display on another host is Qt's to try.
        const std::size_t colon = display.rfind(':');
        const std::string host = colon == std::string::npos ? display : display.substr(0, colon);
        if (colon == std::string::npos || (!host.empty() && host != "unix")) return {};
        const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
        const std::string socket = "/tmp/.X11-unix/X" + number;
        if (Answers(socket, true) || Answers(socket, false)) return {};
        return "Der Bildschirm " + display + " antwortet nicht (DISPLAY=" + display + ").";
    }
    return "Der Bildschirm " + wayland + " antwortet nicht (WAYLAND_DISPLAY=" + wayland + ").";
}

}  // namespace suelvan::platform
