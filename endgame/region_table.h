// The region solver's memory: for each region it has searched (stored moved to the top left
// corner, see regions::cornerShift), the proven bounds on the moves its amazons can make, the
// first move of the longest sequence found, and how much work the result took.
//
// An exact entry (lower == upper) is final. An entry with a gap was cut short by the node
// budget; it records that budget, so that a later search takes the bounds as they are unless
// it has twice the budget.
//
// A fixed number of slots in pairs: a region goes into one of the two slots of its pair, and
// when both hold other regions the one that took fewer nodes to work out gives way. The slots
// are made with the first store, so that a search that never meets a split board never pays
// for them; nothing grows after that. Owned by one RegionSolver and used by its thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "model/bitboard.h"

namespace wintarvo {

struct RegionEntry {
    std::uint64_t amazons[2];
    std::uint64_t empty[2];
    std::int32_t budget;  // the node budget of the search that stored it; exact: the largest
    std::int32_t nodes;   // the nodes that search took, for choosing what to replace
    std::int8_t lower;
    std::int8_t upper;
    // The first move of a sequence of `lower` moves, as bits of the stored (shifted) region;
    // -1 when lower is 0 or the move was not recorded.
    std::int8_t from;
    std::int8_t to;
    std::int8_t arrow;

    bool used() const { return upper >= 0; }
    bool exact() const { return lower == upper; }
};

class RegionTable {
  public:
    // 2^bits slots.
    explicit RegionTable(int bits);

    // The entry of the region, or nullptr.
    const RegionEntry* find(Bits amazons, Bits empty) const;
    // Stores (or replaces) the region's entry; the key fields of `e` are filled here.
    void store(Bits amazons, Bits empty, RegionEntry e);

  private:
    std::size_t pairOf(Bits amazons, Bits empty) const;
    static bool holds(const RegionEntry& e, Bits amazons, Bits empty);

    std::vector<RegionEntry> slots_;
    std::size_t mask_;
};

}  // namespace wintarvo
