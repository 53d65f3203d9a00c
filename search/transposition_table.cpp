#include "search/transposition_table.h"

#include <algorithm>

#include "diag/trace.h"

namespace wintarvo {
TranspositionTable::TranspositionTable() {
    constexpr std::size_t INDEX_BYTES = sizeof(Slot) * INDEX_SLOTS;
    constexpr std::size_t ENTRY_BYTES = sizeof(TableEntry) * MAXIMUM_SIZE;
    constexpr std::size_t NEXT_BYTES = sizeof(std::int32_t) * MAXIMUM_SIZE;
    constexpr std::size_t LENGTH_BYTES = sizeof(std::uint8_t) * INDEX_SIZE;
    memory_ = allocateTableMemory(INDEX_BYTES + ENTRY_BYTES + NEXT_BYTES + LENGTH_BYTES);
    auto* base = static_cast<unsigned char*>(memory_.get());
    index_ = reinterpret_cast<Slot*>(base);
    entries_ = reinterpret_cast<TableEntry*>(base + INDEX_BYTES);
    sameKeyNext_ = reinterpret_cast<std::int32_t*>(base + INDEX_BYTES + ENTRY_BYTES);
    bucketLength_ = base + INDEX_BYTES + ENTRY_BYTES + NEXT_BYTES;
}

std::uint32_t TranspositionTable::findSlot(std::uint32_t key0) const {
    const std::uint32_t tag = key0 >> 24;
    std::uint32_t s = slotOf(key0);
    for (std::uint32_t distance = 0;; s = (s + 1) & (INDEX_SLOTS - 1), ++distance) {
        const Slot x = index_[s];
        if (x.bits == 0) return s;
        if (x.tag() == tag && x.distance() == std::min(distance, FAR) &&
            entries_[x.firstPlusOne() - 1].key0 == key0)
            return s;
    }
}

std::uint32_t TranspositionTable::homeOf(std::uint32_t s, Slot x) const {
    if (x.distance() < FAR) return (s - x.distance()) & (INDEX_SLOTS - 1);
    return slotOf(entries_[x.firstPlusOne() - 1].key0);
}

// Linear probing without tombstones: later slots of the run move back into the gap.
void TranspositionTable::eraseSlot(std::uint32_t gap) {
    std::uint32_t s = gap;
    for (;;) {
        s = (s + 1) & (INDEX_SLOTS - 1);
        Slot x = index_[s];
        if (x.bits == 0) break;
        const std::uint32_t home = homeOf(s, x);
        // The entry at s may fill the gap unless its home lies cyclically in (gap, s].
        const bool homeBetween = gap <= s ? (gap < home && home <= s) : (gap < home || home <= s);
        if (!homeBetween) {
            x.setDistance((gap - home) & (INDEX_SLOTS - 1));
            index_[gap] = x;
            gap = s;
        }
    }
    index_[gap] = Slot{};
}

bool TranspositionTable::probe(const Board& b, ProbeResult& out) {
    const std::uint32_t key0 = b.hashValue(0);
    const Slot slot = index_[findSlot(key0)];
    if (slot.firstPlusOne() != 0) {
        const std::uint32_t key1 = b.hashValue(1);
        for (std::int32_t n = slot.firstPlusOne() - 1; n != NONE; n = sameKeyNext_[n]) {
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
    const Slot slot = index_[findSlot(key0)];
    if (slot.firstPlusOne() != 0) {
        for (std::int32_t n = slot.firstPlusOne() - 1; n != NONE; n = sameKeyNext_[n]) {
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

// Once the table is full, every new position replaces (usually) the entry after the last one
// replaced, whose index and bucket lines are therefore fetched a few replacements ahead.
void TranspositionTable::prefetchVictims() {
    constexpr std::int32_t AHEAD = 8;
    std::int32_t ahead = victimsFetched_ - replaceCursor_;
    if (ahead < 0) ahead += MAXIMUM_SIZE;
    if (ahead > AHEAD) {
        victimsFetched_ = replaceCursor_;
        ahead = 0;
    }
    for (; ahead < AHEAD; ++ahead) {
        victimsFetched_ = (victimsFetched_ + 1) % MAXIMUM_SIZE;
        const std::uint32_t key0 = entries_[victimsFetched_].key0;
        __builtin_prefetch(&index_[slotOf(key0)]);
        __builtin_prefetch(&bucketLength_[bucketOf(key0)]);
    }
}

// Takes entry n out of its bucket: out of its key's chain, and the key out of the index when n
// was its last entry.
void TranspositionTable::removeEntry(std::int32_t n) {
    const std::uint32_t key0 = entries_[n].key0;
    const std::uint32_t s = findSlot(key0);
    Slot& slot = index_[s];
    if (slot.firstPlusOne() - 1 == n) {
        if (sameKeyNext_[n] == NONE) eraseSlot(s);
        else slot.setFirstPlusOne(sameKeyNext_[n] + 1);
    } else {
        std::int32_t before = slot.firstPlusOne() - 1;
        while (sameKeyNext_[before] != n) before = sameKeyNext_[before];
        sameKeyNext_[before] = sameKeyNext_[n];
    }
    shrinkBucket(bucketOf(key0));
}

// Puts entry n at the end of its bucket: last in its key's chain.
void TranspositionTable::addEntry(std::int32_t n) {
    const std::uint32_t key0 = entries_[n].key0;
    sameKeyNext_[n] = NONE;
    const std::uint32_t s = findSlot(key0);
    Slot& slot = index_[s];
    if (slot.firstPlusOne() == 0) {
        slot = makeSlot(key0, (s - slotOf(key0)) & (INDEX_SLOTS - 1), n + 1);
    } else {
        std::int32_t last = slot.firstPlusOne() - 1;
        while (sameKeyNext_[last] != NONE) last = sameKeyNext_[last];
        sameKeyNext_[last] = n;
    }
    const std::uint32_t length = growBucket(bucketOf(key0));
    maximumListSize_ = std::max(maximumListSize_, static_cast<std::int32_t>(length));
}

std::uint32_t TranspositionTable::growBucket(std::uint32_t bucket) {
    std::uint8_t& b = bucketLength_[bucket];
    if (b < 254) return ++b;
    if (b == 254) {
        b = 255;
        longBuckets_[bucket] = 255;
        return 255;
    }
    return ++longBuckets_[bucket];
}

void TranspositionTable::shrinkBucket(std::uint32_t bucket) {
    std::uint8_t& b = bucketLength_[bucket];
    if (b < 255) {
        --b;
        return;
    }
    const std::uint32_t length = --longBuckets_[bucket];
    if (length < 255) {
        b = static_cast<std::uint8_t>(length);
        longBuckets_.erase(bucket);
    }
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
