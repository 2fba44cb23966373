// Starts a program and reports when its window first shows painted content, and its
// peak memory. Usage: paint_probe TITLE PROGRAM [ARGS...]; prints "MICROSECONDS PEAK_KIB".
// TITLE is matched against the UTF-8 _NET_WM_NAME. "Painted" means the top-level window
// titled TITLE shows at least three colours (its background and anti-aliased text) on an
// X server whose root is black (Xvfb -br).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <thread>

namespace {

Window FindWindow(Display* display, Window parent, const char* title) {
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count)) return 0;
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* name = nullptr;
        if (XGetWindowProperty(display, children[i], netWmName, 0, 256, False, utf8, &type, &format, &items,
                               &after, &name) == Success &&
            name) {
            XWindowAttributes attributes;
            // Qt also names a hidden 1x1 leader window after the title: skip it.
            if (std::strcmp(reinterpret_cast<const char*>(name), title) == 0 &&
                XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable) {
                found = children[i];
            }
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

bool Painted(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    // Small tiles spread over the window, not the whole of it: a window is painted in one
    // go, and copying a large one whole every half millisecond would keep the X server
    // from showing it.
    std::set<unsigned long> colours;
    for (int tile = 0; tile < 16 && colours.size() < 3; ++tile) {
        const int x = attributes.width * (tile % 4) / 4, y = attributes.height * (tile / 4) / 4;
        const int width = std::min(attributes.width - x, 64), height = std::min(attributes.height - y, 32);
        XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (!image) return false;
        for (int j = 0; j < height && colours.size() < 3; j += 2) {
            for (int i = 0; i < width && colours.size() < 3; i += 2) colours.insert(XGetPixel(image, i, j));
        }
        XDestroyImage(image);
    }
    return colours.size() >= 3;
}

long PeakKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }  // windows come and go while we look

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TITLE PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 2;
    XSetErrorHandler(IgnoreErrors);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    while (true) {
        const Window window = FindWindow(display, DefaultRootWindow(display), argv[1]);
        if (window && Painted(display, window)) break;
        if (waitpid(pid, nullptr, WNOHANG) == pid) return 1;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const auto painted = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the peak includes settling
    const long peak = PeakKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::printf("%lld %ld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::microseconds>(painted - start).count()),
                peak);
    XCloseDisplay(display);
    return 0;
}
