// The GTP engine without a process: the line reader, the commands and their errors, the
// clock's budget, games it plays against itself, and Quarry's own command streams replayed.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "gtp/gtp_engine.h"
#include "model/move_generation.h"
#include "model/test_positions.h"
#include "model/typed_move.h"
#include "search/think_request.h"
#include "support/search_run.h"
#include "support/trace_capture.h"

namespace wintarvo::gtp {
namespace {

EngineSettings settingsOf(std::string version, int depth, std::optional<int> time,
                          bool standardThink = false) {
    EngineSettings settings;
    settings.version = std::move(version);
    settings.depthLimit = depth;
    settings.timeLimit = time;
    settings.standardThink = standardThink;
    return settings;
}

// The think at a fixed depth with no time limit: the same move every time.
GtpEngine engineAtDepth(int depth) {
    return GtpEngine(settingsOf("9.8.7", depth, -1), runThinkRequest);
}

struct Exchange {
    std::string line;
    std::string response;
};

void expectTranscript(GtpEngine& engine, const std::vector<Exchange>& transcript) {
    for (const auto& [line, response] : transcript)
        EXPECT_EQ(engine.respond(line), response) << line;
}

TEST(GtpReader, CleansAndSplitsLines) {
    struct Row {
        std::string line;
        bool command;
        std::string id, name;
        std::vector<std::string> arguments;
    };
    const std::vector<Row> rows = {
        {"name", true, "", "name", {}},
        {"12 play white D1-D4-D7", true, "12", "play", {"white", "D1-D4-D7"}},
        {"  play\twhite \t d1-d4 (d7)\r", true, "", "play", {"white", "d1-d4", "(d7)"}},
        {"genmove b # and a comment", true, "", "genmove", {"b"}},
        {"na\x01m\x7f"
         "e",
         true,
         "",
         "name",
         {}},
        {"007", true, "007", "", {}},
        {"12a name", true, "", "12a", {"name"}},
        {"", false, "", "", {}},
        {" \t \r", false, "", "", {}},
        {"# quit", false, "", "", {}},
        {std::string("\0\0", 2), false, "", "", {}},
    };
    for (const Row& row : rows) {
        Command c;
        ASSERT_EQ(parseCommand(row.line, c), row.command) << row.line;
        EXPECT_EQ(c.id, row.id) << row.line;
        EXPECT_EQ(c.name, row.name) << row.line;
        EXPECT_EQ(c.arguments, row.arguments) << row.line;
    }
}

TEST(GtpReader, KeepsAtMostTheCapOfALine) {
    std::istringstream in(std::string(3 * MAX_LINE_LENGTH, 'x') + "\nname\r\n\nlast");
    InputLine line;
    ASSERT_TRUE(readLine(in, line));
    EXPECT_TRUE(line.tooLong);
    EXPECT_EQ(line.text, std::string(MAX_LINE_LENGTH, 'x'));
    ASSERT_TRUE(readLine(in, line));
    EXPECT_FALSE(line.tooLong);
    EXPECT_EQ(line.text, "name\r");
    ASSERT_TRUE(readLine(in, line));
    EXPECT_EQ(line.text, "");
    ASSERT_TRUE(readLine(in, line));  // a last line without its line end still counts
    EXPECT_EQ(line.text, "last");
    EXPECT_FALSE(readLine(in, line));
}

TEST(GtpReader, ResponsesNeverHoldAnEmptyLine) {
    EXPECT_EQ(successResponse("", ""), "=\n\n");
    EXPECT_EQ(successResponse("5", "a\n\n\nb\n"), "=5 a\nb\n\n");
    EXPECT_EQ(failureResponse("", "\n\nx"), "? \nx\n\n");
    EXPECT_EQ(quotedInput(std::string("a\0\xff", 3) + std::string(50, 'b')),
              "a??" + std::string(37, 'b') + "...");
}

TEST(GtpEngine, AnswersTheAdministrativeAndSetupCommands) {
    GtpEngine engine = engineAtDepth(1);
    expectTranscript(engine,
                     {
                         {"protocol_version", "= 2\n\n"},
                         {"1 name", "=1 WinTarvo\n\n"},
                         {"version", "= 9.8.7\n\n"},
                         {"known_command genmove", "= true\n\n"},
                         {"known_command wintarvo-depth", "= true\n\n"},
                         {"known_command komi", "= false\n\n"},
                         {"known_command", "= false\n\n"},
                         {"list_games", "= Amazons\n\n"},
                         {"set_game Amazons", "=\n\n"},
                         {"set_game amazons", "=\n\n"},
                         {"set_game Go", "? unsupported game 'Go': only Amazons is played\n\n"},
                         {"boardsize 10", "=\n\n"},
                         {"boardsize 19", "? unacceptable size\n\n"},
                         {"boardsize ten", "? syntax error: boardsize needs one integer\n\n"},
                         {"komi 6.5", "? unknown command\n\n"},
                         {"clear_board", "=\n\n"},
                         {"showboard",
                          "= \n"
                          "   A B C D E F G H I J\n"
                          "10 . . . B . . B . . . 10\n"
                          " 9 . . . . . . . . . . 9\n"
                          " 8 . . . . . . . . . . 8\n"
                          " 7 B . . . . . . . . B 7\n"
                          " 6 . . . . . . . . . . 6\n"
                          " 5 . . . . . . . . . . 5\n"
                          " 4 W . . . . . . . . W 4\n"
                          " 3 . . . . . . . . . . 3\n"
                          " 2 . . . . . . . . . . 2\n"
                          " 1 . . . W . . W . . . 1\n"
                          "   A B C D E F G H I J\n"
                          "White to move\n\n"},
                     });
    std::istringstream in("list_commands\n");
    std::ostringstream out;
    EXPECT_TRUE(engine.run(in, out));
    ASSERT_EQ(out.str().substr(0, 2), "= ");
    const std::string listed = "\n" + out.str().substr(2);  // one name a line
    for (const char* name : {"protocol_version", "name", "version", "known_command",
                             "list_commands", "quit", "boardsize", "clear_board", "list_games",
                             "set_game", "showboard", "play", "genmove", "undo", "time_settings",
                             "time_left", "wintarvo-depth", "wintarvo-time", "wintarvo-limits"}) {
        EXPECT_NE(listed.find(std::string("\n") + name + "\n"), std::string::npos) << name;
        EXPECT_EQ(engine.respond(std::string("known_command ") + name), "= true\n\n");
    }
}

TEST(GtpEngine, PlayReadsEveryTypedNotation) {
    GtpEngine engine = engineAtDepth(1);
    for (const std::string move : {"D1-D4-D7", "d1-d4-d7", "D1-D4/D7", "d1-d4xd7", "D1-D4 (D7)",
                                   "D1-D4(D7)", "D1D4D7", "d1d4d7"}) {
        ASSERT_EQ(engine.respond("play white " + move), "=\n\n") << move;
        EXPECT_EQ(engine.position().cell(63), WhiteAmazon) << move;  // D4
        EXPECT_EQ(engine.position().cell(33), Arrow) << move;        // D7
        EXPECT_EQ(engine.position().sideToMove, 1) << move;
        ASSERT_EQ(engine.respond("undo"), "=\n\n") << move;
    }
    // Ten is two digits: D10-C9-H4 in the compact form, for Black.
    ASSERT_EQ(engine.respond("play w D1-D4-D7"), "=\n\n");
    EXPECT_EQ(engine.respond("play B D10C9H4"), "=\n\n");
    EXPECT_EQ(engine.position().cell(12), BlackAmazon);  // C9
}

TEST(GtpEngine, RefusesMalformedCommandsAndLeavesTheGameAlone) {
    const std::string TIME_SETTINGS_ERROR =
        "? syntax error: time_settings needs main time, byo-yomi time and byo-yomi stones, three "
        "integers of at least 0\n\n";
    const std::string TIME_LEFT_ERROR =
        "? syntax error: time_left needs a colour, the seconds left and the stones left (at least "
        "0)\n\n";
    const std::string TIME_LIMIT_ERROR =
        "? syntax error: wintarvo-time needs seconds of at least 0, or -1 for none\n\n";
    const std::vector<Exchange> refusals = {
        {"play", "? syntax error: play needs a colour and a move\n\n"},
        {"play white", "? syntax error: play needs a colour and a move\n\n"},
        {"play purple D4-D5-D6", "? syntax error: 'purple' is not a colour\n\n"},
        {"play black G10-G9-G8", "? illegal move\n\n"},  // not Black's turn
        {"play white D4-D9-D5", "? illegal move\n\n"},   // over the arrow on D7
        {"play white G1-G1-G2", "? illegal move\n\n"},
        {"play white D4-D5", "? illegal move\n\n"},
        {"play white D4-D5-D4-D6", "? illegal move\n\n"},
        {"play white A4-A5-A4x", "? illegal move\n\n"},
        {"play white K1-K2-K3", "? illegal move\n\n"},
        {"play white resign", "? illegal move\n\n"},
        {"play white pass", "? illegal move\n\n"},
        {"genmove", "? syntax error: genmove needs one colour\n\n"},
        {"genmove black", "? wrong side: White is to move\n\n"},
        {"genmove green", "? syntax error: 'green' is not a colour\n\n"},
        {"time_settings 10 0", TIME_SETTINGS_ERROR},
        {"time_settings -5 0 0", TIME_SETTINGS_ERROR},
        {"time_settings 99999999999 0 0", TIME_SETTINGS_ERROR},
        {"time_left white 10", TIME_LEFT_ERROR},
        {"time_left red 10 0", TIME_LEFT_ERROR},
        {"wintarvo-depth 0",
         "? syntax error: wintarvo-depth needs plies of at least 1, or -1 for "
         "none\n\n"},
        {"wintarvo-time -2", TIME_LIMIT_ERROR},
        {"wintarvo-time 1.5", TIME_LIMIT_ERROR},
        {"7", "?7 syntax error: no command after the id\n\n"},
        {"8 \x80\xff", "?8 unknown command\n\n"},
        {"PLAY white D4-D5-D6", "? unknown command\n\n"},
        {"=", "? unknown command\n\n"},
        {"", ""},
        {"   # only a comment", ""},
    };
    GtpEngine engine = engineAtDepth(1);
    ASSERT_EQ(engine.respond("play white D1-D4-D7"), "=\n\n");
    ASSERT_EQ(engine.respond("play black D10-D9-D8"), "=\n\n");
    const Position before = engine.position();
    for (const auto& [line, response] : refusals) {
        EXPECT_EQ(engine.respond(line), response) << line;
        EXPECT_FALSE(engine.position().differs(before)) << line;
        EXPECT_FALSE(engine.quitRequested()) << line;
    }
    // The two moves played are still the two that undo takes back.
    EXPECT_EQ(engine.respond("undo"), "=\n\n");
    EXPECT_EQ(engine.respond("undo"), "=\n\n");
    EXPECT_EQ(engine.respond("undo"), "? cannot undo\n\n");
}

TEST(GtpEngine, RunAnswersInOrderAndStopsAtQuit) {
    GtpEngine engine = engineAtDepth(1);
    std::istringstream in("\n# setting up\r\n3 boardsize 10\n\t\nname\r\n" +
                          std::string(MAX_LINE_LENGTH + 10, 'n') + "\n" + "9 quit\nname\n");
    std::ostringstream out;
    EXPECT_TRUE(engine.run(in, out));
    EXPECT_EQ(out.str(),
              "=3\n\n= WinTarvo\n\n? line too long: more than 4096 characters\n\n=9\n\n");
    EXPECT_TRUE(engine.quitRequested());
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, "name");  // nothing after quit is read

