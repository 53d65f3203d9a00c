// The Go Text Protocol's framing, as the GTP engine reads and answers it: lines read with a
// cap on their length, the protocol's clean-up of a line (control characters dropped, a
// comment from '#' on cut off, tabs made blanks), the optional numeric id, the command name
// and its arguments, and the "=" and "?" responses, each ended by an empty line.
//
// Everything here takes untrusted bytes: no input makes it read past the cap, keep more than
// the cap, or write a response with an empty line inside it (that would end the response
// early for the client).
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace wintarvo::gtp {

// Longest line kept; the rest of a longer line is read and dropped.
constexpr std::size_t MAX_LINE_LENGTH = 4096;

struct InputLine {
    std::string text;      // without the line end, at most MAX_LINE_LENGTH characters
    bool tooLong = false;  // characters were dropped
    // Some dropped character belongs to a command: one that is neither a blank, a control
    // character nor part of a comment. A longer line without one (a long comment, a line of
    // blanks) is whole in text as far as the protocol is concerned.
    bool commandDropped = false;
};

// Reads through the next line feed or to the end of input; false when the input had ended
// before anything was read.
bool readLine(std::istream& in, InputLine& line);

struct Command {
    std::string id;  // the digits of the id, or empty
    std::string name;
    std::vector<std::string> arguments;
};

// Cleans the line up and splits it. False when nothing is left of it (empty, blanks, a
// comment): such a line gets no response. A line with an id alone gives an empty name.
bool parseCommand(std::string_view line, Command& command);

// "=id text" and "?id text", each ended by an empty line. Empty lines inside the text are
// dropped, so the response cannot end early.
std::string successResponse(const std::string& id, std::string_view text);
std::string failureResponse(const std::string& id, std::string_view text);

// A piece of the client's input fit to quote in an error message: printable ASCII only (others
// become '?'), at most 40 characters.
std::string quotedInput(std::string_view text);

}  // namespace wintarvo::gtp
