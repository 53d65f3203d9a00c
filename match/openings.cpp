#include "match/openings.h"

#include <set>
#include <string>

#include "model/move_generation.h"
#include "model/position.h"

namespace wintarvo::match {

std::uint64_t SplitMix64::next() {
    state_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t SplitMix64::below(std::uint64_t n) {
    // Values under 2^64 mod n would make the low residues more likely; they are drawn again.
    const std::uint64_t threshold = (0 - n) % n;
    for (;;) {
        const std::uint64_t r = next();
        if (r >= threshold) return r % n;
    }
}

std::vector<MoveList> generateOpenings(int count, int plies, std::uint64_t seed) {
    SplitMix64 random(seed);
    std::vector<MoveList> openings;
    std::set<std::string> seen;
    // Plenty for any count there are openings for; bounded for counts there are not.
    const long long draws = 100LL * count + 1000;
    for (long long draw = 0; draw < draws && static_cast<int>(openings.size()) < count; ++draw) {
        Position p;
        p.setStartPosition();
        MoveList opening;
        MoveList moves;
        for (int ply = 0; ply < plies; ++ply) {
            generateMoves(p, moves);
            if (moves.empty()) break;
            const Move m = moves[random.below(moves.size())];
            p.applyMove(m);
            opening.push_back(m);
        }
        if (static_cast<int>(opening.size()) < plies || hasNoLegalMove(p)) continue;
        std::string key;
        for (const CellCode code : p.cells)
            key += static_cast<char>('0' + code);
        key += static_cast<char>('0' + p.sideToMove);
        if (seen.insert(key).second) openings.push_back(opening);
    }
    return openings;
}

GameAssignment assignmentFor(int index, int openingCount) {
    GameAssignment a;
    a.opening = openingCount > 0 ? (index / 2) % openingCount : 0;
    a.engineOneWhite = index % 2 == 0;
    return a;
}

}  // namespace wintarvo::match