    // Comment and blank lines get no response whatever their length, so every response stays
    // paired with its command; a command over the cap gets its one refusal.
    GtpEngine quiet = engineAtDepth(1);
    const std::string longer(MAX_LINE_LENGTH + 10, ' ');
    std::istringstream lines("# " + std::string(2 * MAX_LINE_LENGTH, 'c') + "\n" + longer + "\n" +
                             longer + "\t\r\n1 name #" + longer + "\n" + longer + "name\n2 name\n");
    std::ostringstream answers;
    EXPECT_TRUE(quiet.run(lines, answers));
    EXPECT_EQ(answers.str(),
              "?1 line too long: more than 4096 characters\n\n"
              "? line too long: more than 4096 characters\n\n=2 WinTarvo\n\n");

    // A response that cannot be written ends the session: nobody reads the answers any more.
    GtpEngine orphan = engineAtDepth(1);
    std::istringstream more("name\nplay white D1-D4-D7\n");
    std::ostream closed(nullptr);
    EXPECT_FALSE(orphan.run(more, closed));
    EXPECT_EQ(orphan.position().arrowCount(), 0);
}

// genmove plays the program's think for the position and limits, written as Quarry reads it.
TEST(GtpEngine, GenmoveIsTheProgramsThink) {
    Position start;
    start.setStartPosition();
    const testing::SearchRun expected = testing::runSearch(start, 2, -1);
    GtpEngine engine = engineAtDepth(2);
    testing::TraceCapture quiet;
    EXPECT_EQ(engine.respond("genmove white"), "= " + dashedMoveText(expected.move) + "\n\n");
}

TEST(ThinkRequest, ADeadlineStopsAThinkWithoutLimits) {
    ThinkRequest request;
    request.position.setStartPosition();
    request.depthLimit = -1;
    request.timeLimit = -1;
    request.deadlineSeconds = 0.0;
    testing::TraceCapture quiet;
    const ThinkAnswer answer = runThinkRequest(request);
    EXPECT_TRUE(answer.stoppedAtDeadline);
    ASSERT_TRUE(answer.found);
    EXPECT_TRUE(isLegalMove(request.position, answer.move));
}

// genmove against genmove to the end: the side left without a move resigns, and only then.
TEST(GtpEngine, PlaysAGameAgainstItselfToTheEnd) {
    GtpEngine engine = engineAtDepth(1);
    testing::TraceCapture quiet;
    const char* colours[2] = {"white", "black"};
    int plies = 0;
    std::string reply;
    for (;;) {
        const int side = engine.position().sideToMove;
        reply = engine.respond(std::string("genmove ") + colours[side]);
        if (reply == "= resign\n\n") break;
        ASSERT_EQ(reply.substr(0, 2), "= ") << reply;
        ++plies;
        ASSERT_LE(plies, 92) << "more moves than empty squares";
    }
    const int loser = engine.position().sideToMove;
    EXPECT_TRUE(hasNoLegalMove(engine.position()));
    EXPECT_EQ(engine.position().arrowCount(), plies);
    EXPECT_GT(plies, 20);
    EXPECT_EQ(engine.respond(std::string("genmove ") + colours[loser]), "= resign\n\n");
    const std::string board = engine.respond("showboard");
    EXPECT_NE(board.find(loser == 0 ? "White to move, and without a move"
                                    : "Black to move, and without a move"),
              std::string::npos);
    // Taking the last move back gives the winner its turn again, with a move to make.
    EXPECT_EQ(engine.respond("undo"), "=\n\n");
    EXPECT_EQ(engine.position().sideToMove, 1 - loser);
    EXPECT_FALSE(hasNoLegalMove(engine.position()));
}

TEST(TimeBudget, SharesTheClockAndKeepsAMargin) {
    struct Row {
        TimeSettings settings;
        Clock clock;
        int empty;
        int ownLimit;
        int timeLimit;
        std::optional<double> deadline;
    };
    const std::vector<Row> rows = {
        // Main time only: the seconds over the moves the side can still have (92 empty: 46).
        {{900, 0, 0}, {900, 0}, 92, -1, 19, 899.0},
        {{900, 0, 0}, {900, 0}, 91, -1, 19, 899.0},
        {{900, 0, 0}, {60, 0}, 10, -1, 12, 59.0},
        {{900, 0, 0}, {60, 0}, 10, 5, 5, 59.0},
        {{900, 0, 0}, {5, 0}, 2, -1, 4, 4.5},
        {{900, 0, 0}, {0, 0}, 40, -1, 0, 0.0},
        {{900, 0, 0}, {-3, 0}, 40, -1, 0, 0.0},
        // Main time with byo-yomi to follow: one byo-yomi move more.
        {{30, 60, 10}, {30, 0}, 92, -1, 6, 35.0},
        // In byo-yomi: the period over its stones; at most two shares before the deadline.
        {{30, 60, 10}, {60, 10}, 80, -1, 6, 11.0},
        {{0, 30, 1}, {30, 1}, 80, -1, 29, 29.0},
        {{0, 30, 1}, {3, 1}, 80, -1, 2, 2.7},
        // Byo-yomi time without stones: no clock, the engine's own limit.
        {{0, 30, 0}, {30, 0}, 80, 7, 7, std::nullopt},
        {{0, 30, 0}, {30, 0}, 80, -1, -1, std::nullopt},
        // However large the clock, the limit is an int.
        {{2147483647, 2147483647, 1},
         {2147483647, 0},
         1,
         -1,
         1000000000,
         2147483647.0 + 2147483647.0 - 1.0},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        const Clock clock{r.clock.leftMs * 1000, r.clock.stones};  // the rows give seconds
        const Budget b = budgetFor(r.settings, clock, r.empty, r.ownLimit);
        EXPECT_EQ(b.timeLimit, r.timeLimit) << i;
        ASSERT_EQ(b.deadline.has_value(), r.deadline.has_value()) << i;
        if (r.deadline) {
            EXPECT_DOUBLE_EQ(*b.deadline, *r.deadline) << i;
        }
    }
    EXPECT_EQ(startingClock({0, 60, 10}).leftMs, 60000);
    EXPECT_EQ(startingClock({0, 60, 10}).stones, 10);
    EXPECT_EQ(startingClock({300, 60, 10}).stones, 0);
}

// Under --standard the clock gives the program's own think a whole-second share.
TEST(GtpEngine, ClockCommandsSetTheNextThinksLimits) {
    GtpEngine engine(settingsOf("9.8.7", 3, -1, true), runThinkRequest);
    expectTranscript(engine, {
                                 {"wintarvo-limits", "= depth 3 time -1\n\n"},
                                 {"wintarvo-depth -1", "=\n\n"},
                                 {"wintarvo-time 4", "=\n\n"},
                                 {"wintarvo-limits", "= depth -1 time 4\n\n"},
                                 {"time_settings 600 0 0", "=\n\n"},
                                 {"wintarvo-limits", "= depth -1 time 4 deadline 599.0\n\n"},
                                 {"wintarvo-time -1", "=\n\n"},
                                 {"wintarvo-limits", "= depth -1 time 13 deadline 599.0\n\n"},
                                 {"time_left white 100 0", "=\n\n"},
                                 {"time_left black 3 0", "=\n\n"},
                                 {"wintarvo-limits", "= depth -1 time 2 deadline 99.0\n\n"},
                                 {"play white D1-D4-D7", "=\n\n"},
                                 {"wintarvo-limits", "= depth -1 time 0 deadline 2.7\n\n"},
                                 // No limit from the controller: the engine's own again.
                                 {"time_settings 0 1 0", "=\n\n"},
                                 {"wintarvo-limits", "= depth -1 time -1\n\n"},
                             });
    // Unset, the program's own ten seconds apply without a clock and nothing caps the clock.
    GtpEngine plain(settingsOf("1", -1, std::nullopt, true), runThinkRequest);
    expectTranscript(plain, {
                                {"wintarvo-limits", "= depth -1 time 10\n\n"},
                                {"time_settings 900 0 0", "=\n\n"},
                                {"wintarvo-limits", "= depth -1 time 19 deadline 899.0\n\n"},
                            });
}

// Quarry's log of one engine's GTP stream: "> command", then the response's lines indented by
// two blanks, the empty line ending it included.
std::vector<Exchange> quarryLog(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    std::vector<Exchange> exchanges;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("> ", 0) == 0) {
            exchanges.push_back({line.substr(2), ""});
        } else if (!exchanges.empty() && line.rfind("  ", 0) == 0) {
            exchanges.back().response += line.substr(2) + "\n";
        }
    }
    return exchanges;
}

