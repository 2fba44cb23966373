#include "report/output.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace suelvan::report {

bool IsDiary(const std::filesystem::path& name, const std::filesystem::path& diary) {
    const std::optional<platform::FileIdentity> d = platform::IdentityOf(diary);
    if (!d) return false;
    return (name == "-" ? platform::IdentityOfStandardOutput() : platform::IdentityOf(name)) == d;
}

void WriteOutput(const std::filesystem::path& name, const std::optional<platform::FileIdentity>& diary,
                 std::string_view bytes) {
    bool given = false;
    WriteOutput(name, diary, [&](std::string& block) {
        if (!given) block.assign(bytes);
        given = true;
        return false;
    });
}

void WriteOutput(const std::filesystem::path& name, const std::optional<platform::FileIdentity>& diary,
                 const std::function<bool(std::string& block)>& next) {
    platform::OutputFile output(name, diary);
    WriteOutput(output, next);
}

void WriteOutput(platform::OutputFile& output, const std::function<bool(std::string& block)>& next) {
    // Each block is written on a second thread while the next one is made, the same thread
    // for every block: a CSV may have thousands.
    std::mutex mutex;
    std::condition_variable changed;
    std::string_view pending;
    bool busy = false;
    bool ended = false;
    std::exception_ptr failure;
    std::thread writer([&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return busy || ended; });
            if (!busy) return;
            lock.unlock();
            try {
                output.Write(pending);
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            busy = false;
            changed.notify_all();
        }
    });
    // Once the block before is written: its failure, if any, is thrown.
    const auto written = [&] {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return !busy; });
        if (failure) std::rethrow_exception(failure);
    };
    const auto stop = [&] {
        {
            const std::lock_guard lock(mutex);
            ended = true;
        }
        changed.notify_all();
        writer.join();
    };
    std::string blocks[2];
    try {
        for (std::size_t i = 0;; i ^= 1) {
            blocks[i].clear();
            const bool more = next(blocks[i]);
            written();
            if (!blocks[i].empty()) {
                {
                    const std::lock_guard lock(mutex);
                    pending = blocks[i];
                    busy = true;
                }
                changed.notify_all();
            }
            if (!more) break;
        }
        written();
    } catch (...) {
        // The block being written is held here: the writer is let finish it first.
        stop();
        throw;
    }
    stop();
    output.Commit();
}

}  // namespace suelvan::report
