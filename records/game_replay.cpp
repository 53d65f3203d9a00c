#include "records/game_replay.h"

#include <algorithm>

#include "model/move_generation.h"

namespace wintarvo {
namespace {

bool onBoard(Square s) {
    return s >= 0 && s < BOARD_SQUARES;
}

}  // namespace

GameReplay::GameReplay() {
    position_.setStartPosition();
}

bool GameReplay::play(const Move& m) {
    if (!onBoard(m.from) || !onBoard(m.to) || !onBoard(m.arrow)) return false;
    if (!legalKnown_) {
        MoveList list;
        generateMoves(position_, list);
        legal_.clear();
        for (const Move& x : list)
            legal_.push_back(packMove(x));
        std::sort(legal_.begin(), legal_.end());
        legalKnown_ = true;
    }
    if (!std::binary_search(legal_.begin(), legal_.end(), packMove(m))) return false;
    position_.applyMove(m);
    moves_.push_back(m);
    legalKnown_ = false;
    return true;
}

}  // namespace wintarvo
