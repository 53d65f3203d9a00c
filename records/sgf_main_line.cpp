#include "records/sgf_main_line.h"

#include <algorithm>

#include "model/text.h"

namespace wintarvo {
namespace {

bool isBlank(char c) {
    return text::isBlank(c, text::SGF_BLANKS);
}
bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isLetter(char c) {
    return isUpper(c) || (c >= 'a' && c <= 'z');
}

// One pass over the text from its first game tree's "(" to the ")" that closes it. The main
// line ends at the first ")": until then every "(" opens the first variation of the tree
// before it, and afterwards the rest of the tree is only checked.
class MainLineReader {
  public:
    MainLineReader(std::string_view text, std::vector<SgfNode>& nodes,
                   const std::vector<std::string_view>& kept)
        : text_(text), nodes_(nodes), kept_(kept) {}

    bool read() {
        const std::size_t start = findSgfGameTree(text_);
        if (start == std::string_view::npos) return fail("no SGF game tree (\"(;\") in the file");
        pos_ = start;
        // Counted as an int: a text of 4 MiB nests no deeper than that.
        int depth = 0;
        bool onMainLine = true;
        // What may come next: a node only after "(", no node after a variation's ")".
        bool needNode = false;
        bool inNode = false;
        bool afterVariation = false;
        for (;;) {
            skipBlanks();
            if (atEnd()) return fail("the game tree is not closed (\")\" missing at the end)");
            const char c = text_[pos_];
            if (c == '(' && needNode) {
                // A game tree wrapped in parentheses of its own.
                ++pos_;
                ++depth;
                continue;
            }
            if (c == '(' || c == ')') {
                if (needNode) return fail("a game tree without a node (\";\" missing)");
                ++pos_;
                inNode = false;
                if (c == '(') {
                    ++depth;
                    needNode = true;
                    afterVariation = false;
                    continue;
                }
                onMainLine = false;
                afterVariation = true;
                if (--depth == 0) return true;
            } else if (c == ';') {
                if (afterVariation) return fail("a node after a variation");
                ++pos_;
                needNode = false;
                inNode = true;
                if (onMainLine) {
                    if (nodes_.size() >= SGF_MAX_MAIN_LINE_NODES)
                        return fail("more than " + std::to_string(SGF_MAX_MAIN_LINE_NODES) +
                                    " nodes in the main line");
                    nodes_.emplace_back();
                }
            } else if (isLetter(c)) {
                if (!inNode) return fail("a property outside a node");
                SgfProperty property;
                if (!readProperty(property, onMainLine)) return false;
                if (!onMainLine || !isKept(property.id)) continue;
                if (++keptProperties_ > SGF_MAX_KEPT_PROPERTIES)
                    return fail("more than " + std::to_string(SGF_MAX_KEPT_PROPERTIES) +
                                " properties in the main line");
                nodes_.back().push_back(std::move(property));
            } else {
                return fail(std::string("unexpected character '") + printable(c) + "'");
            }
        }
    }

    const std::string& error() const { return error_; }

  private:
    bool atEnd() const { return pos_ >= text_.size(); }

    bool isKept(const std::string& id) const {
        return kept_.empty() || std::find(kept_.begin(), kept_.end(), id) != kept_.end();
    }

    void skipBlanks() {
        while (!atEnd() && isBlank(text_[pos_]))
            ++pos_;
    }

    // The identifier's letters, then its values, each "[" ... "]" with blanks between them.
    // Only the values of a property that may be kept are stored, and only the first few.
    bool readProperty(SgfProperty& property, bool mayKeep) {
        const std::size_t start = pos_;
        while (!atEnd() && isLetter(text_[pos_])) {
            if (isUpper(text_[pos_])) property.id += text_[pos_];
            ++pos_;
        }
        if (property.id.empty()) return fail("a property identifier without an upper-case letter");
        const bool keep = mayKeep && isKept(property.id);
        skipBlanks();
        while (!atEnd() && text_[pos_] == '[') {
            std::string* value = nullptr;
            if (keep && property.values.size() < SGF_MAX_KEPT_VALUES)
                value = &property.values.emplace_back();
            if (!readValue(value)) return false;
            ++property.valueCount;
            skipBlanks();
        }
        if (property.valueCount == 0) {
            pos_ = start;
            return fail("property " + property.id + " without a value (\"[\" missing)");
        }
        return true;
    }

    // From "[" to the "]" that ends the value; pos_ is left after it. The value goes to
    // *value, or nowhere.
    bool readValue(std::string* value) {
        const std::size_t start = pos_++;
        while (!atEnd()) {
            const char c = text_[pos_++];
            if (c == ']') return true;
            if (c != '\\') {
                if (value != nullptr) *value += c;
                continue;
            }
            if (atEnd()) break;
            const char escaped = text_[pos_++];
            if (escaped == '\n' || escaped == '\r') {
                // A soft line break: the escaped line end (one of \n, \r, \r\n, \n\r) goes.
                const char other = escaped == '\n' ? '\r' : '\n';
                if (!atEnd() && text_[pos_] == other) ++pos_;
                continue;
            }
            if (value != nullptr) *value += escaped;
        }
        pos_ = start;
        return fail("a value that is not closed (\"]\" missing)");
    }

    static std::string printable(char c) {
        if (c >= 0x20 && c < 0x7F) return std::string(1, c);
        static constexpr char HEX[] = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(c);
        return std::string("\\x") + HEX[byte >> 4] + HEX[byte & 15];
    }

    bool fail(const std::string& cause) {
        const auto before = text_.substr(0, std::min(pos_, text_.size()));
        const auto line = 1 + std::count(before.begin(), before.end(), '\n');
        error_ = "line " + std::to_string(line) + ": " + cause;
        return false;
    }

    std::string_view text_;
    std::vector<SgfNode>& nodes_;
    const std::vector<std::string_view>& kept_;
    std::size_t pos_ = 0;
    std::size_t keptProperties_ = 0;
    std::string error_;
};

}  // namespace

std::size_t findSgfGameTree(std::string_view text) {
    for (std::size_t open = text.find('('); open != std::string_view::npos;
         open = text.find('(', open + 1)) {
        std::size_t next = open + 1;
        while (next < text.size() && (isBlank(text[next]) || text[next] == '('))
            ++next;
        if (next < text.size() && text[next] == ';') return open;
        // Every "(" up to next has been looked at already.
        open = next - 1;
    }
    return std::string_view::npos;
}

bool readSgfMainLine(std::string_view text, std::vector<SgfNode>& nodes, std::string& error,
                     const std::vector<std::string_view>& kept) {
    nodes.clear();
    MainLineReader reader(text, nodes, kept);
    if (reader.read()) return true;
    nodes.clear();
    error = reader.error();
    return false;
}

const SgfProperty* findSgfProperty(const SgfNode& node, std::string_view id) {
    for (const SgfProperty& property : node)
        if (property.id == id) return &property;
    return nullptr;
}

}  // namespace wintarvo
