// SGF game records: Quarry's own files read to the moves played in Quarry, the writer
// reproduces Quarry's bytes, records survive the trip through SGF and back unchanged, and every
// malformed or foreign record is refused with its reason.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "model/move_generation.h"
#include "model/position.h"
#include "records/file_utils.h"
#include "records/game_file.h"
#include "records/record_file.h"
#include "records/sgf_main_line.h"
#include "records/sgf_record.h"
#include "support/random_games.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

using testing::fileBytes;
using testing::TempDir;
using testing::writeFileBytes;

const std::string DATA = WINTARVO_TEST_DATA "/sgf/";

Move move(const char* text) {
    Move m;
    EXPECT_TRUE(parseMove(text, m)) << text;
    return m;
}

// The short game as it was entered in Quarry (an arrow shot back to where the amazon stood
// included), and the whole game whose record WinTarvo wrote before it was entered in Quarry.
const MoveList SHORT_GAME{move("A4-A5 (A6)"),  move("D10-D9 (C9)"), move("J4-J5 (J6)"),
                          move("G10-G9 (H9)"), move("D1-D2 (D1)"),  move("A7-B7 (A7)")};

MoveList recordMoves(const std::string& path) {
    RecordFile record;
    MoveList moves;
    EXPECT_TRUE(record.readRecord(path));
    EXPECT_TRUE(record.getMoves(moves));
    return moves;
}

GameFile readOrFail(const std::string& path) {
    GameFile file;
    std::string error;
    EXPECT_TRUE(readGameFile(path, file, error)) << path << ": " << error;
    return file;
}

