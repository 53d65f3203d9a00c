#include "model/move.h"

#include "model/scan.h"

namespace wintarvo {

std::string moveText(const Move& m) {
    return squareText(m.from) + "-" + squareText(m.to) + " (" + squareText(m.arrow) + ")";
}

namespace {

bool parseCompact(const std::string& text, Move& m) {
    Square* fields[3] = {&m.from, &m.to, &m.arrow};
    for (int i = 0; i < 3; ++i) {
        const Square s = parseSquare(text.substr(2 * i, 2));
        *fields[i] = s;
        if (s == NO_SQUARE) return false;
    }
    return true;
}

// The full form, read like the format "%c%2d-%c%2d (%c%2d)": all six items must be read, and
// each letter and number that do not name a square give -1 for that square.
bool parseFull(const std::string& text, Move& m) {
    scan::Scanner in(text);
    char letters[3] = {};
    int numbers[3] = {};
    if (!in.readChar(letters[0]) || !in.readInt2(numbers[0])) return false;
    if (!in.matchLiteral('-')) return false;
    if (!in.readChar(letters[1]) || !in.readInt2(numbers[1])) return false;
    in.skipSpace();
    if (!in.matchLiteral('(')) return false;
    if (!in.readChar(letters[2]) || !in.readInt2(numbers[2])) return false;
    m.from = squareFromParts(letters[0], numbers[0]);
    m.to = squareFromParts(letters[1], numbers[1]);
    m.arrow = squareFromParts(letters[2], numbers[2]);
    return true;
}

}  // namespace

bool parseMove(const std::string& text, Move& m) {
    if (text.size() < 6) return false;
    if (text.size() == 6) return parseCompact(text, m);
    return parseFull(text, m);
}

std::uint32_t packMove(const Move& m) {
    return (static_cast<std::uint32_t>(m.from) & 0xFFu) << 16 |
           (static_cast<std::uint32_t>(m.to) & 0xFFu) << 8 |
           (static_cast<std::uint32_t>(m.arrow) & 0xFFu);
}

void unpackMove(std::uint32_t value, Move& m) {
    m.from = static_cast<Square>((value >> 16) & 0xFFu);
    m.to = static_cast<Square>((value >> 8) & 0xFFu);
    m.arrow = static_cast<Square>(value & 0xFFu);
}

}  // namespace wintarvo
