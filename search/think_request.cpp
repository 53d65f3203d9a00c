#include "search/think_request.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "model/evaluator.h"
#include "search/search_engine.h"
#include "search/stop_flag.h"

namespace wintarvo {
namespace {

// Raises the stop flag when the deadline passes before the think ends; ends with the think.
class DeadlineWatch {
  public:
    explicit DeadlineWatch(std::optional<double> seconds) {
        if (!seconds) return;
        const auto limit = std::chrono::duration<double>(*seconds < 0 ? 0.0 : *seconds);
        thread_ = std::thread([this, limit] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!ended_.wait_for(lock, limit, [this] { return done_; })) {
                setStopRequested(true);
                fired_ = true;
            }
        });
    }
    ~DeadlineWatch() { finish(); }
    DeadlineWatch(const DeadlineWatch&) = delete;
    DeadlineWatch& operator=(const DeadlineWatch&) = delete;

    // Ends the watch; true when it stopped the think.
    bool finish() {
        if (thread_.joinable()) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                done_ = true;
            }
            ended_.notify_all();
            thread_.join();
        }
        return fired_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    bool fired_ = false;
    std::thread thread_;
};

}  // namespace

ThinkAnswer runThinkRequest(const ThinkRequest& request) {
    if (request.clearsStop) setStopRequested(false);
    ThinkAnswer answer;
    const auto started = std::chrono::steady_clock::now();
    SearchEngine engine;
    if (request.helperThread) engine.setHelperThread(*request.helperThread);
    engine.setDepthLimit(request.depthLimit);
    engine.setTimeLimit(request.timeLimit);
    engine.setPosition(request.position);
    answer.move = Move::null();
    {
        DeadlineWatch watch(request.deadlineSeconds);
        answer.found = engine.think(answer.move);
        answer.stoppedAtDeadline = watch.finish();
    }
    answer.microseconds = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - started)
                              .count();
    answer.statusText = engine.statusText();
    answer.evaluations = g_nodeCount.load();
    engine.printStatistics();
    return answer;
}

}  // namespace wintarvo
