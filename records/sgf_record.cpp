#include "records/sgf_record.h"

#include <array>
#include <ctime>
#include <utility>
#include <vector>

#include "model/move_generation.h"
#include "model/position.h"
#include "records/sgf_main_line.h"

#ifndef WINTARVO_VERSION
#error "WINTARVO_VERSION, the project's version for AP, comes from the build"
#endif

namespace wintarvo {
namespace {

constexpr std::string_view AMAZONS_GAME = "18";
constexpr int MOVES_PER_LINE = 6;  // as Quarry writes them

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string lowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A value for a message: a long one is cut.
std::string shown(std::string_view value) {
    constexpr std::size_t SHOWN = 16;
    return value.size() > SHOWN ? std::string(value.substr(0, SHOWN)) + "..." : std::string(value);
}

// The property as it would be written back, "W[agafae]", for a message.
std::string propertyText(const SgfProperty& property) {
    std::string text = property.id;
    for (const std::string& value : property.values)
        text += "[" + shown(value) + "]";
    return text;
}

// ---- Reading ----------------------------------------------------------------------------------

// The numbers SGF gives the better known games, for a refusal that says which game a file is.
std::string gameName(std::string_view number) {
    static const std::array<std::pair<std::string_view, std::string_view>, 9> NAMES{{
        {"1", "Go"},
        {"2", "Othello"},
        {"3", "chess"},
        {"4", "Gomoku"},
        {"5", "Nine Men's Morris"},
        {"6", "backgammon"},
        {"7", "Chinese chess"},
        {"8", "shogi"},
        {"11", "Hex"},
    }};
    for (const auto& [n, name] : NAMES)
        if (n == number) return " (" + std::string(name) + ")";
    return "";
}

bool checkRoot(const SgfNode& root, std::string& error) {
    const SgfProperty* gm = findSgfProperty(root, "GM");
    if (gm == nullptr) {
        error =
            "the record does not say which game it is (GM missing, which means Go); "
            "Amazons is GM[18]";
        return false;
    }
    const std::string_view game = trimmed(gm->values[0]);
    if (game != AMAZONS_GAME) {
        error = "the record is of another game, " + propertyText(*gm) + gameName(game) +
                "; Amazons is GM[18]";
        return false;
    }
    if (const SgfProperty* ff = findSgfProperty(root, "FF")) {
        const std::string_view version = trimmed(ff->values[0]);
        if (version.size() != 1 || version[0] < '1' || version[0] > '4') {
            error = propertyText(*ff) + ": SGF versions 1 to 4 are read";
            return false;
        }
    }
    if (const SgfProperty* sz = findSgfProperty(root, "SZ")) {
        const std::string_view size = trimmed(sz->values[0]);
        if (size != "10" && size != "10:10") {
            std::string board = shown(size);
            if (const auto colon = board.find(':'); colon != std::string::npos)
                board[colon] = 'x';
            else
                board += "x" + board;
            error = "the board is " + board + "; Amazons is read on a 10x10 board only";
            return false;
        }
    }
    return true;
}

// A point "ag": column letter, then row letter from the top, both a..j.
Square readPoint(std::string_view text) {
    const char column = text[0];
    const char row = text[1];
    if (column < 'a' || column > 'j' || row < 'a' || row > 'j') return NO_SQUARE;
    return 10 * (row - 'a') + (column - 'a');
}

bool readMoveValue(const std::string& value, Move& m) {
    if (value.size() != 6) return false;
    const std::string_view text(value);
    m = Move{readPoint(text.substr(0, 2)), readPoint(text.substr(2, 2)),
             readPoint(text.substr(4, 2))};
    return m.isValid();
}

bool isSetUp(const std::string& id) {
    return id == "AB" || id == "AW" || id == "AE" || id == "AA";
}

// Replays the main line's moves from the starting position, property by property.
class MainLineReplay {
  public:
    MainLineReplay() { position_.setStartPosition(); }

    bool node(const SgfNode& node, std::string& error) {
        bool moved = false;
        for (const SgfProperty& property : node) {
            if (isSetUp(property.id)) return refuseSetUp(propertyText(property), error);
            if (property.id == "PL" && sideNamed(property.values[0]) != position_.sideToMove)
                return refuseSetUp(propertyText(property), error);
            if (property.id != "W" && property.id != "B") continue;
            if (moved) {
                error = "move " + std::to_string(moves_.size() + 1) +
                        " shares its node with the move before it";
                return false;
            }
            moved = true;
            if (!move(property, error)) return false;
        }
        return true;
    }

    const MoveList& moves() const { return moves_; }

  private:
    static int sideNamed(std::string_view value) {
        value = trimmed(value);
        if (value == "W" || value == "w") return 0;
        if (value == "B" || value == "b") return 1;
        return -1;
    }

    static bool refuseSetUp(const std::string& what, std::string& error) {
        error = "the record sets up a position (" + what +
                "); only games played from the starting position are read";
        return false;
    }

