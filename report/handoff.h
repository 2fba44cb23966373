// One piece of bytes at a time worked on by a thread of its own while the caller makes
// the next: hashing the diary beside its counting, writing an output beside its making.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string_view>
#include <thread>

namespace suelvan::report {

class Handoff {
   public:
    explicit Handoff(std::function<void(std::string_view)> work);
    // Lets the piece in hand be finished first: it lives in the caller's memory.
    ~Handoff();
    Handoff(const Handoff&) = delete;
    Handoff& operator=(const Handoff&) = delete;

    // Once the piece before is done; `piece` must stay until the next is handed over or
    // Wait returns. Throws what the work on the piece before threw.
    void Hand(std::string_view piece);
    // The piece in hand done. Throws what the work on it threw.
    void Wait();

   private:
    void Run();

    std::function<void(std::string_view)> work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string_view pending_;
    bool busy_ = false;
    bool ended_ = false;
    std::exception_ptr failure_;
    std::thread thread_;  // last: starts once the rest is made
};

}  // namespace suelvan::report
