#include "search/sibling_evaluator.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#if defined(__linux__)
#include <sched.h>
#endif

#include "model/evaluator.h"
#include "model/move_generation.h"

namespace wintarvo {
namespace {

constexpr std::uint64_t JOB_MASK = 0xFFFFFFFF00000000ull;

// How long the search waits for a score the helper is working on before working it out
// itself (one evaluation takes well under a microsecond), and how long the helper spins
// without a list before it sleeps.
constexpr int WAIT_FOR_SCORE_SPINS = 2000;
constexpr int WAIT_FOR_HELPER_SPINS = 100;
constexpr auto IDLE_BEFORE_SLEEP = std::chrono::milliseconds(1);

inline void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

// The list number as the cursor and the runs carry it.
inline std::uint64_t cursorTag(std::uint64_t job) { return job << 32; }
inline std::uint32_t runTag(std::uint64_t job) { return static_cast<std::uint32_t>(job << 8); }

}  // namespace

int SiblingEvaluator::availableProcessors() {
#if defined(__linux__)
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0) return n;
    }
#endif
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<int>(n) : 1;
}

SiblingEvaluator::SiblingEvaluator()
    : runs_(new Run[RUNS]),
      enabled_(availableProcessors() >= 2) {}

SiblingEvaluator::~SiblingEvaluator() { stop(); }

void SiblingEvaluator::stop() {
    live_ = false;
    if (!thread_.joinable()) return;
    quit_.store(true);
    posted_.store(QUIT);
    posted_.notify_all();
    thread_.join();
    quit_.store(false);
    posted_.store(NO_JOB);
}

bool SiblingEvaluator::startThread() {
    if (thread_.joinable()) return true;
    if (failedToStart_) return false;
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        failedToStart_ = true;  // work alone
        return false;
    }
    return true;
}

void SiblingEvaluator::nextJob() {
    ++job_;
    if ((job_ & 0xFFFFFF) == 0) {
        // The runs' list numbers wrap: once the helper is out of its last list, forget every
        // old score, so none can pass for one of the new list.
        while (holding_.load() != NO_JOB) std::this_thread::yield();
        for (std::size_t r = 0; r < RUNS; ++r)
            runs_[r].filled.store(0, std::memory_order_relaxed);
    }
}

void SiblingEvaluator::begin(const Board& p) {
    live_ = false;
    if (!enabled_ || !startThread()) return;
    nextJob();

    // Take the list's position back from the helper: it reads none once holding_ is clear, and
    // takes none while posted_ says POSTING. It usually let go of the last list long ago.
    posted_.store(POSTING);
    int spins = 0;
    while (holding_.load() != NO_JOB) {
        if (++spins > WAIT_FOR_HELPER_SPINS) return;  // still busy: this list goes alone
        cpuRelax();
    }
    parent_ = p;
    cursor_.store(cursorTag(job_), std::memory_order_relaxed);
    ownRun_ = NO_RUN;
    heldUpRun_ = NO_RUN;
    posted_.store(job_);  // publishes the position and the cursor
    if (sleeping_.load()) posted_.notify_one();
    live_ = true;
}

bool SiblingEvaluator::isListOf(const Board& p) const {
    return live_ && parent_.amazons[0] == p.amazons[0] && parent_.amazons[1] == p.amazons[1] &&
           parent_.arrows == p.arrows && parent_.sideToMove == p.sideToMove;
}

