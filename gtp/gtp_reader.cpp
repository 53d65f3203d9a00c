#include "gtp/gtp_reader.h"

#include <algorithm>

namespace wintarvo::gtp {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string response(char kind, const std::string& id, std::string_view text) {
    std::string out(1, kind);
    out += id;
    if (!text.empty()) out += ' ';
    // A line feed directly after another (or at the very end) would put an empty line inside
    // the response.
    for (const char c : text) {
        if (c == '\n' && (out.back() == '\n' || out.back() == kind)) continue;
        out += c;
    }
    while (out.back() == '\n')
        out.pop_back();
    out += "\n\n";
    return out;
}

}  // namespace

bool readLine(std::istream& in, InputLine& line) {
    line.text.clear();
    line.tooLong = false;
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) return false;
    bool readAny = false;
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            return readAny;
        }
        readAny = true;
        if (c == '\n') return true;
        if (line.text.size() < MAX_LINE_LENGTH)
            line.text += static_cast<char>(c);
        else
            line.tooLong = true;
    }
}

bool parseCommand(std::string_view line, Command& command) {
    command = Command{};
    // 1-3. Control characters other than tab go (carriage returns among them), a comment is
    //      cut off, tabs become blanks.
    std::string clean;
    clean.reserve(line.size());
    for (const char c : line) {
        if (c == '#') break;
        const auto u = static_cast<unsigned char>(c);
        if (c == '\t') {
            clean += ' ';
        } else if (u >= 32 && u != 127) {
            clean += c;
        }
    }
    // 4. Split into words; a first word of digits only is the id.
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < clean.size()) {
        while (i < clean.size() && isBlank(clean[i]))
            ++i;
        const std::size_t start = i;
        while (i < clean.size() && !isBlank(clean[i]))
            ++i;
        if (i > start) words.emplace_back(clean, start, i - start);
    }
    if (words.empty()) return false;
    std::size_t next = 0;
    if (std::all_of(words[0].begin(), words[0].end(), [](char c) { return c >= '0' && c <= '9'; }))
        command.id = words[next++];
    if (next < words.size()) command.name = words[next++];
    command.arguments.assign(words.begin() + static_cast<std::ptrdiff_t>(next), words.end());
    return true;
}

std::string successResponse(const std::string& id, std::string_view text) {
    return response('=', id, text);
}

std::string failureResponse(const std::string& id, std::string_view text) {
    return response('?', id, text);
}

std::string quotedInput(std::string_view text) {
    constexpr std::size_t LIMIT = 40;
    std::string out;
    for (const char c : text.substr(0, LIMIT)) {
        const auto u = static_cast<unsigned char>(c);
        out += (u >= 32 && u < 127) ? c : '?';
    }
    if (text.size() > LIMIT) out += "...";
    return out;
}

}  // namespace wintarvo::gtp
