// The transposition table of one think request: depth, bounds and best move of every position
// searched so far, and the cache of static evaluations (depth-0 entries with equal bounds).
//
// Entries live in one array, filled by appending up to 524288 of them; an entry's number never
// changes. Positions are grouped in 524288 buckets (table key 0 modulo the bucket count), each
// bucket listing its entries in the order they were added; removals keep the order of the
// rest. Once full, a new position overwrites an old entry chosen in cyclic order, skipping
// deeper entries at most ten places.
//
// Only entries with equal key 0 ever need comparing, and their order within a bucket is the
// order they were added in. So instead of walking whole buckets, the table finds the entries of
// one key 0 through an open-addressed index (one cache line in the common case) and keeps them
// chained in the order they were added; it counts each bucket's length for the statistics.
// Every lookup, collision count and replacement comes out as walking the bucket lists would.
//
// Key i of a position is its hash word i, plus one when Black is to move. Key 0 selects the
// bucket; key 1 verifies ("the lock"): equal key 0 with a different key 1 is another position,
// counted as a lock collision.
//
// Owned by the searcher, used only by the engine thread; created empty for every request.
#pragma once

#include <cstdint>
#include <memory>

#include "model/board.h"
#include "model/move.h"

namespace wintarvo {

constexpr int BOUND_INFINITY = 20000;

struct TableEntry {
    std::uint32_t key0;
    std::uint32_t key1;
    std::int16_t lower;
    std::int16_t upper;
    std::int8_t depth;
    std::int8_t from;
    std::int8_t to;
    std::int8_t arrow;

    Move move() const { return Move{from, to, arrow}; }
};
static_assert(sizeof(TableEntry) == 16);

struct ProbeResult {
    int depth = 0;
    int lower = 0;
    int upper = 0;
    Move move;
};

class TranspositionTable {
public:
    static constexpr std::int32_t INDEX_SIZE = 0x80000;
    static constexpr std::int32_t MAXIMUM_SIZE = 0x80000;
    static constexpr int MAX_VICTIM_STEPS = 10;

    TranspositionTable();

    bool probe(const Board& b, ProbeResult& out);
    bool store(const Board& b, int depth, int lower, int upper, const Move& m);
    bool probeEvaluation(const Board& b, int& value);
    void storeEvaluation(const Board& b, int value) {
        store(b, 0, value, value, Move::null());
    }
    void printStatistics() const;

    // Read-outs for tests and benchmarks.
    std::int32_t size() const { return size_; }
    std::int32_t replaceCursor() const { return replaceCursor_; }
    const TableEntry& entry(std::int32_t n) const { return entries_[static_cast<std::size_t>(n)]; }
    std::int64_t addSuccesses() const { return addSuccesses_; }
    std::int64_t addFailures() const { return addFailures_; }
    std::int64_t lookupSuccesses() const { return lookupSuccesses_; }
    std::int64_t lookupFailures() const { return lookupFailures_; }
    std::int64_t lockCollisions() const { return lockCollisions_; }
    std::int32_t maximumListSize() const { return maximumListSize_; }

    // Keyed forms, for tests that need collisions on purpose.
    bool probeKeys(std::uint32_t key0, std::uint32_t key1, ProbeResult& out);
    bool storeKeys(std::uint32_t key0, std::uint32_t key1, int depth, int lower, int upper,
                   const Move& m);

    // Brings the index line of b's key 0 towards the cache ahead of a probe.
    void prefetch(const Board& b) const {
        __builtin_prefetch(&index_[slotOf(b.hashValue(0))]);
    }

private:
    static constexpr std::int32_t NONE = -1;
    static constexpr int INDEX_BITS = 20;  // twice as many slots as entries at most
    static constexpr std::uint32_t INDEX_SLOTS = 1u << INDEX_BITS;

    // One key 0 in use: the first of its entries (plus one, so that zero means an empty slot).
    struct Slot {
        std::uint32_t key0;
        std::int32_t firstPlusOne;
    };

    static std::uint32_t bucketOf(std::uint32_t key0) { return key0 & (INDEX_SIZE - 1); }
    static std::uint32_t slotOf(std::uint32_t key0) {
        return (key0 * 2654435761u) >> (32 - INDEX_BITS);
    }
    // The slot holding key0, or the empty slot where it would go.
    std::uint32_t findSlot(std::uint32_t key0) const;
    void eraseSlot(std::uint32_t slot);
    std::int32_t chooseVictim(int depth);
    void removeEntry(std::int32_t n);
    void addEntry(std::int32_t n);

    struct FreeDeleter {
        void operator()(void* p) const;
    };
    std::unique_ptr<TableEntry[]> entries_;
    std::unique_ptr<std::int32_t[]> sameKeyNext_;                 // next entry with the same key 0
    std::unique_ptr<std::uint32_t[], FreeDeleter> bucketLength_;  // zeroed pages on demand
    std::unique_ptr<Slot[], FreeDeleter> index_;
    std::int32_t size_ = 0;
    std::int32_t replaceCursor_ = -1;
    std::int32_t maximumListSize_ = 0;
    std::int64_t addFailures_ = 0;
    std::int64_t addSuccesses_ = 0;
    std::int64_t lookupFailures_ = 0;
    std::int64_t lookupSuccesses_ = 0;
    std::int64_t lockCollisions_ = 0;
};

}  // namespace wintarvo
