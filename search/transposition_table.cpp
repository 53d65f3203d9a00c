#include "search/transposition_table.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "diag/trace.h"

namespace wintarvo {
namespace {

// Zeroed memory straight from the system: pages that are never touched cost nothing.
template <typename T>
T* allocateZeroed(std::size_t count) {
    void* p = std::calloc(count, sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
}

}  // namespace

void TranspositionTable::FreeDeleter::operator()(void* p) const { std::free(p); }

TranspositionTable::TranspositionTable()
    : entries_(new TableEntry[MAXIMUM_SIZE]),
      sameKeyNext_(new std::int32_t[MAXIMUM_SIZE]),
      bucketLength_(allocateZeroed<std::uint32_t>(INDEX_SIZE)),
      index_(allocateZeroed<Slot>(INDEX_SLOTS)) {}

std::uint32_t TranspositionTable::findSlot(std::uint32_t key0) const {
    std::uint32_t s = slotOf(key0);
    while (index_[s].firstPlusOne != 0 && index_[s].key0 != key0) s = (s + 1) & (INDEX_SLOTS - 1);
    return s;
}

// Linear probing without tombstones: later slots of the run move back into the gap.
void TranspositionTable::eraseSlot(std::uint32_t gap) {
    std::uint32_t s = gap;
    for (;;) {
        s = (s + 1) & (INDEX_SLOTS - 1);
        if (index_[s].firstPlusOne == 0) break;
        const std::uint32_t home = slotOf(index_[s].key0);
        // The entry at s may fill the gap unless its home lies cyclically in (gap, s].
        const bool homeBetween = gap <= s ? (gap < home && home <= s) : (gap < home || home <= s);
        if (!homeBetween) {
            index_[gap] = index_[s];
            gap = s;
        }
    }
    index_[gap] = Slot{0, 0};
}

bool TranspositionTable::probe(const Board& b, ProbeResult& out) {
    const std::uint32_t key0 = b.hashValue(0);
    const Slot& slot = index_[findSlot(key0)];
    if (slot.firstPlusOne != 0) {
        const std::uint32_t key1 = b.hashValue(1);
        for (std::int32_t n = slot.firstPlusOne - 1; n != NONE; n = sameKeyNext_[n]) {
            const TableEntry& e = entries_[n];
            if (e.key1 == key1) {
                out.depth = e.depth;
                out.lower = e.lower;
                out.upper = e.upper;
                out.move = e.move();
                ++lookupSuccesses_;
                return true;
            }
            ++lockCollisions_;
        }
    }
    ++lookupFailures_;
    return false;
}

bool TranspositionTable::probeKeys(std::uint32_t key0, std::uint32_t key1, ProbeResult& out) {
    Board b;
    b.hashKey[0] = key0;
    b.hashKey[1] = key1;
    return probe(b, out);
}

bool TranspositionTable::probeEvaluation(const Board& b, int& value) {
    ProbeResult r;
    if (!probe(b, r) || r.lower != r.upper) return false;
    value = r.lower;
    return true;
}

bool TranspositionTable::store(const Board& b, int depth, int lower, int upper, const Move& m) {
    return storeKeys(b.hashValue(0), b.hashValue(1), depth, lower, upper, m);
}

bool TranspositionTable::storeKeys(std::uint32_t key0, std::uint32_t key1, int depth, int lower,
                                   int upper, const Move& m) {
    // 1. Look for the position's own entry, counting lock collisions on the way.
    const Slot& slot = index_[findSlot(key0)];
    if (slot.firstPlusOne != 0) {
        for (std::int32_t n = slot.firstPlusOne - 1; n != NONE; n = sameKeyNext_[n]) {
            TableEntry& e = entries_[n];
            if (e.key1 != key1) {
                ++lockCollisions_;
                continue;
            }
            if (depth < e.depth) {
                ++addFailures_;
                return false;
            }
            if (depth == e.depth) {
                // Same depth: merge the bounds; the move follows the higher midpoint.
                if ((lower + upper) / 2 > (e.lower + e.upper) / 2) {
                    e.from = static_cast<std::int8_t>(m.from);
                    e.to = static_cast<std::int8_t>(m.to);
                    e.arrow = static_cast<std::int8_t>(m.arrow);
                }
                e.lower = static_cast<std::int16_t>(std::max<int>(e.lower, lower));
                e.upper = static_cast<std::int16_t>(std::min<int>(e.upper, upper));
            } else {
                e.depth = static_cast<std::int8_t>(depth);
                e.lower = static_cast<std::int16_t>(lower);
                e.upper = static_cast<std::int16_t>(upper);
                e.from = static_cast<std::int8_t>(m.from);
                e.to = static_cast<std::int8_t>(m.to);
                e.arrow = static_cast<std::int8_t>(m.arrow);
            }
            ++addSuccesses_;
            return true;
        }
    }

    // 2. A new entry: appended while there is room, otherwise over a victim.
    std::int32_t n;
    if (size_ < MAXIMUM_SIZE) {
        n = replaceCursor_ = size_++;
    } else {
        n = chooseVictim(depth);
        removeEntry(n);
    }
    entries_[n] = TableEntry{key0,
                             key1,
                             static_cast<std::int16_t>(lower),
                             static_cast<std::int16_t>(upper),
                             static_cast<std::int8_t>(depth),
                             static_cast<std::int8_t>(m.from),
                             static_cast<std::int8_t>(m.to),
                             static_cast<std::int8_t>(m.arrow)};
    addEntry(n);
    ++addSuccesses_;
    return true;
}

std::int32_t TranspositionTable::chooseVictim(int depth) {
    for (int step = 0; step < MAX_VICTIM_STEPS; ++step) {
        replaceCursor_ = (replaceCursor_ + 1) % MAXIMUM_SIZE;
        if (entries_[replaceCursor_].depth <= depth) break;
    }
    return replaceCursor_;
}

// Takes entry n out of its bucket: out of its key's chain, and the key out of the index when n
// was its last entry.
void TranspositionTable::removeEntry(std::int32_t n) {
    const std::uint32_t key0 = entries_[n].key0;
    const std::uint32_t s = findSlot(key0);
    Slot& slot = index_[s];
    if (slot.firstPlusOne - 1 == n) {
        if (sameKeyNext_[n] == NONE) eraseSlot(s);
        else slot.firstPlusOne = sameKeyNext_[n] + 1;
    } else {
        std::int32_t before = slot.firstPlusOne - 1;
        while (sameKeyNext_[before] != n) before = sameKeyNext_[before];
        sameKeyNext_[before] = sameKeyNext_[n];
    }
    --bucketLength_[bucketOf(key0)];
}

// Puts entry n at the end of its bucket: last in its key's chain.
void TranspositionTable::addEntry(std::int32_t n) {
    const std::uint32_t key0 = entries_[n].key0;
    sameKeyNext_[n] = NONE;
    Slot& slot = index_[findSlot(key0)];
    if (slot.firstPlusOne == 0) {
        slot = Slot{key0, n + 1};
    } else {
        std::int32_t last = slot.firstPlusOne - 1;
        while (sameKeyNext_[last] != NONE) last = sameKeyNext_[last];
        sameKeyNext_[last] = n;
    }
    const std::uint32_t length = ++bucketLength_[bucketOf(key0)];
    maximumListSize_ = std::max(maximumListSize_, static_cast<std::int32_t>(length));
}

void TranspositionTable::printStatistics() const {
    traceLine("\n-- Transposition Table Stats --");
    traceLine("Maximum Table Size    : " + intToString(MAXIMUM_SIZE));
    traceLine("Current Table Size    : " + intToString(size_));
    traceLine("Table Index Size      : " + intToString(INDEX_SIZE));
    traceLine("Add Successes         : " + intToString(addSuccesses_));
    traceLine("Add Failures          : " + intToString(addFailures_));
    traceLine("Lookup Successes      : " + intToString(lookupSuccesses_));
    traceLine("Lookup Failures       : " + intToString(lookupFailures_));
    traceLine("Lock Collisions       : " + intToString(lockCollisions_));
    traceLine("Maximum list-size     : " + intToString(maximumListSize_));
    traceLine("");
}

}  // namespace wintarvo
