#include "search/transposition_table.h"

#include <algorithm>

#include "diag/trace.h"

namespace wintarvo {

TranspositionTable::TranspositionTable()
    : entries_(new TableEntry[MAXIMUM_SIZE]),
      next_(new std::int32_t[MAXIMUM_SIZE]),
      heads_(new std::int32_t[INDEX_SIZE]) {
    std::fill_n(heads_.get(), INDEX_SIZE, NONE);
}

bool TranspositionTable::probe(const Board& b, ProbeResult& out) {
    const std::uint32_t key0 = b.hashValue(0);
    for (std::int32_t n = heads_[bucketOf(key0)]; n != NONE; n = next_[n]) {
        const TableEntry& e = entries_[n];
        if (e.key0 != key0) continue;
        if (e.key1 == b.hashValue(1)) {
            out.depth = e.depth;
            out.lower = e.lower;
            out.upper = e.upper;
            out.move = e.move();
            ++lookupSuccesses_;
            return true;
        }
        ++lockCollisions_;
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
    const std::uint32_t bucket = bucketOf(key0);
    for (std::int32_t n = heads_[bucket]; n != NONE; n = next_[n]) {
        TableEntry& e = entries_[n];
        if (e.key0 != key0) continue;
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

    // 2. A new entry: appended while there is room, otherwise over a victim.
    std::int32_t n;
    if (size_ < MAXIMUM_SIZE) {
        n = replaceCursor_ = size_++;
    } else {
        n = chooseVictim(depth);
        unlink(n);
    }
    entries_[n] = TableEntry{key0,
                             key1,
                             static_cast<std::int16_t>(lower),
                             static_cast<std::int16_t>(upper),
                             static_cast<std::int8_t>(depth),
                             static_cast<std::int8_t>(m.from),
                             static_cast<std::int8_t>(m.to),
                             static_cast<std::int8_t>(m.arrow)};
    append(bucket, n);
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

void TranspositionTable::unlink(std::int32_t n) {
    std::int32_t* link = &heads_[bucketOf(entries_[n].key0)];
    while (*link != n) link = &next_[*link];
    *link = next_[n];
}

void TranspositionTable::append(std::uint32_t bucket, std::int32_t n) {
    next_[n] = NONE;
    std::int32_t* link = &heads_[bucket];
    std::int32_t length = 1;
    while (*link != NONE) {
        link = &next_[*link];
        ++length;
    }
    *link = n;
    maximumListSize_ = std::max(maximumListSize_, length);
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
