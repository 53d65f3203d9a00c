// The two pieces of formatted input that move texts are read with, done by hand so that they
// behave exactly like "%c" and "%2d" of formatted input: a character conversion takes any one
// byte, blanks included; a two-wide integer conversion skips white space, then reads an optional
// sign and digits, at most two characters in all. Reading stops at the end of the text or at a
// NUL byte, as it would on a C string.
#pragma once

#include <cstddef>
#include <string_view>

namespace wintarvo::scan {

class Scanner {
public:
    explicit Scanner(std::string_view text);

    bool readChar(char& out);
    bool readInt2(int& out);
    // A literal character of the format: matches exactly that byte.
    bool matchLiteral(char c);
    // A blank in the format: skips any amount of white space, none included.
    void skipSpace();

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace wintarvo::scan