std::string sgfText(const MoveList& moves, const SgfGameInfo& info) {
    std::string text, error;
    EXPECT_TRUE(writeSgfRecord(moves, info, text, error)) << error;
    return text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

const std::string OUR_AP = "AP[WinTarvo:" WINTARVO_PROJECT_VERSION "]";

TEST(SgfRecord, QuarrysFilesReadToTheMovesPlayedInQuarry) {
    const GameFile shortGame = readOrFail(DATA + "quarry_short.sgf");
    EXPECT_EQ(shortGame.format, GameFileFormat::Sgf);
    EXPECT_EQ(shortGame.moves, SHORT_GAME);
    EXPECT_EQ(shortGame.info.white, "Ann");
    EXPECT_EQ(shortGame.info.black, "Bob");

    const GameFile whole = readOrFail(DATA + "quarry_whole.sgf");
    const MoveList played = recordMoves(DATA + "whole_game.amz");
    ASSERT_EQ(played.size(), 73u);
    EXPECT_EQ(whole.moves, played);
    Position end;
    end.setStartPosition();
    for (const Move& m : whole.moves)
        end.applyMove(m);
    EXPECT_TRUE(hasNoLegalMove(end));

    // A game played in WinTarvo, saved as SGF, opened in Quarry and saved there again: written
    // again here it is Quarry's file but for AP.
    const GameFile ours = readOrFail(DATA + "wintarvo_game.sgf");
    ASSERT_EQ(ours.moves.size(), 90u);
    const std::string resaved = DATA + "quarry_resaved_wintarvo_game.sgf";
    EXPECT_EQ(readOrFail(resaved).moves, ours.moves);
    EXPECT_EQ(sgfText(ours.moves, ours.info),
              replaced(fileBytes(resaved), "AP[Quarry:0.2.0]", OUR_AP));

    // Quarry's variation (a second Black reply at move 4) is not part of the main line.
    const GameFile variation = readOrFail(DATA + "quarry_variation.sgf");
    EXPECT_EQ(variation.moves, SHORT_GAME);
    EXPECT_EQ(variation.info.black, "Black ] side");
    EXPECT_EQ(variation.info.date, "2024-12-07");
}

TEST(SgfRecord, WritesQuarrysBytesButForTheProgramsNameAndAnUnfinishedResult) {
    const std::string whole = fileBytes(DATA + "quarry_whole.sgf");
    EXPECT_EQ(sgfText(recordMoves(DATA + "whole_game.amz"), {"Ann", "Bob", ""}),
              replaced(whole, "AP[Quarry:0.2.0]", OUR_AP));
    // Quarry calls an unfinished game void; here it has no result yet.
    const std::string shortGame = fileBytes(DATA + "quarry_short.sgf");
    EXPECT_EQ(sgfText(SHORT_GAME, {"Ann", "Bob", ""}),
              replaced(replaced(shortGame, "AP[Quarry:0.2.0]", OUR_AP), "RE[Void]\n", ""));
    // Names and date are valid UTF-8 without control characters, whatever they were given as.
    EXPECT_EQ(
        sgfText({}, {"W \\ ]\x01\xff", "", "2024-12-07"}),
        "(;GM[18]FF[4]\nCA[UTF-8]\n" + OUR_AP + "\nSZ[10]\nDT[2024-12-07]\nPW[W \\\\ \\]?]\n)\n");
}

TEST(SgfRecord, RecordsSurviveTheTripThroughSgfByteForByte) {
    TempDir dir;
    std::mt19937 rng(14);
    for (int game = 0; game < 20; ++game) {
        Position p;
        p.setStartPosition();
        const MoveList moves = testing::playRandomGame(p, 92, rng);
        const std::string amz = dir.file("game.amz");
        const std::string sgf = dir.file("game.sgf");
        const std::string again = dir.file("again.amz");
        std::string error;
        ASSERT_TRUE(writeGameFile(amz, GameFileFormat::Record, moves, {}, error));
        ASSERT_TRUE(writeGameFile(sgf, GameFileFormat::Sgf, readOrFail(amz).moves,
                                  {"Ann", "Bob", "2024-12-07"}, error));
        const GameFile fromSgf = readOrFail(sgf);
        EXPECT_EQ(fromSgf.moves, moves);
        EXPECT_EQ(fromSgf.info.white, "Ann");
        ASSERT_TRUE(writeGameFile(again, GameFileFormat::Record, fromSgf.moves, {}, error));
        EXPECT_EQ(fileBytes(again), fileBytes(amz));
        // The result is given exactly when the game is over.
        EXPECT_EQ(fileBytes(sgf).find("\nRE[") != std::string::npos, hasNoLegalMove(p)) << game;
    }
}

TEST(SgfRecord, ContentNotTheNameDecidesTheReader) {
    TempDir dir;
    const std::string recordNamedSgf = dir.file("record.sgf");
    const std::string sgfNamedAmz = dir.file("quarry.amz");
    writeFileBytes(recordNamedSgf, "'Amazon Record File\r\nA4-A5 (A6)\r\n'End of File\r\n");
    writeFileBytes(sgfNamedAmz, fileBytes(DATA + "quarry_short.sgf"));
    EXPECT_EQ(readOrFail(recordNamedSgf).format, GameFileFormat::Record);
    EXPECT_EQ(readOrFail(recordNamedSgf).moves, MoveList{SHORT_GAME[0]});
    EXPECT_EQ(readOrFail(sgfNamedAmz).format, GameFileFormat::Sgf);
    EXPECT_EQ(readOrFail(sgfNamedAmz).moves, SHORT_GAME);

    struct Case {
        const char* text;
        bool sgf;
    } cases[] = {
        {"(;GM[18])", true},
        {" \r\n( \n;", true},
        {"\xEF\xBB\xBF(;", true},
        {"'Amazon Record File", false},
        {"(GM[18])", false},
        {"A4-A5 (A6)", false},
        {"(", false},
        {"\xEF\xBB\xBF", false},
        {"x(;", true},  // a server's header may come first
        {"( ( (\n;", true},
        {"( x (;", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(looksLikeSgf(c.text), c.sgf) << c.text;
}

TEST(SgfRecord, RefusesForeignAndMalformedRecordsWithTheReason) {
    const std::string game = "(;GM[18]FF[4]SZ[10]";
    struct Case {
        std::string text;
        std::string error;
    } cases[] = {
        // Other games, boards and versions.
        {"(;FF[4]GM[1]SZ[19];B[dd])",
         "the record is of another game, GM[1] (Go); Amazons is GM[18]"},
        {"(;GM[2]SZ[8])", "the record is of another game, GM[2] (Othello); Amazons is GM[18]"},
        {"(;FF[4]SZ[10];W[agafae])",
         "the record does not say which game it is (GM missing, "
         "which means Go); Amazons is GM[18]"},
        {"(;GM[18]SZ[8])", "the board is 8x8; Amazons is read on a 10x10 board only"},
        {"(;GM[18]SZ[10:12])", "the board is 10x12; Amazons is read on a 10x10 board only"},
        {"(;GM[18]FF[5])", "FF[5]: SGF versions 1 to 4 are read"},
        // Set-up and a non-standard start.
        {game + "AB[aa][ba];W[agafae])",
         "the record sets up a position (AB[aa][ba]); only "
         "games played from the starting position are read"},
        {game + ";W[agafae];AW[ee])",
         "the record sets up a position (AW[ee]); only games "
         "played from the starting position are read"},
        {game + "AE[dj])",
         "the record sets up a position (AE[dj]); only games played from the "
         "starting position are read"},
        {game + "AA[ee])",
         "the record sets up a position (AA[ee]); only games played from the "
         "starting position are read"},
        {game + "PL[B])",
         "the record sets up a position (PL[B]); only games played from the "
         "starting position are read"},
        // Moves out of turn, in another form or against the rules.
        {game + ";B[dadbcb])", "move 1, B[dadbcb], is Black's, but White is to move"},
        {game + ";W[agafae];W[jgjfje])", "move 2, W[jgjfje], is White's, but Black is to move"},
        {game + ";W[A4A5A6])",
         "move 1, W[A4A5A6], is not an Amazons move (three points a..j, "
         "as in W[agafae])"},
        {game + ";W[AGAFAE])",
         "move 1, W[AGAFAE], is not an Amazons move (three points a..j, "
         "as in W[agafae])"},
        {game + ";W[kgafae])",
         "move 1, W[kgafae], is not an Amazons move (three points a..j, "
         "as in W[agafae])"},
        {game + ";W[])",
         "move 1, W[], is not an Amazons move (three points a..j, as in "
         "W[agafae])"},
        {game + ";W[agafae][jgjfje])",
         "move 1, W[agafae][jgjfje], is not an Amazons move (three "
         "points a..j, as in W[agafae])"},
        {game + ";W[agaaab])", "move 1, W[agaaab] (A4-A10 (A9)), is not legal"},
        {game + ";W[agafae]B[dadbcb])", "move 2 shares its node with the move before it"},
        // Broken syntax.
        {"", "line 1: no SGF game tree (\"(;\") in the file"},
        {"(;GM[18]", "line 1: the game tree is not closed (\")\" missing at the end)"},
        {"(;GM[18]\nC[open", "line 2: a value that is not closed (\"]\" missing)"},
        {"(;GM[18]C[\\]", "line 1: a value that is not closed (\"]\" missing)"},
        {"(;GM[18]SZ;W[agafae])", "line 1: property SZ without a value (\"[\" missing)"},
        {"(;GM[18]\n\n5)", "line 3: unexpected character '5'"},
        {"(;GM[18]\x01)", "line 1: unexpected character '\\x01'"},
        {"(;GM[18](W[agafae]))", "line 1: a property outside a node"},
        {"(;GM[18]())", "line 1: a game tree without a node (\";\" missing)"},
        {"(;GM[18](;W[agafae]);B[dadbcb])", "line 1: a node after a variation"},
        {"(;GM[18]xy[1])", "line 1: a property identifier without an upper-case letter"},
        // Nesting and size.
        {std::string(1000000, '('), "line 1: no SGF game tree (\"(;\") in the file"},
        {std::string(1000000, '(') + ";",
         "line 1: the game tree is not closed (\")\" missing at the end)"},
        {game + ";W[agafae][a][b][c][d][e][f][g][h][i])",
         "move 1, W[agafae][a][b][c]..., is not an Amazons move (three points a..j, as in "
         "W[agafae])"},
        {"(;GM[18]" +
             [] {
                 std::string many;
                 for (int i = 0; i < 20001; ++i)
                     many += "B[]";
                 return many;
             }() +
             ")",
         "line 1: more than 20000 properties in the main line"},
        {"(;GM[18]" + std::string(20000, ';') + ")",
         "line 1: more than 10000 nodes in the main line"},
    };
    for (const Case& c : cases) {
        MoveList moves{SHORT_GAME[0]};
        SgfGameInfo info{"kept", "", ""};
        std::string error;
        EXPECT_FALSE(readSgfRecord(c.text, moves, info, error)) << c.text.substr(0, 80);
        EXPECT_EQ(error, c.error) << c.text.substr(0, 80);
        EXPECT_EQ(moves, MoveList{SHORT_GAME[0]});
        EXPECT_EQ(info.white, "kept");
    }
}

TEST(SgfRecord, ReadsWhatTheFormatAllowsBesideQuarrysForm) {
    // Variations nested a hundred thousand deep after the main line, old lower-case letters in
    // identifiers, blanks everywhere, escapes, a root move, PL for the side to move, SZ[10:10],
    // another game after the first, leading text and a game tree in parentheses of its own.
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "(;C[x]";
    deep += std::string(100000, ')');
    const std::string text =
        "\xEF\xBB\xBF Game 1 (from a server) \n( (;GaMe[18]FF[3]SZ[10:10]PL[W]C[a\\]b\\\nc]"
        "W[agafae]\n( ; B [dadbcb] ; W[jgjfje](;B[gagbhb])" +
        deep + ")))(;GM[1])";
    MoveList moves;
    SgfGameInfo info;
    std::string error;
    ASSERT_TRUE(readSgfRecord(text, moves, info, error)) << error;
    EXPECT_EQ(moves, MoveList(SHORT_GAME.begin(), SHORT_GAME.begin() + 4));

    std::vector<SgfNode> nodes;
    ASSERT_TRUE(readSgfMainLine(text, nodes, error));
    ASSERT_EQ(nodes.size(), 4u);
    EXPECT_EQ(findSgfProperty(nodes[0], "C")->values[0], "a]bc");
    EXPECT_EQ(findSgfProperty(nodes[0], "GM")->values[0], "18");
    // Only the properties asked for are kept, and only the first values of each.
    ASSERT_TRUE(
        readSgfMainLine("(;GM[18]C[x]AB[a][b][c][d][e][f][g][h][i][j])", nodes, error, {"AB"}));
    ASSERT_EQ(nodes[0].size(), 1u);
    EXPECT_EQ(nodes[0][0].values.size(), SGF_MAX_KEPT_VALUES);
    EXPECT_EQ(nodes[0][0].valueCount, 10u);
}

TEST(SgfRecord, GameInformationComesOutInUtf8) {
    struct Case {
        std::string root;
        std::string white;
    } cases[] = {
        {"CA[UTF-8]PW[Ren\xC3\xA9]", "Ren\xC3\xA9"},
        {"PW[Ren\xC3\xA9]", "Ren\xC3\xA9"},  // no CA, but UTF-8
        {"CA[ISO-8859-1]PW[Ren\xE9]", "Ren\xC3\xA9"},
        {"PW[Ren\xE9]", "Ren\xC3\xA9"},  // no CA: ISO-8859-1
        {"CA[Shift_JIS]PW[\x93\xFA A]", "?? A"},
        {"CA[utf-8]PW[bad \xE9]", "bad ?"},
        {"PW[two\nlines]", "two lines"},
        // Known character sets are converted, control characters dropped, anything that is
        // not valid UTF-8 (overlong forms, surrogates) replaced.
        {"CA[ windows-1252 ]PW[\x80 \x93x\x94]", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"},
        {"CA[US-ASCII]PW[Ren\xE9]", "Ren?"},
        {"CA[Big5]PW[Ren\xC3\xA9]", "Ren\xC3\xA9"},
        {"PW[a\x01\x1B[0mb\x7F\tc]", "a[0mb c"},
        {"CA[ISO-8859-1]PW[a\x85"
         "b]",
         "ab"},
        {"CA[UTF-8]PW[\xC0\x80 \xED\xA0\x80 \xF4\x90\x80\x80]", "?? ??? ????"},
    };
    for (const Case& c : cases) {
        MoveList moves;
        SgfGameInfo info;
        std::string error;
        ASSERT_TRUE(readSgfRecord("(;GM[18]" + c.root + ";W[agafae])", moves, info, error))
            << error;
        EXPECT_EQ(info.white, c.white) << c.root;
    }
}

TEST(SgfRecord, WritingNeedsAGameFromTheStartAndSavingChoosesByName) {
    std::string text = "untouched", error;
    EXPECT_FALSE(writeSgfRecord({SHORT_GAME[0], SHORT_GAME[0]}, {}, text, error));
    EXPECT_EQ(error, "move 2, A4-A5 (A6), is not legal in the game from the starting position");
    EXPECT_EQ(text, "untouched");
    TempDir dir;
    EXPECT_FALSE(writeGameFile(dir.file("x.sgf"), GameFileFormat::Sgf, {SHORT_GAME[1]}, {}, error));
    EXPECT_TRUE(dir.entries().empty());
    EXPECT_FALSE(writeGameFile(dir.path(), GameFileFormat::Record, SHORT_GAME, {}, error));
    EXPECT_EQ(error, "a folder is in the way");

    using F = GameFileFormat;
    struct Case {
        const char* path;
        F chosen;
        F result;
    } cases[] = {
        {"a.sgf", F::Record, F::Sgf},  {"a.SGF", F::Record, F::Sgf}, {"a.amz", F::Sgf, F::Record},
        {"a.Amz", F::Sgf, F::Record},  {"a.txt", F::Sgf, F::Sgf},    {"a", F::Record, F::Record},
        {"sgf", F::Record, F::Record},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatForSaving(c.path, c.chosen), c.result) << c.path;
}

TEST(SgfRecord, TodaysDateHasTheFormOfDt) {
    const std::string date = sgfDateToday();
    ASSERT_EQ(date.size(), 10u) << date;
    for (std::size_t i = 0; i < date.size(); ++i)
        EXPECT_TRUE(i == 4 || i == 7 ? date[i] == '-' : date[i] >= '0' && date[i] <= '9') << date;
}

}  // namespace
}  // namespace wintarvo
