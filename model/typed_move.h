// Reading a move that a person typed or pasted, or that another program sent.
//
// One reader for every notation the program meets outside its own record files. The whole
// text (blanks around it aside) must be one move; squares are a letter A..J or a..j and a rank
// 1..10 as parseSquare reads them. The forms, in either case:
//
//   D1-D4 (D7)   D1-D4(D7)    the record notation (the closing parenthesis is required here)
//   D1-D4/D7     D1-D4-D7     D1-D4xD7    the notations of other Amazons programs
//   D1D4D7       D10C9H4      compact, with ranks of one or two digits
//
// Pure function of its text; usable from any thread. dashedMoveText writes the form that GTP
// engines and Quarry write.
#pragma once

#include <string>
#include <string_view>

#include "model/move.h"

namespace wintarvo {

// True and m set to the move when the whole text is a move in one of the forms above; false
// with m unchanged otherwise. Legality is the caller's business.
bool parseTypedMove(std::string_view text, Move& m);

// "D1-D4-D7".
std::string dashedMoveText(const Move& m);

}  // namespace wintarvo