int SiblingEvaluator::whiteScore(std::size_t j, const Board& child, bool inOrder) {
    const std::size_t r = j / RUN;
    if (!live_ || r >= RUNS || r == ownRun_ || r == heldUpRun_) return Evaluator::whiteScore(child);
    const Run& run = runs_[r];
    const std::uint32_t tagged = runTag(job_);
    const std::uint32_t needed = tagged | static_cast<std::uint32_t>(j % RUN + 1);
    auto ready = [&] {
        const std::uint32_t f = run.filled.load(std::memory_order_acquire);
        return (f & ~0xFFu) == tagged && f >= needed;
    };
    if (ready()) {
        ++fromHelper_;
        return run.scores[j % RUN];
    }

    if (!inOrder) return Evaluator::whiteScore(child);

    // Not there yet. A run nobody has taken is done here.
    const std::uint64_t tag = cursorTag(job_);
    std::uint64_t c = cursor_.load(std::memory_order_acquire);
    while (static_cast<std::uint32_t>(c) <= r) {
        if (cursor_.compare_exchange_weak(c, tag | (r + 1), std::memory_order_acq_rel,
                                          std::memory_order_acquire)) {
            ownRun_ = r;
            return Evaluator::whiteScore(child);
        }
    }
    // The helper is on this run, and the search has caught up with it: take the next run
    // while the helper finishes this one, so that both keep working.
    if (static_cast<std::uint32_t>(c) == r + 1 &&
        cursor_.compare_exchange_strong(c, tag | (r + 2), std::memory_order_acq_rel,
                                        std::memory_order_acquire))
        ownRun_ = r + 1;
    for (int i = 0; i < WAIT_FOR_SCORE_SPINS; ++i) {
        cpuRelax();
        if (ready()) {
            ++fromHelper_;
            return run.scores[j % RUN];
        }
    }
    heldUpRun_ = r;  // the helper is held up: the rest of this run is done here
    return Evaluator::whiteScore(child);
}

void SiblingEvaluator::end() {
    if (!live_) return;
    cursor_.store(cursorTag(job_) | FINISHED, std::memory_order_release);
    live_ = false;
}

void SiblingEvaluator::run() {
    std::uint64_t last = NO_JOB;
    auto idleSince = std::chrono::steady_clock::now();
    int spins = 0;
    while (!quit_.load(std::memory_order_relaxed)) {
        const std::uint64_t job = posted_.load();
        if (job == last || job == POSTING || job == NO_JOB || job == QUIT) {
            if (++spins < 256) {
                cpuRelax();
                continue;
            }
            spins = 0;
            if (std::chrono::steady_clock::now() - idleSince < IDLE_BEFORE_SLEEP) continue;
            // Long without a list: sleep until the next one.
            sleeping_.store(true);
            if (posted_.load() == job && !quit_.load()) posted_.wait(job);
            sleeping_.store(false);
            idleSince = std::chrono::steady_clock::now();
            continue;
        }
        // Hold the list, then make sure it is still the posted one: the search writes a list's
        // copy only after seeing holding_ clear with posted_ saying POSTING.
        holding_.store(job);
        if (posted_.load() == job) {
            last = job;
            work(job);
        }
        holding_.store(NO_JOB);
        idleSince = std::chrono::steady_clock::now();
    }
}

void SiblingEvaluator::work(std::uint64_t job) {
    const std::uint64_t tag = cursorTag(job);
    const std::uint32_t tagged = runTag(job);
    const Board parent = parent_;
    generateMoves(parent, helperMoves_);
    const Move* const moves = helperMoves_.data();
    const std::size_t count = std::min(helperMoves_.size(), CAPACITY);
    auto over = [&](std::uint64_t c) {
        return (c & JOB_MASK) != tag ||
               static_cast<std::size_t>(static_cast<std::uint32_t>(c)) * RUN >= count;
    };
    std::uint64_t c = cursor_.load(std::memory_order_acquire);
    while (!over(c)) {
        if (!cursor_.compare_exchange_weak(c, c + 1, std::memory_order_acq_rel,
                                           std::memory_order_acquire))
            continue;
        const std::size_t first = static_cast<std::uint32_t>(c) * RUN;
        const std::size_t last = std::min(first + RUN, count);
        Run& run = runs_[first / RUN];
        for (std::size_t j = first; j < last; ++j) {
            Board child = parent;
            child.applyMove(moves[j]);
            run.scores[j - first] = Evaluator::whiteScore(child);
            run.filled.store(tagged | static_cast<std::uint32_t>(j - first + 1),
                             std::memory_order_release);
            // The search may have finished the list meanwhile.
            if (static_cast<std::uint32_t>(cursor_.load(std::memory_order_relaxed)) == FINISHED)
                return;
        }
        c = cursor_.load(std::memory_order_acquire);
    }
}

}  // namespace wintarvo
