// Legal moves of a position, in the fixed generation order the search's tie-breaks start from:
// amazons by increasing square; for each, destinations by direction 0..7 and nearest first;
// for each destination, arrow squares by direction 0..7 and nearest first, with the amazon's
// old square open to the arrow. White's first move from the start is A4-A5 (A6), its last
// G1-J1 (E1).
#pragma once

#include <cstdint>

#include "model/board.h"
#include "model/move_list.h"
#include "model/position.h"

namespace wintarvo {

// Appends every square a queen on s reaches through empty cells (s itself never; its own cell
// is not looked at). Any code other than Empty blocks.
void destinations(const Position& p, Square s, SquareList& list);
int mobility(const Position& p, Square s);

// Empties the list and appends every legal move of the side to move.
void generateMoves(const Position& p, MoveList& list);
// Appends every move of the amazon on s.
void generateAmazonMoves(const Position& p, Square s, MoveList& list);
// True when m is one of the generated moves; a move with a negative field never is.
bool isLegalMove(const Position& p, const Move& m);
// The side to move has no move: it has lost.
bool hasNoLegalMove(const Position& p);

// The same on the engine's board.
void generateMoves(const Board& b, MoveList& list);

// Where the moves of one amazon to one destination start in a generated list: they run on to
// the start of the next group (or the end of the list).
struct MoveGroup {
    std::int8_t from;
    std::int8_t to;
    std::int32_t start;
};
using MoveGroups = std::vector<MoveGroup>;
// generateMoves that also records the groups, so a move can be found without scanning.
void generateMoves(const Board& b, MoveList& list, MoveGroups* groups);
// The place of m in a list generated with these groups, or -1.
int indexOfMove(const MoveList& list, const MoveGroups& groups, const Move& m);
void generateAmazonMoves(const Board& b, Square s, MoveList& list);
bool hasNoLegalMove(const Board& b);
// Number of legal moves, without listing them.
std::uint64_t countMoves(const Board& b);

// Number of move sequences of the given length (1 ply = one whole move).
std::uint64_t perft(const Board& b, int depth);

}  // namespace wintarvo