// The streams Quarry sent `wintarvo-cli gtp --depth 2`, replayed line for line: every response,
// every move included, must be the one Quarry got. Two copies playing each other with 20
// seconds a move (one for White, one for Black), and one copy playing Black against a player
// with no time limit. Quarry ends a game without quit: it closes the engine's input. The
// streams were logged before the tournament engine played under clocks: --standard thinks as
// the engine did then.
TEST(GtpEngine, ReplaysQuarrysCommandStreams) {
    for (const char* file :
         {"quarry_gtp_white.log", "quarry_gtp_black.log", "quarry_gtp_against_player.log"}) {
        const auto exchanges = quarryLog(std::string(WINTARVO_TEST_DATA) + "/" + file);
        ASSERT_GT(exchanges.size(), 50u) << file;
        // The version is the build's, not the protocol's: the engine reports the logged one.
        EngineSettings settings = settingsOf("", 2, -1, true);
        for (const auto& [command, response] : exchanges)
            if (command == "version") settings.version = response.substr(2, response.size() - 4);
        GtpEngine engine(settings, runThinkRequest);
        testing::TraceCapture quiet;
        int moves = 0;
        for (const auto& [command, response] : exchanges) {
            ASSERT_EQ(engine.respond(command), response) << file << ": " << command;
            if (command.rfind("genmove", 0) == 0) ++moves;
        }
        EXPECT_GT(moves, 20) << file;
    }
}

}  // namespace
}  // namespace wintarvo::gtp
