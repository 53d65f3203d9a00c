// The engine service: one background thread that runs a complete search per think request and
// then notifies the window that asked.
//
// Owned by the game document (one per document) on the user-interface thread, which calls every
// operation; the engine thread runs threadMain. engineLock guards the request and the result
// (position, limits, window, move, status text) and is held by the engine thread for the whole
// of a think, so a user-interface call that takes it waits until the search has ended; the
// board view makes none while it is waiting for an answer. queueLock guards the command queue.
// Lock order: engineLock before queueLock; shutdown takes queueLock alone.
//
// The thread starts with the first request and then sleeps between requests until the service
// is destroyed. The completion carries no move: the window fetches move and status text through
// the locked getters. Destruction stops a running search, queues CMD_QUIT and waits for the
// thread: it never leaves the thread running on a destroyed object.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "engine/command_queue.h"
#include "engine/notify_window.h"
#include "model/move.h"
#include "model/position.h"
#include "search/think_request.h"

namespace wintarvo {

class EngineThread {
  public:
    EngineThread() = default;
    ~EngineThread();
    EngineThread(const EngineThread&) = delete;
    EngineThread& operator=(const EngineThread&) = delete;

    // True from a successful start until destruction, even after the thread has ended.
    bool isRunning();
    // Creates the thread; false if it already exists or cannot be created (the trace then
    // says why, and a later call tries again).
    bool start();
    void setNotify(NotifyHandle window, std::uint32_t message);
    void setPosition(const Position& p);
    void setLimits(int depth, int seconds);
    // The tournament engine's think for the next requests, or (unset) the program's.
    void setTournament(const std::optional<TournamentThink>& tournament);
    void post(std::int32_t command);
    void getResultMove(Move& out);
    void getStatusText(std::string& out);
    // Whether the last think was cut at its deadline.
    bool stoppedAtDeadline();

    // Milliseconds the destructor waits for the thread before it insists; the thread is always
    // joined in the end.
    static constexpr int SHUTDOWN_WAIT_MS = 2000;

  private:
    void threadMain();
    bool processCommand();
    void runThink();

    std::thread threadHandle_;
    bool started_ = false;
    std::thread::id threadId_;
    std::recursive_mutex engineLock_;
    CommandQueue queue_;
    NotifyHandle notifyWindow_;
    std::uint32_t notifyMessage_ = 0;
    Position position_;
    Move resultMove_;
    int depthLimit_ = 0;
    int timeLimit_ = 0;
    std::optional<TournamentThink> tournament_;
    std::string statusText_;
    bool stoppedAtDeadline_ = false;

    // Set by the thread as its last act, so the destructor can wait with a time-out.
    std::mutex endedMutex_;
    std::condition_variable endedSignal_;
    bool ended_ = false;
};

}  // namespace wintarvo
