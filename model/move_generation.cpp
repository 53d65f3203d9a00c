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

// Counting moves without listing them. An amazon on s that moves to t can shoot wherever a
// queen on t reaches with s empty. Against the position itself (s occupied) the only difference
// lies on the line from t back through s: the shot also reaches s and whatever s itself
// reaches beyond it. So, with m(t) a queen's reach from t in the position, R(s, d) the amazon's
// reach in direction d and t running over all destinations,
//   moves(s) = sum of m(t) + sum over d of |R(s, d)| * (1 + |R(s, -d)|).
// The sums of m(t) over all amazons together are taken direction by direction for every
// destination at once: the k-th step from t is open when t lies in B_k, the squares whose next
// k squares are open, and a destination reached by several amazons counts once for each (its
// multiplicity kept in three bit planes). The third plane, squares that all four amazons
// reach, is usually empty, and its counting is then left out.
template <int Delta, bool Four>
inline std::uint64_t slideCount(const Bits (&planes)[3], Bits open) {
    const Bits any = planes[0] | planes[1] | planes[2];
    const Bits first = bits::shift<-Delta>(open);  // squares whose next square is open
    std::uint64_t n = 0;
    for (Bits b = first; (b & any) != 0; b = first & bits::shift<-Delta>(b)) {
        int c = bits::count(planes[0] & b) + 2 * bits::count(planes[1] & b);
        if constexpr (Four) c += 4 * bits::count(planes[2] & b);
        n += static_cast<std::uint64_t>(c);
    }
    return n;
}

template <bool Four>
inline std::uint64_t slideCounts(const Bits (&planes)[3], Bits open) {
    return slideCount<-13, Four>(planes, open) + slideCount<-12, Four>(planes, open) +
           slideCount<-11, Four>(planes, open) + slideCount<-1, Four>(planes, open) +
           slideCount<1, Four>(planes, open) + slideCount<11, Four>(planes, open) +
           slideCount<12, Four>(planes, open) + slideCount<13, Four>(planes, open);
}

inline std::uint64_t countSideMoves(Bits amazons, Bits occupied) {
    const Bits open = bits::ALL & ~occupied;
    Bits planes[3] = {0, 0, 0};  // how many amazons reach each square, in binary (at most 4)
    std::uint64_t n = 0;
    while (amazons) {
        const Square s = bits::squareOf(bits::lowest(amazons));
        amazons &= amazons - 1;
        int reach[DIRECTIONS];
        Bits targets = 0;
        for (int d = 0; d < DIRECTIONS; ++d) {
            const Bits r = bits::reach(s, d, occupied);
            reach[d] = bits::count(r);
            targets |= r;
        }
        for (int d = 0; d < DIRECTIONS / 2; ++d) {  // d and 7 - d are opposite directions
            const std::uint64_t a = static_cast<std::uint64_t>(reach[d]);
            const std::uint64_t b = static_cast<std::uint64_t>(reach[DIRECTIONS - 1 - d]);
            n += a + b + 2 * a * b;
        }
        const Bits carry = planes[0] & targets;
        planes[0] ^= targets;
        planes[2] |= planes[1] & carry;
        planes[1] ^= carry;
    }
    return n + (planes[2] != 0 ? slideCounts<true>(planes, open) : slideCounts<false>(planes, open));
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

std::uint64_t countMoves(const Board& b) { return countSideMoves(b.amazons[b.sideToMove], b.occupied()); }

std::uint64_t perft(const Board& b, int depth) {
    if (depth <= 0) return 1;
    if (depth == 1) return countMoves(b);
    MoveList list;
    generateMoves(b, list);
    if (depth == 2) {
        // The last ply only needs the squares each move leaves occupied and the opponent's
        // amazons, which the move does not touch: no child board, no hash words.
        const Bits occupied = b.occupied();
        const Bits opponent = b.amazons[b.sideToMove ^ 1];
        std::uint64_t total = 0;
        for (const Move& m : list) {
            const Bits after = (occupied & ~bits::of(m.from)) | bits::of(m.to) | bits::of(m.arrow);
            total += countSideMoves(opponent, after);
        }
        return total;
    }
    std::uint64_t total = 0;
    for (const Move& m : list) {
        Board child = b;
        child.applyMove(m);
        total += perft(child, depth - 1);
    }
    return total;
}

}  // namespace wintarvo
