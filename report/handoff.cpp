#include "report/handoff.h"

namespace suelvan::report {

Handoff::Handoff(std::function<void(std::string_view)> work)
    : work_(std::move(work)), thread_([this] { Run(); }) {}

Handoff::~Handoff() {
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void Handoff::Hand(std::string_view piece) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        if (failure_) std::rethrow_exception(failure_);
        pending_ = piece;
        busy_ = true;
    }
    changed_.notify_all();
}

void Handoff::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    if (failure_) std::rethrow_exception(failure_);
}

void Handoff::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || ended_; });
        if (!busy_) return;
        lock.unlock();
        try {
            work_(pending_);
        } catch (...) {
            lock.lock();
            failure_ = std::current_exception();
            lock.unlock();
        }
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace suelvan::report
