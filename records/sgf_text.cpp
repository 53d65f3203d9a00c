#include "records/sgf_text.h"

#include <array>

#include "model/text.h"

namespace wintarvo {
namespace {

enum class Charset { Utf8, Ascii, Latin1, Windows1252, Unknown };

// What cannot be read, shown as "?".
constexpr char32_t UNREADABLE = U'?';

Charset charsetNamed(std::string_view name) {
    const std::string set = text::lowerCase(text::trimmed(name, text::SGF_BLANKS));
    if (set == "utf-8" || set == "utf8") return Charset::Utf8;
    if (set == "us-ascii" || set == "ascii") return Charset::Ascii;
    if (set == "iso-8859-1" || set == "iso8859-1" || set == "iso_8859-1" || set == "latin1" ||
        set == "latin-1" || set == "l1")
        return Charset::Latin1;
    if (set == "windows-1252" || set == "cp1252") return Charset::Windows1252;
    return Charset::Unknown;
}

// The length of the well-formed UTF-8 sequence at text[i] (1 to 4) with its code point, or 0.
std::size_t utf8Sequence(std::string_view text, std::size_t i, char32_t& code) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    // The allowed range of the second byte narrows for E0, ED, F0 and F4 (no overlong forms,
    // surrogates or code points above U+10FFFF).
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - i < length || byte(1) < low || byte(1) > high) return 0;
    code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(k) & 0x3F);
    }
    return length;
}

// Windows-1252's characters at 0x80..0x9F; 0 where it has none.
constexpr std::array<char16_t, 32> WINDOWS_1252_HIGH = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character that one byte stands for in a single-byte character set.
char32_t singleByteCharacter(unsigned char byte, Charset set) {
    if (byte < 0x80) return byte;
    if (set == Charset::Latin1) return byte;
    if (set == Charset::Windows1252) {
        if (byte >= 0xA0) return byte;
        const char16_t c = WINDOWS_1252_HIGH[byte - 0x80];
        return c != 0 ? c : UNREADABLE;
    }
    return UNREADABLE;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Blanks become spaces; other control characters, C1 among them, go.
void appendCleaned(std::string& out, char32_t c) {
    if (c == '\r' || c == '\n' || c == '\t' || c == '\v' || c == '\f')
        out += ' ';
    else if (c >= 0x20 && (c < 0x7F || c >= 0xA0))
        appendUtf8(out, c);
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    char32_t code = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8Sequence(text, i, code);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string sgfSimpleText(std::string_view value, std::string_view charset) {
    Charset set = charsetNamed(charset);
    if (text::isBlankText(charset, text::SGF_BLANKS))
        set = isValidUtf8(value) ? Charset::Utf8 : Charset::Latin1;
    const bool multiByte = set == Charset::Utf8 || set == Charset::Unknown;
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        char32_t c = 0;
        const std::size_t length = multiByte ? utf8Sequence(value, i, c) : 1;
        if (length == 0) {
            c = UNREADABLE;
        } else if (!multiByte) {
            c = singleByteCharacter(static_cast<unsigned char>(value[i]), set);
        }
        appendCleaned(out, c);
        i += length == 0 ? 1 : length;
    }
    return out;
}

}  // namespace wintarvo
