#include "model/square.h"

namespace wintarvo {

std::string squareText(Square s) {
    if (s < 0 || s > 99) return {};
    std::string text(1, static_cast<char>('A' + squareColumn(s)));
    text += std::to_string(10 - squareRow(s));
    return text;
}

Square squareFromParts(char letter, int number) {
    int column = -1;
    if (letter >= 'A' && letter <= 'J') column = letter - 'A';
    if (letter >= 'a' && letter <= 'j') column = letter - 'a';
    if (column < 0 || number < 1 || number > 10) return NO_SQUARE;
    return 10 * (10 - number) + column;
}

Square readSquareAt(std::string_view text, std::size_t& pos) {
    // Letter, then "10" or one digit 1..9.
    if (pos + 1 >= text.size()) return NO_SQUARE;
    const char letter = text[pos];
    const char first = text[pos + 1];
    if (first < '1' || first > '9') return NO_SQUARE;
    int number = first - '0';
    std::size_t end = pos + 2;
    if (first == '1' && end < text.size() && text[end] == '0') {
        number = 10;
        ++end;
    }
    const Square s = squareFromParts(letter, number);
    if (s != NO_SQUARE) pos = end;
    return s;
}

Square parseSquare(std::string_view text) {
    std::size_t pos = 0;
    const Square s = readSquareAt(text, pos);
    return pos == text.size() ? s : NO_SQUARE;
}

}  // namespace wintarvo
