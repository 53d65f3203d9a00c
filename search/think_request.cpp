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
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit DeadlineWatch(std::optional<TimePoint> deadline) {
        if (!deadline) return;
        thread_ = std::thread([this, when = *deadline] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!ended_.wait_until(lock, when, [this] { return done_; })) {
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

// The deadline of a request: its seconds from now, or the tournament clock's hard deadline.
std::optional<DeadlineWatch::TimePoint> deadlineOf(const ThinkRequest& request,
                                                   DeadlineWatch::TimePoint now) {
    if (request.tournament) {
        const ThinkClock& clock = request.tournament->clock;
        if (clock.hardMs < 0) return std::nullopt;
        return clock.origin + std::chrono::milliseconds(clock.hardMs);
    }
    if (!request.deadlineSeconds) return std::nullopt;
    const double seconds = *request.deadlineSeconds < 0 ? 0.0 : *request.deadlineSeconds;
    return now + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                     std::chrono::duration<double>(seconds));
}

// The think of either driver with the request's limits; the engine's table statistics after.
template <class Engine>
void think(Engine& engine, const ThinkRequest& request, DeadlineWatch::TimePoint started,
           ThinkAnswer& answer) {
    if (request.helperThread) engine.setHelperThread(*request.helperThread);
    engine.setSplitSolver(request.splitSolver);
    engine.setPosition(request.position);
    answer.move = Move::null();
    {
        DeadlineWatch watch(deadlineOf(request, started));
        answer.found = engine.think(answer.move);
        answer.stoppedAtDeadline = watch.finish();
    }
    answer.microseconds = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - started)
                              .count();
    answer.statusText = engine.statusText();
    answer.evaluations = g_nodeCount.load();
    engine.printStatistics();
}

}  // namespace

ThinkAnswer runThinkRequest(const ThinkRequest& request) {
    if (request.clearsStop) setStopRequested(false);
    ThinkAnswer answer;
    const auto started = std::chrono::steady_clock::now();
    if (request.tournament) {
        ClockedSearch engine;
        engine.setDepthLimit(request.depthLimit);
        engine.setClock(request.tournament->clock);
        think(engine, request, started, answer);
        answer.completedDepth = engine.completedDepth();
        answer.movedByCutIteration = engine.movedByCutIteration();
    } else {
        SearchEngine engine;
        engine.setDepthLimit(request.depthLimit);
        engine.setTimeLimit(request.timeLimit);
        think(engine, request, started, answer);
    }
    return answer;
}

}  // namespace wintarvo
