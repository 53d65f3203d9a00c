// The simple text values of SGF records (the players' names, the date) as this program keeps
// and writes them: valid UTF-8 without control characters.
//
// A value is read in the character set its record names (CA): UTF-8, US-ASCII, ISO-8859-1 and
// Windows-1252 are converted; a record without CA is read as UTF-8 when the value is valid
// UTF-8 and as ISO-8859-1 (SGF's default) otherwise; under any other character set what is
// valid UTF-8 is kept. A byte that cannot be read becomes "?". As SGF shows simple text, a line
// break, tab or other blank becomes a space; other control characters are dropped. Plain
// functions; any thread.
#pragma once

#include <string>
#include <string_view>

namespace wintarvo {

// The value in UTF-8, cleaned up as above. The result of a result is itself.
std::string sgfSimpleText(std::string_view value, std::string_view charset);

// True when the text is well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

}  // namespace wintarvo
