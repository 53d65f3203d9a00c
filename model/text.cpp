#include "model/text.h"

#include <algorithm>
#include <charconv>

namespace wintarvo::text {

bool isBlankText(std::string_view s, std::string_view blanks) {
    return s.find_first_not_of(blanks) == std::string_view::npos;
}

std::string_view trimmed(std::string_view s, std::string_view blanks) {
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return s.substr(s.size());
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

char lowerCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = lowerCase(c);
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerCase(x) == lowerCase(y);
           });
}

bool endsWithIgnoringCase(std::string_view s, std::string_view ending) {
    return s.size() >= ending.size() &&
           equalsIgnoringCase(s.substr(s.size() - ending.size()), ending);
}

std::optional<int> parseInteger(std::string_view s) {
    const char* first = s.data();
    const char* last = s.data() + s.size();
    // from_chars takes a '-' but not a '+'; one sign, then a digit.
    const bool plus = first != last && *first == '+';
    if (plus) ++first;
    const char* digits = !plus && first != last && *first == '-' ? first + 1 : first;
    if (digits == last || *digits < '0' || *digits > '9') return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last) return std::nullopt;
    return value;
}

std::string quoted(std::string_view s, std::size_t limit) {
    std::string out;
    for (const char c : s.substr(0, limit)) {
        const auto u = static_cast<unsigned char>(c);
        out += (u >= 32 && u < 127) ? c : '?';
    }
    if (s.size() > limit) out += "...";
    return out;
}

}  // namespace wintarvo::text
