// A two-state signal that resets itself when a wait succeeds: set() wakes exactly one waiter
// (or the next one to wait); setting it while it is already set changes nothing.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace wintarvo {

class AutoResetEvent {
public:
    void set() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            signalled_ = true;
        }
        condition_.notify_one();
    }

    // Waits until set, then resets.
    void wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        condition_.wait(lock, [this] { return signalled_; });
        signalled_ = false;
    }

    // As wait, but gives up after the time-out; true when the event was set.
    bool waitFor(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!condition_.wait_for(lock, timeout, [this] { return signalled_; })) return false;
        signalled_ = false;
        return true;
    }

    bool isSet() {
        std::lock_guard<std::mutex> lock(mutex_);
        return signalled_;
    }

private:
    std::mutex mutex_;
    std::condition_variable condition_;
    bool signalled_ = false;
};

}  // namespace wintarvo