    bool move(const SgfProperty& property, std::string& error) {
        const std::string number = "move " + std::to_string(moves_.size() + 1);
        const std::string text = propertyText(property);
        const int side = property.id == "W" ? 0 : 1;
        if (side != position_.sideToMove) {
            error = number + ", " + text + ", is " + (side == 0 ? "White" : "Black") + "'s, but " +
                    (side == 0 ? "Black" : "White") + " is to move";
            return false;
        }
        Move m;
        if (property.values.size() != 1 || !readMoveValue(property.values[0], m)) {
            error = number + ", " + text +
                    ", is not an Amazons move (three points a..j, as in W[agafae])";
            return false;
        }
        if (!isLegalMove(position_, m)) {
            error = number + ", " + text + " (" + moveText(m) + "), is not legal";
            return false;
        }
        position_.applyMove(m);
        moves_.push_back(m);
        return true;
    }

    Position position_;
    MoveList moves_;
};

// Well-formed UTF-8 sequences only (lead byte and continuation bytes; nothing finer).
bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t extra = c < 0x80             ? 0
                                  : (c & 0xE0) == 0xC0 ? 1
                                  : (c & 0xF0) == 0xE0 ? 2
                                  : (c & 0xF8) == 0xF0 ? 3
                                                       : 4;
        if (extra == 4 || s.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

// A simple text value of the root in UTF-8: a line end counts as a blank, and the file's
// character set (CA; ISO-8859-1 when it names none) is converted. Bytes of other character
// sets are not converted: they become "?".
std::string simpleText(std::string_view value, std::string_view charset) {
    const std::string set = lowerCase(trimmed(charset));
    const bool utf8 = set == "utf-8" || set == "utf8" || (set.empty() && isValidUtf8(value));
    const bool latin1 =
        !utf8 && (set.empty() || set == "iso-8859-1" || set == "latin1" || set == "latin-1");
    const bool keepBytes = utf8 && isValidUtf8(value);
    std::string out;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n' || c == '\t' || c == '\v' || c == '\f')
            out += ' ';
        else if (byte < 0x80 || keepBytes)
            out += c;
        else if (latin1)
            out += {static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F))};
        else
            out += '?';
    }
    return out;
}

// ---- Writing ----------------------------------------------------------------------------------

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == ']') out += '\\';
        out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
}

std::string pointText(Square s) {
    return {static_cast<char>('a' + squareColumn(s)), static_cast<char>('a' + squareRow(s))};
}

}  // namespace

bool looksLikeSgf(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const auto open = text.find_first_not_of(" \t\r\n\v\f");
    if (open == std::string_view::npos || text[open] != '(') return false;
    const auto node = text.find_first_not_of(" \t\r\n\v\f", open + 1);
    return node != std::string_view::npos && text[node] == ';';
}

bool readSgfRecord(std::string_view text, MoveList& moves, SgfGameInfo& info, std::string& error) {
    std::vector<SgfNode> nodes;
    if (!readSgfMainLine(text, nodes, error)) return false;
    const SgfNode& root = nodes.front();
    if (!checkRoot(root, error)) return false;
    MainLineReplay replay;
    for (const SgfNode& node : nodes)
        if (!replay.node(node, error)) return false;

    const SgfProperty* ca = findSgfProperty(root, "CA");
    const std::string_view charset = ca != nullptr ? std::string_view(ca->values[0]) : "";
    const auto rootText = [&](std::string_view id) {
        const SgfProperty* property = findSgfProperty(root, id);
        return property != nullptr ? simpleText(property->values[0], charset) : std::string();
    };
    info = SgfGameInfo{rootText("PW"), rootText("PB"), rootText("DT")};
    moves = replay.moves();
    return true;
}

bool writeSgfRecord(const MoveList& moves, const SgfGameInfo& info, std::string& text,
                    std::string& error) {
    Position p;
    p.setStartPosition();
    std::string line;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const Move& m = moves[i];
        if (!isLegalMove(p, m)) {
            error = "move " + std::to_string(i + 1) + ", " + moveText(m) +
                    ", is not legal in the game from the starting position";
            return false;
        }
        if (i % MOVES_PER_LINE == 0) line += '\n';
        line += p.sideToMove == 0 ? ";W[" : ";B[";
        line += pointText(m.from) + pointText(m.to) + pointText(m.arrow) + "]";
        p.applyMove(m);
    }

    std::string out = "(;GM[18]FF[4]\nCA[UTF-8]\nAP[WinTarvo:" WINTARVO_VERSION "]\nSZ[10]";
    if (!info.black.empty()) out += "\nPB[" + escaped(info.black) + "]";
    if (!info.white.empty()) out += "\nPW[" + escaped(info.white) + "]";
    if (!info.date.empty()) out += "\nDT[" + escaped(info.date) + "]";
    // The side to move without a move has lost.
    if (!info.result.empty())
        out += "\nRE[" + escaped(info.result) + "]";
    else if (hasNoLegalMove(p))
        out += p.sideToMove == 0 ? "\nRE[B+]" : "\nRE[W+]";
    text = out + line + "\n)\n";
    return true;
}

std::string sgfDateToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* parts = std::localtime(&now)) local = *parts;
    std::array<char, 16> date{};
    std::strftime(date.data(), date.size(), "%Y-%m-%d", &local);
    return date.data();
}

void fillSgfGameInfo(SgfGameInfo& info) {
    if (info.white.empty()) info.white = "WinTarvo";
    if (info.black.empty()) info.black = "WinTarvo";
    if (info.date.empty()) info.date = sgfDateToday();
}

}  // namespace wintarvo
