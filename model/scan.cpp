#include "model/scan.h"

namespace wintarvo::scan {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

Scanner::Scanner(std::string_view text) : text_(text) {
    const auto nul = text_.find('\0');
    if (nul != std::string_view::npos) text_ = text_.substr(0, nul);
}

bool Scanner::readChar(char& out) {
    if (atEnd()) return false;
    out = text_[pos_++];
    return true;
}

bool Scanner::readInt2(int& out) {
    skipSpace();
    int width = 2;
    bool negative = false;
    if (!atEnd() && (text_[pos_] == '+' || text_[pos_] == '-')) {
        negative = text_[pos_] == '-';
        ++pos_;
        --width;
    }
    int value = 0;
    int digits = 0;
    while (width > 0 && !atEnd() && isDigit(text_[pos_])) {
        value = value * 10 + (text_[pos_] - '0');
        ++pos_;
        --width;
        ++digits;
    }
    if (digits == 0) return false;
    out = negative ? -value : value;
    return true;
}

bool Scanner::matchLiteral(char c) {
    if (atEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
}

void Scanner::skipSpace() {
    while (!atEnd() && isSpace(text_[pos_])) ++pos_;
}

}  // namespace wintarvo::scan
