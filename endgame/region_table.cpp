#include "endgame/region_table.h"

namespace wintarvo {
namespace {

inline std::uint64_t low(Bits b) {
    return static_cast<std::uint64_t>(b);
}
inline std::uint64_t high(Bits b) {
    return static_cast<std::uint64_t>(b >> 64);
}

inline std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 31;
    x *= 0x7FB5D329728EA185ull;
    x ^= x >> 27;
    x *= 0x81DADEF4BC2DD44Dull;
    return x ^ (x >> 33);
}

RegionEntry unused() {
    RegionEntry e{};
    e.upper = -1;
    return e;
}

}  // namespace

RegionTable::RegionTable(int bits) : mask_((std::size_t{1} << bits) - 2) {}

std::size_t RegionTable::pairOf(Bits amazons, Bits empty) const {
    const std::uint64_t h =
        mix(low(empty) ^ mix(high(empty) ^ mix(low(amazons) ^ mix(high(amazons)))));
    return static_cast<std::size_t>(h) & mask_;
}

bool RegionTable::holds(const RegionEntry& e, Bits amazons, Bits empty) {
    return e.used() && e.empty[0] == low(empty) && e.empty[1] == high(empty) &&
           e.amazons[0] == low(amazons) && e.amazons[1] == high(amazons);
}

const RegionEntry* RegionTable::find(Bits amazons, Bits empty) const {
    if (slots_.empty()) return nullptr;
    const std::size_t p = pairOf(amazons, empty);
    if (holds(slots_[p], amazons, empty)) return &slots_[p];
    if (holds(slots_[p + 1], amazons, empty)) return &slots_[p + 1];
    return nullptr;
}

void RegionTable::store(Bits amazons, Bits empty, RegionEntry e) {
    e.amazons[0] = low(amazons);
    e.amazons[1] = high(amazons);
    e.empty[0] = low(empty);
    e.empty[1] = high(empty);
    if (slots_.empty()) slots_.assign(mask_ + 2, unused());
    const std::size_t p = pairOf(amazons, empty);
    RegionEntry& first = slots_[p];
    RegionEntry& second = slots_[p + 1];
    if (holds(first, amazons, empty) || !first.used()) {
        first = e;
    } else if (holds(second, amazons, empty) || !second.used()) {
        second = e;
    } else {
        (second.nodes < first.nodes ? second : first) = e;
    }
}

}  // namespace wintarvo
