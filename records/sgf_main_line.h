// The syntax of SGF game records (Smart Game Format, FF[4]): the first game tree of a file read
// down its main line, that is its own nodes and then, at every branch, the first variation.
//
// Plain functions over text that has already been read into memory (file_utils.h limits it);
// they allocate only for the nodes they return and may be called from any thread. The reader
// is written for untrusted bytes: it loops instead of recursing, so no nesting depth can
// overflow the stack, stores nothing of the variations it skips, and caps the nodes it keeps.
// What the properties mean is left to the caller (sgf_record.h for Amazons).
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
    // One or more values, escapes resolved ("\]" is "]", a backslash before a line end drops
    // both).
    std::vector<std::string> values;
};

// The properties of one node, in file order.
using SgfNode = std::vector<SgfProperty>;

// Far more nodes than the main line of any Amazons game needs (92 moves at most), and few
// enough that a file made of nothing but nodes stays small in memory.
constexpr std::size_t SGF_MAX_MAIN_LINE_NODES = 10000;

// Replaces nodes by the main line of the text's first game tree. Blanks and a UTF-8 byte-order
// mark may come first; anything after the first game tree (further games of a collection) is
// not looked at. False, with nodes empty and error naming the line and the cause, when the
// text is not well-formed SGF up to the end of that tree or its main line has more than
// SGF_MAX_MAIN_LINE_NODES nodes.
bool readSgfMainLine(std::string_view text, std::vector<SgfNode>& nodes, std::string& error);

// The node's property with this identifier, or nullptr; the first one if there are several.
const SgfProperty* findSgfProperty(const SgfNode& node, std::string_view id);

}  // namespace wintarvo
