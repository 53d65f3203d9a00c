// A stand-in for the window the engine notifies: records every post, can be "closed", and lets
// a test wait for a number of completions.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "engine/notify_window.h"

namespace wintarvo::testing {

class FakeWindow : public NotifyWindow {
public:
    struct Post {
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };

    bool postIfWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_) return false;
        posts_.push_back(Post{message, wParam, lParam});
        changed_.notify_all();
        return true;
    }

    void close() {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
    }

    std::vector<Post> posts() {
        std::lock_guard<std::mutex> lock(mutex_);
        return posts_;
    }

    bool waitForPosts(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return posts_.size() >= n; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Post> posts_;
    bool closed_ = false;
};

}  // namespace wintarvo::testing
