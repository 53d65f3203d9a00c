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

#include <algorithm>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "model/board.h"
#include "model/move.h"
#include "search/table_memory.h"

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
    // The slot of the index where a key 0 is looked for first.
    static std::uint32_t indexHome(std::uint32_t key0) { return slotOf(key0); }

    // Keyed forms, for tests that need collisions on purpose.
    bool probeKeys(std::uint32_t key0, std::uint32_t key1, ProbeResult& out);
    bool storeKeys(std::uint32_t key0, std::uint32_t key1, int depth, int lower, int upper,
                   const Move& m);

    // Fetching ahead. The table is read at random, so a search that knows which positions it
    // will look up next asks for their lines early, in two stages: the index line of a key
    // first, and a little later, once that line has arrived, the entry it points to.
    // Neither changes anything in the table.
    void prefetchIndex(std::uint32_t key0) {
        __builtin_prefetch(&index_[slotOf(key0)]);
        __builtin_prefetch(&bucketLength_[bucketOf(key0)]);
        if (size_ == MAXIMUM_SIZE) prefetchVictims();
    }
    void prefetchEntry(std::uint32_t key0) const {
        const Slot slot = index_[slotOf(key0)];
        if (slot.bits != 0 && slot.tag() == key0 >> 24 && slot.distance() == 0)
            __builtin_prefetch(&entries_[slot.firstPlusOne() - 1]);
    }

private:
    static constexpr std::int32_t NONE = -1;
    // Four slots for every entry: the index is at most a quarter full, so a lookup nearly
    // always ends at its first slot and a removal rarely has a run to close up.
    static constexpr int INDEX_BITS = 21;
    static constexpr std::uint32_t INDEX_SLOTS = 1u << INDEX_BITS;
    static constexpr std::uint32_t FIRST_MASK = (1u << 20) - 1;
    static constexpr std::uint32_t FAR = 15;  // a distance of FAR or more (four bits)

    // One key 0 in use, in four bytes so that the index stays small: the first of its entries
    // plus one (zero means an empty slot), how far the slot lies past the key's home slot (FAR
    // when that far or farther: the key's entry then tells its home), and the key's top byte.
    // A slot whose top byte and distance fit a key holds that key when the entry it names does.
    struct Slot {
        std::uint32_t bits = 0;
        std::int32_t firstPlusOne() const { return static_cast<std::int32_t>(bits & FIRST_MASK); }
        void setFirstPlusOne(std::int32_t f) {
            bits = (bits & ~FIRST_MASK) | static_cast<std::uint32_t>(f);
        }
        std::uint32_t distance() const { return (bits >> 20) & FAR; }
        void setDistance(std::uint32_t d) {
            bits = (bits & ~(FAR << 20)) | (std::min(d, FAR) << 20);
        }
        std::uint32_t tag() const { return bits >> 24; }
    };
    static_assert(static_cast<std::uint32_t>(MAXIMUM_SIZE) < FIRST_MASK);
    static Slot makeSlot(std::uint32_t key0, std::uint32_t distance, std::int32_t firstPlusOne) {
        Slot x{(key0 >> 24) << 24 | static_cast<std::uint32_t>(firstPlusOne)};
        x.setDistance(distance);
        return x;
    }

    static std::uint32_t bucketOf(std::uint32_t key0) { return key0 & (INDEX_SIZE - 1); }
    static std::uint32_t slotOf(std::uint32_t key0) {
        return (key0 * 2654435761u) >> (32 - INDEX_BITS);
    }
    // The slot holding key0, or the empty slot where it would go.
    std::uint32_t findSlot(std::uint32_t key0) const;
    // The home slot of the key in slot s.
    std::uint32_t homeOf(std::uint32_t s, Slot x) const;
    void eraseSlot(std::uint32_t slot);
    std::int32_t chooseVictim(int depth);
    void prefetchVictims();
    void removeEntry(std::int32_t n);
    void addEntry(std::int32_t n);

    // One mapping for all four arrays, so huge pages can cover them all.
    std::unique_ptr<void, TableMemoryDeleter> memory_;
    TableEntry* entries_;
    std::int32_t* sameKeyNext_;   // next entry with the same key 0
    // Bucket lengths in a byte each (half a megabyte, so they mostly stay in cache); the rare
    // bucket of 255 entries or more keeps its length in longBuckets_.
    std::uint8_t* bucketLength_;
    std::unordered_map<std::uint32_t, std::uint32_t> longBuckets_;
    std::uint32_t growBucket(std::uint32_t bucket);
    void shrinkBucket(std::uint32_t bucket);
    Slot* index_;
    std::int32_t size_ = 0;
    std::int32_t replaceCursor_ = -1;
    std::int32_t maximumListSize_ = 0;
    std::int64_t addFailures_ = 0;
    std::int64_t addSuccesses_ = 0;
    std::int64_t lookupFailures_ = 0;
    std::int64_t lookupSuccesses_ = 0;
    std::int64_t lockCollisions_ = 0;
    std::int32_t victimsFetched_ = -1;  // victims up to here have had their lines fetched
};

}  // namespace wintarvo
