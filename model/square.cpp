#include "model/square.h"

#include "model/scan.h"

namespace wintarvo {

std::string squareText(Square s) {
    if (s < 0 || s > 99) return {};
    std::string text(1, static_cast<char>('A' + squareColumn(s)));
    text += std::to_string(10 - squareRow(s));
    return text;
}

namespace detail {
// The index arithmetic shared with the full move notation.
Square squareFromParts(char letter, int number) {
    const int index = static_cast<signed char>(letter) - 10 * number + 35;
    return (index >= 0 && index <= 99) ? index : NO_SQUARE;
}
}  // namespace detail

Square parseSquare(const std::string& text) {
    scan::Scanner in(text);
    char letter = 0;
    int number = 0;
    if (!in.readChar(letter) || !in.readInt2(number)) return NO_SQUARE;
    return detail::squareFromParts(letter, number);
}

}  // namespace wintarvo
