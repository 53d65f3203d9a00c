#include "gtp/gtp_reader.h"

#include <algorithm>

#include "model/text.h"

namespace wintarvo::gtp {
namespace {

bool isBlank(char c) {
    return text::isBlank(c, text::GTP_BLANKS);
}

// A character that survives the clean-up and is not a blank: part of a command.
bool isCommandCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > 32 && u != 127;
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
    line.commandDropped = false;
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) return false;
    bool readAny = false;
    // Whether a comment has begun: what follows it is never part of a command.
    bool inComment = false;
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            return readAny;
        }
        readAny = true;
        if (c == '\n') return true;
        const char ch = static_cast<char>(c);
        if (line.text.size() < MAX_LINE_LENGTH) {
            line.text += ch;
        } else {
            line.tooLong = true;
            if (!inComment && isCommandCharacter(ch) && ch != '#') line.commandDropped = true;
        }
        if (ch == '#') inComment = true;
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

std::string quotedInput(std::string_view input) {
    return text::quoted(input, 40);
}

}  // namespace wintarvo::gtp
