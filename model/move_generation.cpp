#include "model/move_generation.h"

namespace wintarvo {
namespace {

// Calls f for every square of set, nearest to the start of a ray in direction d first.
template <typename F>
inline void forEachNearestFirst(Bits set, int d, F&& f) {
    if (bits::stepsUp(d)) {
        while (set) {
            const int b = bits::lowest(set);
            set &= set - 1;
            f(bits::squareOf(b));
        }
    } else {
        while (set) {
            const int b = bits::highest(set);
            set ^= bits::one(b);
            f(bits::squareOf(b));
        }
    }
}

// The amazon on s has left; it reaches its destinations and shoots from each of them through
// the same occupancy, since a ray never includes its own start square.
inline void appendAmazonMoves(Square s, Bits occupied, MoveList& list, MoveGroups* groups) {
    const Bits open = occupied & ~bits::of(s);
    for (int d = 0; d < DIRECTIONS; ++d) {
        forEachNearestFirst(bits::reach(s, d, open), d, [&](Square t) {
            if (groups) {
                groups->push_back(MoveGroup{static_cast<std::int8_t>(s), static_cast<std::int8_t>(t),
                                            static_cast<std::int32_t>(list.size())});
            }
            for (int e = 0; e < DIRECTIONS; ++e) {
                forEachNearestFirst(bits::reach(t, e, open), e,
                                    [&](Square a) { list.push_back(Move{s, t, a}); });
            }
        });
    }
}

// The number of squares all of `targets` together reach sliding in direction Delta through
// `open`, each target counted on its own: the k-th step from a target is open when the target
// is in B_k, the squares whose next k squares in that direction are open.
template <int Delta>
inline int slideCount(Bits targets, Bits open) {
    const Bits first = bits::shift<-Delta>(open);  // squares whose next square is open
    Bits b = first;
    int n = 0;
    for (Bits hit = targets & b; hit; hit = targets & b) {
        n += bits::count(hit);
        b = first & bits::shift<-Delta>(b);
    }
    return n;
}

// An amazon's moves are its destinations times the arrow squares of each, so the count is the
// sum over destinations of what a queen reaches from there, taken a direction at a time for all
// destinations at once.
inline std::uint64_t countAmazonMoves(Square s, Bits occupied) {
    const Bits blocked = occupied & ~bits::of(s);
    const Bits open = bits::ALL & ~blocked;
    const Bits targets = bits::queenReach(s, blocked);
    const int n = slideCount<-13>(targets, open) + slideCount<-12>(targets, open) +
                  slideCount<-11>(targets, open) + slideCount<-1>(targets, open) +
                  slideCount<1>(targets, open) + slideCount<11>(targets, open) +
                  slideCount<12>(targets, open) + slideCount<13>(targets, open);
    return static_cast<std::uint64_t>(n);
}

}  // namespace

void destinations(const Position& p, Square s, SquareList& list) {
    for (int d = 0; d < DIRECTIONS; ++d) {
        for (std::int8_t t : RayTable::ray(s, d)) {
            if (t < 0 || p.cell(t) != Empty) break;
            list.append(t);
        }
    }
}

int mobility(const Position& p, Square s) {
    int n = 0;
    for (int d = 0; d < DIRECTIONS; ++d) {
        for (std::int8_t t : RayTable::ray(s, d)) {
            if (t < 0 || p.cell(t) != Empty) break;
            ++n;
        }
    }
    return n;
}

void generateMoves(const Position& p, MoveList& list) { generateMoves(Board::fromPosition(p), list); }

void generateAmazonMoves(const Position& p, Square s, MoveList& list) {
    generateAmazonMoves(Board::fromPosition(p), s, list);
}

bool isLegalMove(const Position& p, const Move& m) {
    if (!m.isValid()) return false;
    MoveList list;
    generateMoves(p, list);
    for (const Move& x : list)
        if (x == m) return true;
    return false;
}

bool hasNoLegalMove(const Position& p) { return hasNoLegalMove(Board::fromPosition(p)); }

void generateMoves(const Board& b, MoveList& list) { generateMoves(b, list, nullptr); }

void generateMoves(const Board& b, MoveList& list, MoveGroups* groups) {
    list.clear();
    if (groups) groups->clear();
    const Bits occupied = b.occupied();
    Bits mine = b.amazons[b.sideToMove];
    while (mine) {
        const int bit = bits::lowest(mine);
        mine &= mine - 1;
        appendAmazonMoves(bits::squareOf(bit), occupied, list, groups);
    }
}

int indexOfMove(const MoveList& list, const MoveGroups& groups, const Move& m) {
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (groups[g].from != m.from || groups[g].to != m.to) continue;
        const std::size_t end = g + 1 < groups.size() ? static_cast<std::size_t>(groups[g + 1].start) : list.size();
        for (std::size_t i = static_cast<std::size_t>(groups[g].start); i < end; ++i)
            if (list[i].arrow == m.arrow) return static_cast<int>(i);
        return -1;
    }
    return -1;
}

void generateAmazonMoves(const Board& b, Square s, MoveList& list) {
    appendAmazonMoves(s, b.occupied(), list, nullptr);
}

bool hasNoLegalMove(const Board& b) {
    // An amazon with an empty neighbour can step there and shoot back to where it stood.
    const Bits occupied = b.occupied();
    Bits mine = b.amazons[b.sideToMove];
    while (mine) {
        const int bit = bits::lowest(mine);
        mine &= mine - 1;
        if (bits::queenReach(bits::squareOf(bit), occupied) != 0) return false;
    }
    return true;
}

std::uint64_t countMoves(const Board& b) {
    const Bits occupied = b.occupied();
    std::uint64_t n = 0;
    Bits mine = b.amazons[b.sideToMove];
    while (mine) {
        const int bit = bits::lowest(mine);
        mine &= mine - 1;
        n += countAmazonMoves(bits::squareOf(bit), occupied);
    }
    return n;
}

std::uint64_t perft(const Board& b, int depth) {
    if (depth <= 0) return 1;
    if (depth == 1) return countMoves(b);
    MoveList list;
    generateMoves(b, list);
    std::uint64_t total = 0;
    for (const Move& m : list) {
        Board child = b;
        child.applyMove(m);
        total += perft(child, depth - 1);
    }
    return total;
}

}  // namespace wintarvo
