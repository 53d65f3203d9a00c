// The syntax of SGF game records (Smart Game Format, FF[4]): the first game tree of a file read
// down its main line, that is its own nodes and then, at every branch, the first variation.
//
// Plain functions over text that has already been read into memory (file_utils.h limits it);
// they allocate only for the nodes they return and may be called from any thread. The reader
// is written for untrusted bytes: it loops instead of recursing, so no nesting depth can
// overflow the stack, stores nothing of the variations it skips, keeps only the properties the
// caller asks for, and caps the nodes, properties and values it keeps, so that what it holds
// stays a small multiple of the text whatever the text is. What the properties mean is left
// to the caller (sgf_record.h for Amazons).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wintarvo {

struct SgfProperty {
    // The upper-case letters of the identifier: "GM", "W". Older files may mix in lower-case
    // letters ("GaMe"), which do not count.
    std::string id;
    // The first values (at most SGF_MAX_KEPT_VALUES), escapes resolved ("\]" is "]", a
    // backslash before a line end drops both).
    std::vector<std::string> values;
    // How many values the property had: one or more, possibly more than were kept.
    std::size_t valueCount = 0;
};

// The properties of one node, in file order.
using SgfNode = std::vector<SgfProperty>;

// Far more nodes than the main line of any Amazons game needs (92 moves at most), and few
// enough that a file made of nothing but nodes stays small in memory.
constexpr std::size_t SGF_MAX_MAIN_LINE_NODES = 10000;
// Values kept of one property; the rest are only counted. A move has one value, the lists of a
// set-up are refused whatever their length, and a text property is read from its first value.
constexpr std::size_t SGF_MAX_KEPT_VALUES = 8;
// Properties kept in the whole main line: an Amazons game needs about one a node, and a file
// that keeps asking for more is refused rather than filling memory.
constexpr std::size_t SGF_MAX_KEPT_PROPERTIES = 20000;

// Where the text's first game tree begins: the first "(" that is followed, after blanks and
// further "(", by ";". npos when there is none. Text before it (a server's header, say) is not
// part of the record.
std::size_t findSgfGameTree(std::string_view text);

// Replaces nodes by the main line of the text's first game tree (see findSgfGameTree; a game
// tree wrapped in extra parentheses, "((;...))", is read as the tree inside). Anything after
// the first game tree (further games of a collection) is not looked at. Only properties whose
// identifier is in `kept` are stored (all of them when `kept` is empty). False, with nodes
// empty and error naming the line and the cause, when the text holds no game tree, is not
// well-formed SGF up to the end of that tree, or its main line has more than
// SGF_MAX_MAIN_LINE_NODES nodes or SGF_MAX_KEPT_PROPERTIES kept properties.
bool readSgfMainLine(std::string_view text, std::vector<SgfNode>& nodes, std::string& error,
                     const std::vector<std::string_view>& kept = {});

// The node's property with this identifier, or nullptr; the first one if there are several.
const SgfProperty* findSgfProperty(const SgfNode& node, std::string_view id);

}  // namespace wintarvo
