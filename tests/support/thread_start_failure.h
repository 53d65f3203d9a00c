// While one of these lives, no new thread of the process can start: the default stack of new
// threads is made larger than the address space, so creating one fails (std::thread throws
// std::system_error) as it does when the system has no room for another thread. The former
// default comes back when it goes. Threads that run already are not touched.
#pragma once

#include <pthread.h>

#include <cstddef>
#include <system_error>
#include <thread>

namespace wintarvo::testing {

class ThreadStartFailure {
  public:
    ThreadStartFailure() {
        if (::pthread_getattr_default_np(&former_) != 0) return;
        haveFormer_ = true;
        pthread_attr_t huge;
        ::pthread_attr_init(&huge);
        ::pthread_attr_setstacksize(&huge, std::size_t{1} << 52);
        active_ = ::pthread_setattr_default_np(&huge) == 0;
        ::pthread_attr_destroy(&huge);
    }
    ~ThreadStartFailure() {
        if (!haveFormer_) return;
        if (active_) ::pthread_setattr_default_np(&former_);
        ::pthread_attr_destroy(&former_);
    }
    ThreadStartFailure(const ThreadStartFailure&) = delete;
    ThreadStartFailure& operator=(const ThreadStartFailure&) = delete;

    // Whether a thread really cannot start now (checked with one).
    bool active() const {
        if (!active_) return false;
        try {
            std::thread([] {}).join();
            return false;
        } catch (const std::system_error&) {
            return true;
        }
    }

  private:
    pthread_attr_t former_{};
    bool haveFormer_ = false;
    bool active_ = false;
};

}  // namespace wintarvo::testing
