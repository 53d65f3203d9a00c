#include "records/sgf_record.h"

#include <array>
#include <ctime>
#include <utility>
#include <vector>

#include "model/move_generation.h"
#include "model/position.h"
#include "model/side.h"
#include "model/text.h"
#include "records/game_replay.h"
#include "records/sgf_main_line.h"
#include "records/sgf_text.h"

#ifndef WINTARVO_VERSION
#error "WINTARVO_VERSION, the project's version for AP, comes from the build"
#endif

namespace wintarvo {
namespace {

constexpr std::string_view AMAZONS_GAME = "18";
constexpr int MOVES_PER_LINE = 6;  // as Quarry writes them

// The properties the reader looks at; the main-line reader keeps no others.
const std::vector<std::string_view> READ_PROPERTIES = {"GM", "FF", "SZ", "CA", "PW", "PB", "DT",
                                                       "PL", "AB", "AW", "AE", "AA", "W",  "B"};

std::string_view trimmed(std::string_view s) {
    return text::trimmed(s, text::SGF_BLANKS);
}

// A value for a message: a long one is cut.
std::string shown(std::string_view value) {
    constexpr std::size_t SHOWN = 16;
    return value.size() > SHOWN ? std::string(value.substr(0, SHOWN)) + "..." : std::string(value);
}

// The property as it would be written back, "W[agafae]", for a message; a long list of values
// is cut.
std::string propertyText(const SgfProperty& property) {
    constexpr std::size_t SHOWN_VALUES = 4;
    std::string text = property.id;
    for (std::size_t i = 0; i < property.values.size() && i < SHOWN_VALUES; ++i)
        text += "[" + shown(property.values[i]) + "]";
    if (property.valueCount > SHOWN_VALUES) text += "...";
    return text;
}

// W or B: the property of a side's move.
std::string_view moveProperty(Side side) {
    return side == Side::White ? "W" : "B";
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

bool readMoveValue(std::string_view value, Move& m) {
    if (value.size() != 6) return false;
    m = Move{readPoint(value.substr(0, 2)), readPoint(value.substr(2, 2)),
             readPoint(value.substr(4, 2))};
    return m.isValid();
}

bool isSetUp(const std::string& id) {
    return id == "AB" || id == "AW" || id == "AE" || id == "AA";
}

// Replays the main line's moves from the starting position, property by property.
class MainLineReplay {
  public:
    // node is the node's number in the main line, the root's 0.
    bool node(const SgfNode& node, int number, std::string& error) {
        bool moved = false;
        for (const SgfProperty& property : node) {
            if (isSetUp(property.id)) return refuseSetUp(propertyText(property), error);
            if (property.id == "PL" && !isSideToMove(property.values[0]))
                return refuseSetUp(propertyText(property), error);
            if (property.id != "W" && property.id != "B") continue;
            if (moved) {
                error = "move " + std::to_string(moves().size() + 1) +
                        " shares its node with the move before it";
                return false;
            }
            moved = true;
            if (!move(property, error)) return false;
            nodes_.push_back(number);
        }
        return true;
    }

    const MoveList& moves() const { return replay_.moves(); }
    const std::vector<int>& nodes() const { return nodes_; }

  private:
    bool isSideToMove(std::string_view value) const {
        return text::equalsIgnoringCase(trimmed(value), moveProperty(toMove()));
    }

    Side toMove() const { return sideOf(replay_.position().sideToMove); }

    static bool refuseSetUp(const std::string& what, std::string& error) {
        error = "the record sets up a position (" + what +
                "); only games played from the starting position are read";
        return false;
    }

    bool move(const SgfProperty& property, std::string& error) {
        const std::string number = "move " + std::to_string(moves().size() + 1);
        const std::string text = propertyText(property);
        const Side side = property.id == "W" ? Side::White : Side::Black;
        if (side != toMove()) {
            error = number + ", " + text + ", is " + std::string(sideName(side)) + "'s, but " +
                    std::string(sideName(otherSide(side))) + " is to move";
            return false;
        }
        Move m;
        if (property.valueCount != 1 || !readMoveValue(property.values[0], m)) {
            error = number + ", " + text +
                    ", is not an Amazons move (three points a..j, as in W[agafae])";
            return false;
        }
        if (!replay_.play(m)) {
            error = number + ", " + text + " (" + moveText(m) + "), is not legal";
            return false;
        }
        return true;
    }

    GameReplay replay_;
    std::vector<int> nodes_;
};

// ---- Writing ----------------------------------------------------------------------------------

// A simple text value as written: valid UTF-8 without control characters, "\\" and "]"
// escaped.
std::string escaped(std::string_view value) {
    std::string out;
    for (const char c : sgfSimpleText(value, "UTF-8")) {
        if (c == '\\' || c == ']') out += '\\';
        out += c;
    }
    return out;
}

std::string pointText(Square s) {
    return {static_cast<char>('a' + squareColumn(s)), static_cast<char>('a' + squareRow(s))};
}

}  // namespace

bool looksLikeSgf(std::string_view text) {
    return findSgfGameTree(text) != std::string_view::npos;
}

bool readSgfRecord(std::string_view text, MoveList& moves, SgfGameInfo& info, std::string& error,
                   std::vector<int>* moveNodes) {
    std::vector<SgfNode> nodes;
    if (!readSgfMainLine(text, nodes, error, READ_PROPERTIES)) return false;
    const SgfNode& root = nodes.front();
    if (!checkRoot(root, error)) return false;
    MainLineReplay replay;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (!replay.node(nodes[i], static_cast<int>(i), error)) return false;

    const SgfProperty* ca = findSgfProperty(root, "CA");
    const std::string_view charset = ca != nullptr ? std::string_view(ca->values[0]) : "";
    const auto rootText = [&](std::string_view id) {
        const SgfProperty* property = findSgfProperty(root, id);
        return property != nullptr ? sgfSimpleText(property->values[0], charset) : std::string();
    };
    info = SgfGameInfo{rootText("PW"), rootText("PB"), rootText("DT")};
    moves = replay.moves();
    if (moveNodes != nullptr) *moveNodes = replay.nodes();
    return true;
}

bool writeSgfRecord(const MoveList& moves, const SgfGameInfo& info, std::string& text,
                    std::string& error) {
    GameReplay replay;
    std::string line;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const Move& m = moves[i];
        const Side side = sideOf(replay.position().sideToMove);
        if (!replay.play(m)) {
            error = "move " + std::to_string(i + 1) + ", " + moveText(m) +
                    ", is not legal in the game from the starting position";
            return false;
        }
        if (i % MOVES_PER_LINE == 0) line += '\n';
        line += ";" + std::string(moveProperty(side)) + "[";
        line += pointText(m.from) + pointText(m.to) + pointText(m.arrow) + "]";
    }

    // The root's properties in Quarry's order.
    std::string out = "(;GM[18]FF[4]\nCA[UTF-8]\nAP[WinTarvo:" WINTARVO_VERSION "]\nSZ[10]";
    if (!info.date.empty()) out += "\nDT[" + escaped(info.date) + "]";
    if (!info.black.empty()) out += "\nPB[" + escaped(info.black) + "]";
    if (!info.white.empty()) out += "\nPW[" + escaped(info.white) + "]";
    // The result the caller gives (a game lost by resignation or on time), or the side to move
    // without a move has lost.
    const Position& end = replay.position();
    if (!info.result.empty())
        out += "\nRE[" + escaped(info.result) + "]";
    else if (hasNoLegalMove(end))
        out += "\nRE[" + std::string(moveProperty(otherSide(sideOf(end.sideToMove)))) + "+]";
    text = out + line + "\n)\n";
    return true;
}

std::string sgfDateToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    // localtime_r: the result is the caller's, so any thread may ask.
    if (::localtime_r(&now, &local) == nullptr) local = std::tm{};
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
