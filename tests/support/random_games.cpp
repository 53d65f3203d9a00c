#include "support/random_games.h"

#include "model/move_generation.h"

namespace wintarvo::testing {

std::vector<Move> playRandomGame(Position& p, int plies, std::mt19937& rng) {
    std::vector<Move> played;
    MoveList list;
    for (int i = 0; i < plies; ++i) {
        generateMoves(p, list);
        if (list.empty()) break;
        std::uniform_int_distribution<std::size_t> pick(0, list.size() - 1);
        const Move m = list[pick(rng)];
        p.applyMove(m);
        played.push_back(m);
    }
    return played;
}

std::vector<Position> randomPositions(int games, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<Position> out;
    MoveList list;
    for (int g = 0; g < games; ++g) {
        Position p;
        p.setStartPosition();
        out.push_back(p);
        for (int ply = 0; ply < 92; ++ply) {
            generateMoves(p, list);
            if (list.empty()) break;
            std::uniform_int_distribution<std::size_t> pick(0, list.size() - 1);
            p.applyMove(list[pick(rng)]);
            out.push_back(p);
        }
    }
    return out;
}

}  // namespace wintarvo::testing
