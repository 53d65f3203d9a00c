// The one replay of a game file's moves from the starting position: every reader and writer of
// game files, and through them every front end, tells a legal move from an illegal one here.
//
// A plain value owned by whoever replays; one thread. It holds the position reached and the
// moves played so far, and only ever holds legal positions: a move that is not legal at its
// turn changes nothing. The legal moves of the position reached are generated once and kept,
// so a file of many lines that are not legal (up to the 4 MiB a file may hold) is judged in
// well under a second instead of one move generation per line.
#pragma once

#include <cstdint>
#include <vector>

#include "model/move_list.h"
#include "model/position.h"

namespace wintarvo {

class GameReplay {
  public:
    // At the starting position, no move played.
    GameReplay();

    // Plays m when it is legal in the position reached; false, with nothing changed, when it
    // is not.
    bool play(const Move& m);

    const Position& position() const { return position_; }
    const MoveList& moves() const { return moves_; }

  private:
    Position position_;
    MoveList moves_;
    // The legal moves of position_, packed and sorted; empty until asked for.
    std::vector<std::uint32_t> legal_;
    bool legalKnown_ = false;
};

}  // namespace wintarvo
