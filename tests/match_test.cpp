// The match runner's core without processes: the referee against scripted engines (every way
// an engine can lose, and whole games), the clock, the reading of responses, the openings,
// the statistics and the report lines.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "match/game_clock.h"
#include "match/gtp_client.h"
#include "match/match_report.h"
#include "match/match_statistics.h"
#include "match/openings.h"
#include "match/referee.h"
#include "model/move_generation.h"
#include "model/position.h"
#include "records/sgf_record.h"
#include "tests/support/scripted_engine.h"

namespace wintarvo::match {
namespace {

using std::chrono::milliseconds;
using testing::atGenmove;
using testing::ScriptedAnswer;
using testing::ScriptedEngine;
using Kind = ScriptedAnswer::Kind;

ClockSettings byoYomi(int seconds) {
    return {ClockKind::ByoYomi, milliseconds(seconds * 1000)};
}

struct Played {
    GameOutcome outcome;
    std::vector<std::string> sent[2];
};

// A game between two first-legal-move engines, the scripts given to White and Black.
Played play(testing::EngineScript white, testing::EngineScript black, ClockSettings clock = {},
            const MoveList& opening = {}, milliseconds whiteThink = milliseconds(10)) {
    TimePoint now{};
    ScriptedEngine engines[2] = {ScriptedEngine(now, std::move(white), whiteThink),
                                 ScriptedEngine(now, std::move(black))};
    RefereeSettings settings;
    settings.clock = clock;
    Played p;
    p.outcome = playGame(opening, settings, {&engines[0], true}, {&engines[1], false});
    for (int side = 0; side < 2; ++side)
        p.sent[side] = engines[side].sent();
    return p;
}

TEST(Referee, PlaysAWholeGameByTheRules) {
    const MoveList opening = generateOpenings(1, 2, 7).front();
    const Played p = play({}, {}, byoYomi(1), opening);
    const GameOutcome& o = p.outcome;
    EXPECT_EQ(o.reason, EndReason::NoMove);
    // Replayed, the moves are legal and leave the loser without a move.
    Position position;
    position.setStartPosition();
    for (const Move& m : o.moves) {
        ASSERT_TRUE(isLegalMove(position, m));
        position.applyMove(m);
    }
    EXPECT_TRUE(hasNoLegalMove(position));
    EXPECT_EQ(o.winner, 1 - position.sideToMove);
    EXPECT_EQ(o.reasonText, std::string(sideName(position.sideToMove)) + " has no move left");
    EXPECT_EQ(std::vector<Move>(o.moves.begin(), o.moves.begin() + 2), opening);
    EXPECT_TRUE(o.notes.empty());
    // Set-up as the engine knows it, then the opening, the clock and the moves.
    const std::vector<std::string> whiteStart = {"set_game Amazons",
                                                 "boardsize 10",
                                                 "clear_board",
                                                 "time_settings 0 1 1",
                                                 "play white " + gtpMove(opening[0]),
                                                 "play black " + gtpMove(opening[1]),
                                                 "time_left white 1 1",
                                                 "genmove white"};
    EXPECT_EQ(std::vector<std::string>(p.sent[0].begin(), p.sent[0].begin() + 8), whiteStart);
    EXPECT_EQ(p.sent[1][0], "boardsize 10");  // Black does not know set_game
    EXPECT_EQ(p.sent[1][5], "play white " + gtpMove(o.moves[2]));
    const int whiteMoves = static_cast<int>(o.moves.size() - 1) / 2;
    EXPECT_EQ(o.think[0].moves, whiteMoves);
    EXPECT_DOUBLE_EQ(o.think[0].averageSeconds(), 0.010);
    EXPECT_DOUBLE_EQ(o.think[1].largestSeconds(), 0.010);
    EXPECT_FALSE(o.spoilt[0] || o.spoilt[1]);
}

TEST(Referee, EveryFaultLosesWithItsReason) {
    const auto answer = [](const std::string& output) {
        return ScriptedAnswer{Kind::Output, output, milliseconds(10)};
    };
    const auto onPlay = [](const std::string& output) -> testing::EngineScript {
        return [output](const std::string& command, int) -> std::optional<ScriptedAnswer> {
            if (command.rfind("play", 0) != 0) return std::nullopt;
            return ScriptedAnswer{Kind::Output, output, milliseconds(0)};
        };
    };
    struct Row {
        const char* what;
        testing::EngineScript black;  // White plays A4-A5-A6 first (its first legal move)
        ClockSettings clock;
        EndReason reason;
        std::string text;
        bool spoilt;
    };
    const std::vector<Row> rows = {
        {"illegal move",
         atGenmove(0, answer("= J10-J9-J8\n\n")),
         {},
         EndReason::IllegalMove,
         "Black played J10-J9-J8, which is not legal here",
         false},
        {"pass",
         atGenmove(0, answer("= PASS\n\n")),
         {},
         EndReason::IllegalMove,
         "Black passed, and Amazons has no pass",
         false},
        {"no move",
         atGenmove(0, answer("= banana split\n\n")),
         {},
         EndReason::NotAMove,
         "Black answered genmove with 'banana split', which is not a move",
         false},
        {"garbage",
         atGenmove(0, answer("thinking...\n= D10-D9-D8\n\n")),
         {},
         EndReason::Malformed,
         "Black answered 'genmove black' with output that is not GTP: 'thinking...' where a "
         "response (\"=\" or \"?\") begins",
         true},
        {"error",
         atGenmove(0, answer("? out of memory\n\n")),
         {},
         EndReason::ErrorAnswer,
         "Black answered genmove with an error: out of memory",
         false},
        {"resign",
         atGenmove(0, answer("= Resign\n\n")),
         {},
         EndReason::Resigned,
         "Black resigned",
         false},
        {"crash",
         atGenmove(0, {Kind::Close, {}, {}}),
         {},
         EndReason::Crashed,
         "Black's engine ended or stopped reading at 'genmove black'",
         true},
        {"silence",
         atGenmove(0, {Kind::Silent, {}, {}}),
         {},
         EndReason::Silent,
         "Black gave no answer to 'genmove black' within 60.000 s",
         true},
        {"silence on the clock", atGenmove(0, {Kind::Silent, {}, {}}), byoYomi(1),
         EndReason::TimeOverrun, "Black gave no move within 3.000 s (its time: 1.000 s); stopped",
         true},
        {"overrun", atGenmove(0, {Kind::Output, {}, milliseconds(1001)}), byoYomi(1),
         EndReason::TimeOverrun,
         "Black overran its time: a move of 1.001 s, more than the 1.000 s allowed", false},
        {"late even to resign",
         atGenmove(0, {Kind::Output, "= resign\n\n", milliseconds(1500)}),
         {ClockKind::MoveTime, milliseconds(500)},
         EndReason::TimeOverrun,
         "Black overran its time: a move of 1.500 s, more than the 0.500 s allowed",
         false},
        {"refused move",
         onPlay("? illegal move\n\n"),
         {},
         EndReason::Refused,
         "Black refused White's legal move A4-A5-A6: illegal move",
         false},
        {"refusal without a reason",
         onPlay("?\n\n"),
         {},
         EndReason::Refused,
         "Black refused White's legal move A4-A5-A6: (no reason given)",
         false},
        {"silent at play",
         onPlay(""),
         {},
         EndReason::Silent,
         "Black gave no answer to 'play white A4-A5-A6' within 10.000 s",
         true},
    };
    for (const Row& row : rows) {
        const GameOutcome o = play({}, row.black, row.clock).outcome;
        EXPECT_EQ(o.winner, 0) << row.what;
        EXPECT_EQ(o.reason, row.reason) << row.what;
        EXPECT_EQ(o.reasonText, row.text) << row.what;
        EXPECT_EQ(o.spoilt[1], row.spoilt) << row.what;
        EXPECT_FALSE(o.spoilt[0]) << row.what;
        EXPECT_EQ(o.moves.size(), 1u) << row.what;
    }
}

TEST(Referee, SetUpRefusalsLoseButClockRefusalsAreNoted) {
    const auto refuse = [](const std::string& name) -> testing::EngineScript {
        return [name](const std::string& command, int) -> std::optional<ScriptedAnswer> {
            if (command.rfind(name, 0) != 0) return std::nullopt;
            return ScriptedAnswer{Kind::Output, "? unknown command\n\n", milliseconds(0)};
        };
    };
    const GameOutcome board = play(refuse("boardsize"), {}).outcome;
    EXPECT_EQ(board.winner, 1);
    EXPECT_EQ(board.reasonText, "White refused 'boardsize 10': unknown command");
    EXPECT_TRUE(board.moves.empty());

    const MoveList opening = generateOpenings(1, 2, 3).front();
    const GameOutcome book = play({}, refuse("play black"), {}, opening).outcome;
    EXPECT_EQ(book.winner, 0);
    EXPECT_EQ(book.reasonText,
              "Black refused the opening move " + gtpMove(opening[1]) + ": unknown command");

    // Without a clock an engine plays on; each refused command is noted once a game.
    const GameOutcome clockless = play(refuse("time_"), {}, byoYomi(2)).outcome;
    EXPECT_EQ(clockless.reason, EndReason::NoMove);
    EXPECT_EQ(clockless.notes,
              (std::vector<std::string>{"White refused 'time_settings 0 2 1': unknown command",
                                        "White refused 'time_left white 2 1': unknown command"}));
}

TEST(Referee, SuddenDeathCountsDownTheWholeGame) {
    // White takes 2.3 s a move from 5 s: the third move finds 0.4 s left.
    const Played p =
        play({}, {}, {ClockKind::GameTime, milliseconds(5000)}, {}, milliseconds(2300));
    EXPECT_EQ(p.outcome.reason, EndReason::TimeOverrun);
    EXPECT_EQ(p.outcome.reasonText,
              "White ran out of time: a move of 2.300 s with 0.400 s of its 5.000 s left");
    std::vector<std::string> clock;
    for (const std::string& line : p.sent[0])
        if (line.rfind("time_", 0) == 0) clock.push_back(line);
    EXPECT_EQ(clock, (std::vector<std::string>{"time_settings 5 0 0", "time_left white 5 0",
                                               "time_left white 2 0", "time_left white 0 0"}));
    EXPECT_EQ(p.outcome.think[0].moves, 3);
    EXPECT_EQ(p.outcome.moves.size(), 4u);
}

TEST(GameClock, BoundariesAndRounding) {
    std::string overrun;
    GameClock move({ClockKind::MoveTime, milliseconds(250)});
    EXPECT_EQ(move.timeSettingsCommand() + move.timeLeftCommand(1), "");  // told to no engine
    EXPECT_TRUE(move.charge(1, milliseconds(250), overrun));  // exactly the allowance is in time
    EXPECT_FALSE(move.charge(1, std::chrono::microseconds(250001), overrun));
    GameClock game({ClockKind::GameTime, milliseconds(60000)});
    EXPECT_TRUE(game.charge(1, milliseconds(1), overrun));
    EXPECT_EQ(game.timeLeftCommand(1), "time_left black 59 0");  // 59.999 s, rounded down
    EXPECT_EQ(*game.allowance(1), milliseconds(59999));
    EXPECT_FALSE(GameClock({}).allowance(0));
    EXPECT_EQ(clockText({ClockKind::MoveTime, milliseconds(500)}), "movetime 500 ms");
}

TEST(GtpClient, ReadsResponsesAndRefusesTheRest) {
    struct Row {
        std::vector<std::string> lines;
        ResponseReader::State state;
        bool success;
        std::string text;  // or the problem
    };
    using S = ResponseReader::State;
    const std::vector<Row> rows = {
        {{"=5 D1-D4-D7", ""}, S::Complete, true, "D1-D4-D7"},
        {{"", "", "=", ""}, S::Complete, true, ""},
        {{"?  no such game  \r", "\r"}, S::Complete, false, "no such game"},
        {{"= a", "  b", ""}, S::Complete, true, "a\n  b"},
        {{"= a", "b"}, S::NeedMore, true, "a\nb"},
        {{"\tnot\x01gtp"},
         S::Malformed,
         false,
         "'?not?gtp' where a response (\"=\" or \"?\") begins"},
        {{"= " + std::string(MAX_RESPONSE_BYTES, 'x')},
         S::Malformed,
         false,
         "a response of more than 65536 bytes"},
    };
    for (const Row& row : rows) {
        ResponseReader reader;
        S state = S::NeedMore;
        for (const std::string& line : row.lines)
            state = reader.addLine(line);
        EXPECT_EQ(state, row.state) << row.lines[0];
        if (state == S::Malformed) {
            EXPECT_EQ(reader.problem(), row.text);
        } else {
            EXPECT_EQ(reader.success(), row.success) << row.lines[0];
            EXPECT_EQ(reader.text(), row.text) << row.lines[0];
        }
    }
    ResponseReader cut;
    EXPECT_EQ(cut.addLine("= D1", true), S::Malformed);
}

TEST(GtpClient, IdentifiesEngines) {
    TimePoint now{};
    ScriptedEngine known(now);
    const EngineIdentity id = identifyEngine(known, "cmd", milliseconds(100), milliseconds(100));
    EXPECT_TRUE(id.answered);
    EXPECT_EQ(id.name, "WinTarvo 1.0");
    EXPECT_TRUE(id.knowsSetGame);

    ScriptedEngine nameless(now, [](const std::string& command, int) {
        return command == "name" ? std::optional<ScriptedAnswer>({Kind::Output, "? no\n\n", {}})
                                 : std::nullopt;
    });
    EXPECT_EQ(identifyEngine(nameless, "./engine -x", milliseconds(100), milliseconds(100)).name,
              "./engine -x");

    ScriptedEngine gone(now, [](const std::string&, int) {
        return std::optional<ScriptedAnswer>({Kind::Close, {}, {}});
    });
    const EngineIdentity none = identifyEngine(gone, "x", milliseconds(30000), milliseconds(1));
    EXPECT_FALSE(none.answered);
    EXPECT_EQ(none.problem, "its output ended before it answered 'name'");
}

TEST(Openings, DeterministicLegalDistinctAndPaired) {
    // SplitMix64's published first output for seed 0: the same on every standard library.
    EXPECT_EQ(SplitMix64(0).next(), 0xE220A8397B1DCDAFULL);
    const std::vector<MoveList> openings = generateOpenings(20, 4, 11);
    ASSERT_EQ(openings.size(), 20u);
    EXPECT_EQ(generateOpenings(20, 4, 11), openings);
    EXPECT_NE(generateOpenings(20, 4, 12), openings);
    std::set<std::string> seen;
    for (const MoveList& opening : openings) {
        ASSERT_EQ(opening.size(), 4u);
        Position p;
        p.setStartPosition();
        std::string line;
        for (const Move& m : opening) {
            ASSERT_TRUE(isLegalMove(p, m));
            p.applyMove(m);
            line += gtpMove(m) + " ";
        }
        EXPECT_FALSE(hasNoLegalMove(p));
        EXPECT_TRUE(seen.insert(line).second) << line;
    }
    // Pinned, so that a seed names the same openings on every build.
    const MoveList first = generateOpenings(1, 2, 1).front();
    EXPECT_EQ(gtpMove(first[0]) + " " + gtpMove(first[1]), "D1-D4-E4 J7-C7-D7");
    EXPECT_EQ(generateOpenings(3, 0, 1).size(), 1u);  // only the starting position

    const std::vector<std::pair<int, GameAssignment>> games = {
        {0, {0, true}}, {1, {0, false}}, {2, {1, true}}, {3, {1, false}}, {6, {0, true}}};
    for (const auto& [index, expected] : games) {
        const GameAssignment a = assignmentFor(index, 3);
        EXPECT_EQ(a.opening, expected.opening) << index;
        EXPECT_EQ(a.engineOneWhite, expected.engineOneWhite) << index;
    }
}

TEST(Statistics, WilsonIntervalAndElo) {
    struct Row {
        int wins, losses;
        double low, high, elo;
    };
    const double INF = std::numeric_limits<double>::infinity();
    const std::vector<Row> rows = {
        {7, 3, 0.396778, 0.892209, 147.1907}, {1, 2, 0.061492, 0.792340, -120.4120},
        {50, 50, 0.403832, 0.596168, 0.0},    {0, 10, 0.0, 0.277533, -INF},
        {10, 0, 0.722467, 1.0, INF},
    };
    for (const Row& row : rows) {
        const ScoreEstimate e = estimateScore(row.wins, row.losses);
        EXPECT_NEAR(e.rateInterval.low, row.low, 1e-6) << row.wins;
        EXPECT_NEAR(e.rateInterval.high, row.high, 1e-6) << row.wins;
        if (std::isinf(row.elo)) {
            EXPECT_EQ(e.elo, row.elo);
        } else {
            EXPECT_NEAR(e.elo, row.elo, 1e-3);
        }
        if (row.low > 0.0) {
            EXPECT_NEAR(e.eloInterval.low, eloDifference(row.low), 1e-2);
        }
    }
    EXPECT_EQ(estimateScore(10, 0).eloMargin, INF);
    EXPECT_NEAR(estimateScore(50, 50).eloMargin, 67.6675, 1e-3);
}

TEST(Report, LinesForPeopleAndScripts) {
    EXPECT_EQ(scoreLine(7, 3),
              "score\twins=7\tlosses=3\tgames=10\twin_rate=70.0%\tinterval=39.7%..89.2%\t"
              "elo=+147.2\tmargin=220.0\telo_interval=-72.8..+367.2\n");
    EXPECT_EQ(scoreLine(5, 5).find("\telo=+0.0\t") != std::string::npos, true);
    EXPECT_EQ(scoreLine(3, 0).substr(scoreLine(3, 0).find("elo=")),
              "elo=+inf\tmargin=inf\telo_interval=-42.9..+inf\n");
    EXPECT_EQ(scoreLine(0, 0), "score\twins=0\tlosses=0\tgames=0\n");

    GameOutcome o;
    o.winner = 1;
    o.reason = EndReason::Resigned;
    o.reasonText = "White resigned\tat once";
    o.moves.resize(41);
    o.think[0].add(milliseconds(500));
    o.think[0].add(milliseconds(300));
    o.think[1].add(milliseconds(1250));
    // Engine 2 had White: its thinks are White's.
    EXPECT_EQ(gameLine(12, false, o),
              "game\t12\twhite=2\tresult=B+R\twinner=1\tplies=41\tavg1=1.250\tmax1=1.250\t"
              "avg2=0.400\tmax2=0.500\treason=White resigned at once\n");
    o.think[1] = {};
    EXPECT_NE(gameLine(12, false, o).find("\tavg1=-\tmax1=-\tavg2=0.400\t"), std::string::npos);
    o.reason = EndReason::TimeOverrun;
    EXPECT_EQ(sgfResult(o), "B+T");
    o.reason = EndReason::Crashed;
    o.winner = 0;
    EXPECT_EQ(sgfResult(o), "W+F");

    MatchDescription match;
    match.names[0] = "Alpha 1";
    match.names[1] = "Beta 2";
    match.commands[0] = "alpha --fast";
    match.commands[1] = "beta";
    match.games = 4;
    match.openings = 2;
    match.openingPlies = 2;
    match.seed = 9;
    match.clock = byoYomi(1);
    EXPECT_EQ(headerLines(match),
              "engine\t1\tname=Alpha 1\tcommand=alpha --fast\n"
              "engine\t2\tname=Beta 2\tcommand=beta\n"
              "match\tgames=4\topenings=2\topening_plies=2\tseed=9\tclock=byoyomi 1 s\t"
              "concurrency=1\n");

    // The record names the players by colour and keeps a result the board does not show.
    const Played p = play(atGenmove(1, {Kind::Output, "= resign\n\n", milliseconds(1)}), {});
    std::string text, error;
    ASSERT_TRUE(writeSgfRecord(p.outcome.moves, sgfGameInfo(match, false, p.outcome), text, error));
    EXPECT_NE(text.find("PB[Alpha 1]\nPW[Beta 2]"), std::string::npos) << text;
    EXPECT_NE(text.find("RE[B+R]"), std::string::npos) << text;
}

}  // namespace
}  // namespace wintarvo::match
