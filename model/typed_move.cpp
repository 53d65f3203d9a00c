#include "model/typed_move.h"

#include "model/text.h"

namespace wintarvo {
namespace {

bool take(std::string_view text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
}

// What stands between the destination and the arrow once the amazon's move was written with a
// hyphen. True when one of the accepted separators is there; `closing` tells whether the arrow
// must be followed by ')'.
bool takeArrowSeparator(std::string_view text, std::size_t& pos, bool& closing) {
    closing = false;
    if (take(text, pos, '/') || take(text, pos, '-') || take(text, pos, 'x') ||
        take(text, pos, 'X'))
        return true;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    closing = take(text, pos, '(');
    return closing;
}

}  // namespace

bool parseTypedMove(std::string_view text, Move& m) {
    text = text::trimmed(text, text::TYPED_MOVE_BLANKS);
    std::size_t pos = 0;
    Move read;
    read.from = readSquareAt(text, pos);
    if (read.from == NO_SQUARE) return false;
    // Compact when the destination follows at once, else a hyphen and one of the separators.
    const bool compact = !take(text, pos, '-');
    read.to = readSquareAt(text, pos);
    if (read.to == NO_SQUARE) return false;
    bool closing = false;
    if (!compact && !takeArrowSeparator(text, pos, closing)) return false;
    read.arrow = readSquareAt(text, pos);
    if (read.arrow == NO_SQUARE) return false;
    if (closing && !take(text, pos, ')')) return false;
    if (pos != text.size()) return false;
    m = read;
    return true;
}

std::string dashedMoveText(const Move& m) {
    return squareText(m.from) + "-" + squareText(m.to) + "-" + squareText(m.arrow);
}

}  // namespace wintarvo
