// Small text helpers shared by the readers of outside text: record files, SGF records, GTP
// lines, typed moves and the tool's arguments.
//
// Each format has its own set of blanks, named here once, so that a reader says which one it
// follows instead of spelling out its own. Case folding is ASCII only: the formats' keywords
// and square letters are ASCII, and bytes above 127 are left as they are. Integers follow one
// rule, shared by the command-line tool's arguments and GTP's arguments. Plain functions of
// their arguments; any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace wintarvo::text {

// Blanks in a line of a record file (the line ends are gone by then).
inline constexpr std::string_view RECORD_BLANKS = " \t";
// Blanks between the tokens of an SGF record and around the numbers and names of its values.
inline constexpr std::string_view SGF_BLANKS = " \t\r\n\v\f";
// Blanks between the words of a GTP command line (other control characters are dropped
// before the line is split).
inline constexpr std::string_view GTP_BLANKS = " \t";
// Blanks around a move typed by a person or sent by another program.
inline constexpr std::string_view TYPED_MOVE_BLANKS = " \t\r\n";

inline bool isBlank(char c, std::string_view blanks) {
    return blanks.find(c) != std::string_view::npos;
}

// True when every character is one of the blanks (so also for the empty text).
bool isBlankText(std::string_view s, std::string_view blanks);

// The text without the blanks at either end.
std::string_view trimmed(std::string_view s, std::string_view blanks);

// 'A'..'Z' become 'a'..'z'; every other byte stays.
char lowerCase(char c);
std::string lowerCase(std::string_view s);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool endsWithIgnoringCase(std::string_view s, std::string_view ending);

// A whole decimal int: an optional sign ('+' or '-') directly followed by digits, and nothing
// else (no blanks). Nothing for any other text or a value outside int. The command-line tool
// and the GTP engine read their numbers this way.
std::optional<int> parseInteger(std::string_view s);

// A piece of outside text fit to quote in a message: printable ASCII only (every other byte
// becomes '?', so no control character reaches a terminal), cut after limit characters with
// "..." added.
std::string quoted(std::string_view s, std::size_t limit);

}  // namespace wintarvo::text
