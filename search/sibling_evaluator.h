// Static values of a node's children, worked out ahead on a second thread.
//
// Most of a search's time goes into evaluating children one after another: every child of a
// node with one ply to go, and every child in the static phase of the ordering. A node hands
// its position to the helper thread before it generates its moves; the helper generates the
// same list, makes and evaluates the children in generation order and posts each raw score.
// The search still walks the list in order and does everything that has an effect itself: the
// table probe and store, counting the evaluation, the trace. A score is a pure function of the
// child, so the search makes the same moves, prints the same trace and counts the same
// evaluations with or without the helper; only the fills run elsewhere.
//
// The two threads take the list in runs of fifteen children. When the search catches up with
// the helper, it takes the run after the helper's, and when the helper is slow to deliver
// (descheduled, say), it works the scores out itself, so it never waits long. The few children
// the search visits out of generation order (the table move and the killer, and the moves they
// swapped places with) take a score only if it is there already. The helper spins between
// lists while a search runs and sleeps after a millisecond without work. A list the helper
// cannot take (it is still finishing the last one) is simply worked through here.
//
// Owned by the searcher. Every member function is called from the searching thread; the helper
// thread starts with the first list and ends with stop() or the object.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

#include "model/board.h"
#include "model/move.h"
#include "model/move_list.h"

namespace wintarvo {

class SiblingEvaluator {
public:
    // Children go in runs of RUN; one run's scores and the number of its list fill one cache
    // line.
    static constexpr std::size_t RUN = 15;
    // Children the helper evaluates at most (no position has more than 4 x 35 x 35 moves, and
    // real ones have far fewer).
    static constexpr std::size_t CAPACITY = 4900;

    // Enabled where this process may use two processors or more: with a single one the helper
    // would only take time from the search.
    SiblingEvaluator();
    ~SiblingEvaluator();
    SiblingEvaluator(const SiblingEvaluator&) = delete;
    SiblingEvaluator& operator=(const SiblingEvaluator&) = delete;

    // Between lists only.
    void setEnabled(bool on) { enabled_ = on; }
    bool enabled() const { return enabled_; }

    // Starts a list: the children of p in the order generateMoves lists them.
    void begin(const Board& p);
    // Whether the current list is that of p.
    bool isListOf(const Board& p) const;
    // Evaluator::whiteScore of child j of the list (j in generation order), which is `child`.
    // The children visited in generation order (inOrder) come in increasing order of j,
    // skipping any; others may come at any time. Without a list, the score is worked out here.
    int whiteScore(std::size_t j, const Board& child, bool inOrder = true);
    // Starts fetching the line child j's score comes in, so that it arrives while the search
    // looks the child up in its table.
    void prefetch(std::size_t j) const {
        if (live_ && j < CAPACITY) __builtin_prefetch(&runs_[j / RUN]);
    }
    // Ends the list: the helper takes no more of its children.
    void end();
    // Ends the helper thread (the next list starts a new one).
    void stop();

    // Read-outs: whether the helper takes part in the current list, and how many scores it
    // has delivered so far.
    bool shared() const { return live_; }
    std::int64_t scoresFromHelper() const { return fromHelper_; }
    // Lists are numbered; a run knows its list by the number's low 24 bits. For tests of the
    // wrap-around, the number the last list got can be set (between lists only).
    void setLastListNumber(std::uint64_t n) { job_ = n; }

    // Processors this process may run on (at least 1).
    static int availableProcessors();

private:
    void run();
    void work(std::uint64_t job);
    bool startThread();
    void nextJob();

    static constexpr std::uint64_t NO_JOB = 0;  // also: the helper holds no list
    static constexpr std::uint64_t POSTING = ~std::uint64_t{0};  // the list is being written
    static constexpr std::uint64_t QUIT = ~std::uint64_t{0} - 1;
    static constexpr std::uint32_t FINISHED = 0xFFFFFFFF;  // cursor's run once a list is over

    struct alignas(64) Run {
        // The list's number (top 24 bits) and how many of the scores are in (low 8 bits).
        std::atomic<std::uint32_t> filled{0};
        std::int32_t scores[RUN];
    };
    static_assert(sizeof(Run) == 64);
    static constexpr std::size_t RUNS = (CAPACITY + RUN - 1) / RUN;

    // Set up once.
    const std::unique_ptr<Run[]> runs_;

    // Every line below is written by one thread and read by the other; each is on a line of
    // its own, so that writing one never takes another from the other thread's cache.
    // Written by the search, read by the helper: the number of the posted list.
    alignas(64) std::atomic<std::uint64_t> posted_{NO_JOB};
    std::atomic<bool> sleeping_{false};
    std::atomic<bool> quit_{false};
    // The number of the list the helper reads, NO_JOB when it reads none. While it names a
    // list, the search leaves the list's copy alone.
    alignas(64) std::atomic<std::uint64_t> holding_{NO_JOB};
    // The list number's low half (high half) and the next run nobody has taken (low half).
    // Both threads take runs by advancing it.
    alignas(64) std::atomic<std::uint64_t> cursor_{0};
    // The list's position, read by the helper while holding_ names it.
    Board parent_;
    // The helper's own: the list it generated.
    alignas(64) MoveList helperMoves_;

    // The search's own state, on lines of its own: it changes all the time.
    static constexpr std::size_t NO_RUN = ~std::size_t{0};
    alignas(64) bool enabled_;
    bool live_ = false;  // the current list is shared with the helper
    bool failedToStart_ = false;
    std::size_t ownRun_ = NO_RUN;     // the last run the search took for itself
    std::size_t heldUpRun_ = NO_RUN;  // a run the search stopped waiting for
    std::uint64_t job_ = NO_JOB;  // the current list's number
    std::int64_t fromHelper_ = 0;
    std::thread thread_;
};

}  // namespace wintarvo
