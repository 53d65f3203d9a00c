#include "engine/engine_thread.h"

#include <chrono>
#include <system_error>

#include "diag/trace.h"
#include "search/stop_flag.h"
#include "search/think_request.h"

namespace wintarvo {

using Lock = std::lock_guard<std::recursive_mutex>;

EngineThread::~EngineThread() {
    // 1. Stop a running search, queue the quit behind whatever is queued, wait for the thread.
    if (started_) {
        setStopRequested(true);
        {
            Lock queueLock(queue_.queueLock);
            queue_.commands.push_back(CMD_QUIT);
            queue_.wakeEvent.set();
        }
        std::unique_lock<std::mutex> lock(endedMutex_);
        auto ended = [this] { return ended_; };
        if (!endedSignal_.wait_for(lock, std::chrono::milliseconds(SHUTDOWN_WAIT_MS), ended)) {
            // A request queued ahead of the quit is still searching: keep asking it to stop
            // rather than free what it uses.
            while (!endedSignal_.wait_for(lock, std::chrono::milliseconds(50), ended))
                setStopRequested(true);
        }
        lock.unlock();
        threadHandle_.join();
    }
    // 2-4. The text, the queue and the locks go with the members.
}

bool EngineThread::isRunning() {
    Lock lock(engineLock_);
    return started_;
}

bool EngineThread::start() {
    Lock lock(engineLock_);
    if (started_) return false;
    try {
        threadHandle_ = std::thread(&EngineThread::threadMain, this);
    } catch (const std::system_error& e) {
        // Nothing was started; the next request tries again.
        traceLine(std::string("Engine could not start: ") + e.code().message());
        return false;
    }
    threadId_ = threadHandle_.get_id();
    started_ = true;
    Lock again(engineLock_);
    return started_;
}

void EngineThread::setNotify(NotifyHandle window, std::uint32_t message) {
    Lock lock(engineLock_);
    notifyWindow_ = std::move(window);
    notifyMessage_ = message;
}

void EngineThread::setPosition(const Position& p) {
    Lock lock(engineLock_);
    position_ = p;
}

void EngineThread::setLimits(int depth, int seconds) {
    Lock lock(engineLock_);
    depthLimit_ = depth;
    timeLimit_ = seconds;
}

void EngineThread::setTournament(const std::optional<TournamentThink>& tournament) {
    Lock lock(engineLock_);
    tournament_ = tournament;
}

void EngineThread::post(std::int32_t command) {
    Lock lock(engineLock_);
    Lock queueLock(queue_.queueLock);
    queue_.commands.push_back(command);
    queue_.wakeEvent.set();
}

void EngineThread::getResultMove(Move& out) {
    Lock lock(engineLock_);
    out = resultMove_;
}

void EngineThread::getStatusText(std::string& out) {
    Lock lock(engineLock_);
    out = statusText_;
}

bool EngineThread::stoppedAtDeadline() {
    Lock lock(engineLock_);
    return stoppedAtDeadline_;
}

void EngineThread::threadMain() {
    // 1-3. Sleep until a command arrives; carry it out; again, until told to end.
    do {
        queue_.wakeEvent.wait();
    } while (processCommand());
    // 4.
    {
        std::lock_guard<std::mutex> lock(endedMutex_);
        ended_ = true;
    }
    endedSignal_.notify_all();
}

bool EngineThread::processCommand() {
    // 1-4. Take the front command; leave the event set if more are waiting.
    std::unique_lock<std::recursive_mutex> lock(engineLock_);
    std::int32_t command;
    {
        Lock queueLock(queue_.queueLock);
        if (queue_.commands.empty()) return false;
        command = queue_.commands.front();
        queue_.commands.pop_front();
        if (!queue_.commands.empty()) queue_.wakeEvent.set();
    }
    // 5-6. A think keeps the engine lock throughout; anything but a think ends the thread.
    if (command != CMD_THINK) return false;
    runThink();
    return true;
}

void EngineThread::runThink() {
    // 1-6. A fresh engine with the limits and the position, the think, its status text and
    //      the table statistics. The document cleared the stop flag when it made the request.
    ThinkRequest request = thinkRequest(position_, depthLimit_, timeLimit_);
    request.clearsStop = false;
    request.tournament = tournament_;
    request.splitSolver = tournament_.has_value();  // the tournament engine solves split boards
    const ThinkAnswer answer = runThinkRequest(request);
    resultMove_ = answer.move;
    statusText_ = answer.statusText;
    stoppedAtDeadline_ = answer.stoppedAtDeadline;
    const bool found = answer.found;
    // 7. The window may have gone while the search ran.
    const bool posted =
        notifyWindow_ && notifyWindow_->postIfWindow(
                             notifyMessage_, reinterpret_cast<std::uintptr_t>(this), found ? 1 : 0);
    if (!posted) traceLine("Window closed - move could not be posted.");
    // 8. The engine and its table go when this returns.
}

}  // namespace wintarvo
