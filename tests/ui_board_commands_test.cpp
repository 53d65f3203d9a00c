// The board view's commands, its history, the engine's requests and answers, announced moves
// and the end of the game.
#include <gtest/gtest.h>

#include <QTest>

#include "model/move_generation.h"
#include "model/position_diagram.h"
#include "model/test_positions.h"
#include "support/search_run.h"
#include "support/thread_start_failure.h"
#include "support/trace_capture.h"
#include "support/ui_harness.h"

namespace wintarvo {
namespace {

using testing::sq;
using testing::ViewHarness;

Move m(const char* from, const char* to, const char* arrow) {
    return Move{sq(from), sq(to), sq(arrow)};
}

// Plays the moves with the mouse, Auto Play off.
void play(ViewHarness& h, std::initializer_list<Move> moves) {
    h.view.autoPlay = false;
    for (const Move& move : moves) {
        h.click(move.from);
        h.click(move.to);
        h.click(move.arrow);
    }
}

const Move W1 = m("A4", "A5", "A6");
const Move B1 = m("D10", "D9", "C9");
const Move W2 = m("J4", "J5", "J6");
const Move B2 = m("G10", "G9", "H9");

class BoardCommands : public ::testing::Test {
  protected:
    testing::TraceCapture trace;  // keeps the engine's trace off the test output
    ViewHarness h;
};

// --- history ----------------------------------------------------------------------------------

TEST_F(BoardCommands, UndoNeedsTwoMovesAndTakesBackTwo) {
    play(h, {W1});
    EXPECT_FALSE(h.view.onUndoMove());
    EXPECT_EQ(h.view.movesPlayed().size(), 1u);
    EXPECT_EQ(h.desktop.beeps, 0);

    play(h, {B1, W2});
    const Position afterThree = h.view.shownPosition();
    EXPECT_TRUE(h.view.onUndoMove());
    EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1}));
    EXPECT_EQ(h.view.movesUndone(), (MoveList{W2, B1}));
    EXPECT_EQ(h.status(), "Ply number 2");

    EXPECT_TRUE(h.view.onStepForward());
    EXPECT_TRUE(h.view.onStepForward());
    EXPECT_FALSE(h.view.onStepForward());
    EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1, B1, W2}));
    EXPECT_FALSE(h.view.shownPosition().differs(afterThree));
    EXPECT_EQ(h.desktop.beeps, 0);
}

TEST_F(BoardCommands, StepsWalkTheHistoryAndKeepDocumentAndViewTogether) {
    play(h, {W1, B1, W2});
    Position start;
    start.setStartPosition();
    EXPECT_TRUE(h.view.onStepBack());
    EXPECT_TRUE(h.view.onStepBack());
    EXPECT_TRUE(h.view.onStepBack());
    EXPECT_FALSE(h.view.onStepBack());
    EXPECT_FALSE(h.view.shownPosition().differs(start));
    Position inDocument;
    h.view.document().getPosition(inDocument);
    EXPECT_FALSE(inDocument.differs(start));
    // Stepping resets the document's last move: no markers.
    EXPECT_EQ(h.view.shownLastMove(), Move::null());
    EXPECT_EQ(h.status(), "Ply number 1");
}

TEST_F(BoardCommands, ANewMoveAfterSteppingBackForgetsTheStepsAhead) {
    play(h, {W1, B1, W2});
    h.view.onStepBack();
    h.view.onStepBack();
    play(h, {B2});
    EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1, B2}));
    EXPECT_TRUE(h.view.movesUndone().empty());
    EXPECT_FALSE(h.view.onStepForward());
}

TEST_F(BoardCommands, TestPositionThreeStartsAFreshHistory) {
    play(h, {W1});
    trace.clear();
    h.view.onTestPosition(3);
    EXPECT_EQ(h.status(), "Ply number 11");
    EXPECT_EQ(h.view.shownPosition().sideToMove, 0);
    EXPECT_TRUE(h.view.movesPlayed().empty());
    EXPECT_TRUE(h.view.movesUndone().empty());
    EXPECT_FALSE(h.view.onStepBack());
    Position expected;
    setTestPosition(expected, 3);
    EXPECT_FALSE(h.view.shownPosition().differs(expected));
    const auto lines = trace.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Test Position 3");
    EXPECT_EQ(lines[1], "------------------------");
}

TEST_F(BoardCommands, EveryTestPositionComesFromTheSharedTable) {
    for (int n = 1; n <= 3; ++n) {
        h.view.onTestPosition(n);
        Position expected;
        setTestPosition(expected, n);
        EXPECT_FALSE(h.view.shownPosition().differs(expected)) << n;
        EXPECT_EQ(h.status().toStdString(),
                  "Ply number " + std::to_string(expected.arrowCount() + 1));
    }
}

TEST_F(BoardCommands, NewGameClearsTheHistory) {
    play(h, {W1, B1});
    h.view.onStepBack();
    h.view.onNewGame();
    EXPECT_TRUE(h.view.movesPlayed().empty());
    EXPECT_TRUE(h.view.movesUndone().empty());
    EXPECT_EQ(h.status(), "Ply number 1");
}

// --- the engine -------------------------------------------------------------------------------

TEST_F(BoardCommands, PlayMoveLetsTheEngineMoveForTheSideToMove) {
    play(h, {W1});
    h.view.onPlayMove();
    EXPECT_TRUE(h.view.thinking());
    EXPECT_EQ(h.window()->cursor().shape(), Qt::BusyCursor);
    ASSERT_TRUE(h.waitForAnswer());
    // The cursor turns back as soon as the answer is in.
    EXPECT_EQ(h.window()->cursor().shape(), Qt::ArrowCursor);
    ASSERT_EQ(h.view.movesPlayed().size(), 2u);
    EXPECT_EQ(h.view.shownPosition().sideToMove, 0);
    // An engine move is not answered automatically, even with Auto Play on.
    h.view.autoPlay = true;
    QTest::qWait(50);
    EXPECT_FALSE(h.view.thinking());
}

TEST_F(BoardCommands, ForceMoveWithoutASearchOnlyBeeps) {
    h.view.onForceMove();
    EXPECT_EQ(h.desktop.beeps, 1);
    EXPECT_FALSE(h.view.thinking());
    h.view.soundOn = false;
    h.view.onForceMove();
    EXPECT_EQ(h.desktop.beeps, 1);
}

TEST_F(BoardCommands, ForceMoveBringsTheAnswerOfAnEndlessSearch) {
    h.view.depthLimit = -1;
    h.view.timeLimit = -1;
    h.view.onPlayMove();
    ASSERT_TRUE(h.view.thinking());
    QTest::qWait(100);
    EXPECT_TRUE(h.view.thinking());
    h.view.onForceMove();
    ASSERT_TRUE(h.waitForAnswer());
    EXPECT_EQ(h.view.movesPlayed().size(), 1u);
    EXPECT_TRUE(h.status().startsWith("Depth = "));
}

struct Refusal {
    const char* name;
    void (*command)(BoardView&);
    int beeps;
};

class WhileThinking : public ::testing::TestWithParam<Refusal> {};

TEST_P(WhileThinking, GameCommandsAreRefused) {
    testing::TraceCapture trace;
    ViewHarness h;
    play(h, {W1, B1});
    h.view.onStepBack();
    h.view.depthLimit = -1;
    h.view.onPlayMove();
    ASSERT_TRUE(h.view.thinking());
    const Position before = h.view.shownPosition();
    trace.clear();
    GetParam().command(h.view);
    EXPECT_EQ(h.desktop.beeps, GetParam().beeps);
    EXPECT_TRUE(h.view.thinking());
    EXPECT_EQ(h.status(), "Thinking...");
    EXPECT_FALSE(h.view.shownPosition().differs(before));
    EXPECT_EQ(h.view.movesPlayed().size(), 1u);
    EXPECT_EQ(h.view.movesUndone().size(), 1u);
    EXPECT_EQ(trace.text().find("Test Position"), std::string::npos);
    EXPECT_EQ(trace.text().find("Open: "), std::string::npos);
    EXPECT_EQ(trace.text().find("Save: "), std::string::npos);
    h.view.onForceMove();
    ASSERT_TRUE(h.waitForAnswer());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, WhileThinking,
    ::testing::Values(
        Refusal{"NewGameDoesNothing", [](BoardView& v) { v.onNewGame(); }, 0},
        Refusal{"SetBoardDoesNothing", [](BoardView& v) { v.onTestPosition(1); }, 0},
        Refusal{"OpenDoesNothing", [](BoardView& v) { v.onOpenGame("/nonexistent/x.amz"); }, 0},
        Refusal{"SaveDoesNothing", [](BoardView& v) { v.onSaveGame("/tmp/never.amz"); }, 0},
        Refusal{"PlayMoveBeeps", [](BoardView& v) { v.onPlayMove(); }, 1},
        Refusal{"UndoBeeps", [](BoardView& v) { EXPECT_FALSE(v.onUndoMove()); }, 1},
        Refusal{"GoBackBeeps", [](BoardView& v) { EXPECT_FALSE(v.onStepBack()); }, 1},
        Refusal{"GoForwardBeeps", [](BoardView& v) { EXPECT_FALSE(v.onStepForward()); }, 1}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

// --- the end of the game ----------------------------------------------------------------------

// Plays the first legal move with the mouse and lets the engine answer at 1 ply, until the side
// to move has no move.
TEST(WholeGame, AgainstTheEngineAtOnePlyUntilGameOver) {
    testing::TraceCapture trace;
    ViewHarness h;
    h.view.depthLimit = 1;
    h.view.onNewGame();
    int plies = 0;
    while (!h.view.document().hasNoLegalMove() && plies < 200) {
        MoveList moves;
        generateMoves(h.view.shownPosition(), moves);
        ASSERT_FALSE(moves.empty());
        h.click(moves[0].from);
        h.click(moves[0].to);
        h.click(moves[0].arrow);
        ASSERT_TRUE(h.waitForAnswer());
        plies = static_cast<int>(h.view.movesPlayed().size());
    }
    ASSERT_TRUE(h.view.document().hasNoLegalMove());
    // The box came with the move that ended the game, the mouse's or the engine's.
    ASSERT_EQ(h.desktop.messages.size(), 1u);
    const bool blackToMove = h.view.shownPosition().sideToMove == 1;
    EXPECT_EQ(h.desktop.messages[0].text,
              blackToMove ? "Game Over - White wins" : "Game Over - Black wins");
    EXPECT_EQ(h.desktop.messages[0].caption, "WinTarvo");
    EXPECT_EQ(h.desktop.messages[0].owner, h.window());
    // The history holds every move of the game.
    Position replay;
    replay.setStartPosition();
    for (const Move& move : h.view.movesPlayed()) {
        ASSERT_TRUE(isLegalMove(replay, move));
        replay.applyMove(move);
    }
    EXPECT_FALSE(replay.differs(h.view.shownPosition()));

    // Every further click shows the box again and changes nothing.
    const int beeps = h.desktop.beeps;
    h.click("E5");
    EXPECT_EQ(h.status(), "Game Over");
    h.click("A1");
    EXPECT_EQ(h.desktop.messages.size(), 3u);
    EXPECT_EQ(h.desktop.messages[2].text, h.desktop.messages[0].text);
    EXPECT_EQ(h.desktop.beeps, beeps);
    // So does Play Move, and no search starts.
    h.view.onPlayMove();
    EXPECT_EQ(h.desktop.messages.size(), 4u);
    EXPECT_FALSE(h.view.thinking());
}

TEST(GameOver, TheWinnerIsTheSideNotToMove) {
    struct Row {
        int sideToMove;
        const char* text;
    };
    for (const Row row : {Row{1, "Game Over - White wins"}, Row{0, "Game Over - Black wins"}}) {
        ViewHarness h;
        // The side to move has its only amazon shut in on A10.
        const char own = row.sideToMove == 1 ? 'B' : 'W';
        const char other = row.sideToMove == 1 ? 'W' : 'B';
        const std::string last = ".........";
        const Position p = positionFromRows(
            {std::string(1, own) + "x........", "xx........", "..........", "..........",
             "..........", "..........", "..........", "..........", "..........", last + other},
            row.sideToMove);
        h.view.document().setPosition(p);
        h.view.updateStatus();
        EXPECT_EQ(h.status(), "Game Over");
        EXPECT_TRUE(h.view.checkGameOver());
        ASSERT_EQ(h.desktop.messages.size(), 1u);
        EXPECT_EQ(h.desktop.messages[0].text, row.text);
    }
}

// When the engine's thread cannot be started, Play Move and Auto Play say so with a beep and
// the status line instead of seeming to do nothing; the game goes on by hand, and the next
// request starts the engine.
TEST_F(BoardCommands, ARequestTheEngineCannotTakeIsSaidAndTheNextOneStartsIt) {
    {
        testing::ThreadStartFailure noThreads;
        if (!noThreads.active()) GTEST_SKIP() << "thread creation cannot be made to fail here";
        h.view.onPlayMove();
        EXPECT_FALSE(h.view.thinking());
        EXPECT_EQ(h.desktop.beeps, 1);
        EXPECT_EQ(h.status(), "Engine could not start");
        // A move by hand is played; Auto Play's request fails the same way.
        h.enter("A4", "A5", "A6");
        EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1}));
        EXPECT_FALSE(h.view.thinking());
        EXPECT_EQ(h.desktop.beeps, 2);
        EXPECT_EQ(h.status(), "Engine could not start");
        EXPECT_EQ(h.window()->cursor().shape(), Qt::ArrowCursor);
        h.view.soundOn = false;
        h.view.onPlayMove();
        EXPECT_EQ(h.desktop.beeps, 2);
    }
    EXPECT_EQ(trace.text().find("Engine could not start: "), 0u);
    h.view.onPlayMove();
    ASSERT_TRUE(h.view.thinking());
    EXPECT_EQ(h.status(), "Thinking...");
    ASSERT_TRUE(h.waitForAnswer());
    EXPECT_EQ(h.view.movesPlayed().size(), 2u);
}

// --- announced moves --------------------------------------------------------------------------

TEST_F(BoardCommands, AnnouncedMovesArePlayedOnlyWhenLegalHere) {
    h.view.autoPlay = false;
    const auto packed = [](const Move& move) { return static_cast<std::intptr_t>(packMove(move)); };
    h.view.interlinked = false;
    EXPECT_FALSE(h.view.onBroadcastMove(0, packed(W1)));
    h.view.interlinked = true;
    EXPECT_FALSE(h.view.onBroadcastMove(0, 0));
    EXPECT_FALSE(h.view.onBroadcastMove(0, 0xFFFFFF));
    EXPECT_FALSE(h.view.onBroadcastMove(0, packed(B1)));  // Black's move, White to move
    EXPECT_TRUE(h.view.movesPlayed().empty());
    EXPECT_TRUE(h.view.onBroadcastMove(0, packed(W1)));
    EXPECT_FALSE(h.view.onBroadcastMove(0, packed(W1)));  // already played
    // No packed move has bits above the 24 of its squares; wParam is not read.
    EXPECT_FALSE(h.view.onBroadcastMove(0, packed(B1) | 0x5A000000));
    EXPECT_FALSE(h.view.onBroadcastMove(0, -packed(B1)));
    EXPECT_TRUE(h.view.onBroadcastMove(7, packed(B1)));
    EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1, B1}));
    EXPECT_EQ(h.status(), "Ply number 3");
    EXPECT_FALSE(h.view.thinking());
    EXPECT_EQ(h.desktop.beeps, 0);
    // A received move steps back like any other.
    EXPECT_TRUE(h.view.onStepBack());
    EXPECT_EQ(h.view.movesUndone(), (MoveList{B1}));
}

TEST_F(BoardCommands, WithAutoPlayAnAnnouncedMoveIsAnsweredAndTheAnswerAnnounced) {
    EXPECT_TRUE(h.view.onBroadcastMove(0, static_cast<std::intptr_t>(packMove(W1))));
    EXPECT_TRUE(h.view.thinking());
    ASSERT_TRUE(h.waitForAnswer());
    ASSERT_EQ(h.view.movesPlayed().size(), 2u);
    ASSERT_EQ(h.broadcast.posted.size(), 1u);
    EXPECT_EQ(h.broadcast.posted[0], packMove(h.view.movesPlayed()[1]));
}

TEST_F(BoardCommands, AnAnswerMadeIllegalByAnAnnouncedMoveIsDropped) {
    h.view.depthLimit = -1;
    h.view.onPlayMove();
    ASSERT_TRUE(h.view.thinking());
    // White's move from another copy arrives during the search: it is played, and instead of
    // a second search there is a beep.
    EXPECT_TRUE(h.view.onBroadcastMove(0, static_cast<std::intptr_t>(packMove(W1))));
    EXPECT_EQ(h.desktop.beeps, 1);
    EXPECT_TRUE(h.view.thinking());
    EXPECT_EQ(h.status(), "Thinking...");
    // The engine's answer is a move for White, who is no longer to move. (Without Auto Play,
    // which would now ask for Black's reply: see below.)
    h.view.autoPlay = false;
    h.view.onForceMove();
    ASSERT_TRUE(h.waitForAnswer());
    EXPECT_EQ(h.view.movesPlayed(), (MoveList{W1}));
    EXPECT_EQ(h.view.shownPosition().sideToMove, 1);
    EXPECT_TRUE(h.broadcast.posted.empty());
    EXPECT_EQ(h.status(), "Ply number 2");
    EXPECT_EQ(h.window()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(h.desktop.beeps, 1);
    // And the view is ready for the next move.
    h.view.depthLimit = 1;
    h.view.onPlayMove();
    ASSERT_TRUE(h.waitForAnswer());
    EXPECT_EQ(h.view.movesPlayed().size(), 2u);
}

// Two moves from other copies arrive during a search (the copies on the other side moved
// twice). The engine's answer is then for a position two moves back; even where it is still a
// legal move it was not chosen for this one, and it is dropped.
TEST_F(BoardCommands, AnAnswerForAnEarlierPositionIsDroppedEvenIfStillLegal) {
    // The engine's answer to the starting position at one ply, which never varies.
    h.view.onPlayMove();
    ASSERT_TRUE(h.waitForAnswer());
    ASSERT_EQ(h.view.movesPlayed().size(), 1u);
    const Move answer = h.view.movesPlayed()[0];
    h.view.onNewGame();
    h.broadcast.posted.clear();
    h.desktop.beeps = 0;
    // A move for each side after which that answer is still legal.
    Position start;
    h.view.document().getPosition(start);
    MoveList whites;
    generateMoves(start, whites);
    Move white, black;
    for (const Move& w : whites) {
        Position p = start;
        p.applyMove(w);
        MoveList blacks;
        generateMoves(p, blacks);
        for (const Move& b : blacks) {
            Position q = p;
            q.applyMove(b);
            if (isLegalMove(q, answer)) {
                white = w;
                black = b;
                break;
            }
        }
        if (white.isValid()) break;
    }
    ASSERT_TRUE(white.isValid() && black.isValid());

    // The answer is queued for the view, but reaches it only after both moves.
    h.view.onPlayMove();
    ASSERT_TRUE(h.view.thinking());
    EXPECT_TRUE(h.view.onBroadcastMove(0, static_cast<std::intptr_t>(packMove(white))));
    EXPECT_TRUE(h.view.onBroadcastMove(0, static_cast<std::intptr_t>(packMove(black))));
    EXPECT_EQ(h.desktop.beeps, 2);  // two automatic replies withheld
    h.view.autoPlay = false;        // and not asked for afterwards
    ASSERT_TRUE(h.waitForAnswer());
    EXPECT_EQ(h.view.movesPlayed(), (MoveList{white, black}));
    EXPECT_TRUE(h.broadcast.posted.empty());
    EXPECT_EQ(h.status(), "Ply number 3");
    EXPECT_EQ(h.desktop.beeps, 2);
}

// With Auto Play, the reply withheld from a move received during a search is asked for once
// the search's answer has been dropped, for the position the view has then; the game does not
// wait for a person. Unless that move ended the game.
TEST_F(BoardCommands, AfterADroppedAnswerAutoPlayAsksForTheWithheldReply) {
    // The answer stays queued until the test hands control to the event loop.
    h.view.onPlayMove();
    ASSERT_TRUE(h.view.thinking());
    EXPECT_TRUE(h.view.onBroadcastMove(0, static_cast<std::intptr_t>(packMove(W1))));
    ASSERT_TRUE(testing::waitUntil([&] { return h.view.movesPlayed().size() == 2; }));
    EXPECT_FALSE(h.view.thinking());
    const Move reply = h.view.movesPlayed()[1];
    Position afterW1;
    afterW1.setStartPosition();
    afterW1.applyMove(W1);
    EXPECT_TRUE(isLegalMove(afterW1, reply));
    EXPECT_EQ(h.broadcast.posted, (std::vector<std::uint32_t>{packMove(reply)}));
    EXPECT_EQ(h.desktop.beeps, 2);  // the withheld reply, the engine's move
    EXPECT_EQ(h.status().left(8), "Depth = ");

    // Black's one amazon is walled in on A10: White's move from another copy ends the game.
    h.view.document().setPosition(positionFromRows(
        {"Bx........", "xx........", "..........", "..........", "..........", "..........",
         "..........", "..........", "..........", ".........W"},
        0));
    h.view.updateStatus();
    h.broadcast.posted.clear();
    h.view.onPlayMove();
    ASSERT_TRUE(h.view.thinking());
    EXPECT_TRUE(
        h.view.onBroadcastMove(0, static_cast<std::intptr_t>(packMove(m("J1", "J2", "J3")))));
    ASSERT_TRUE(h.waitForAnswer());
    QCoreApplication::processEvents();
    EXPECT_FALSE(h.view.thinking());
    EXPECT_EQ(h.view.movesPlayed().size(), 3u);
    EXPECT_TRUE(h.broadcast.posted.empty());
    ASSERT_EQ(h.desktop.messages.size(), 1u);
    EXPECT_EQ(h.desktop.messages[0].text, "Game Over - White wins");
    EXPECT_EQ(h.status(), "Game Over");
}

// Play Move in two copies at the same moment can have both engines make the same move: each
// copy then hears it twice, its own announcement and the other's, and waits for the other to
// answer. With Auto Play the second hearing is answered.
TEST_F(BoardCommands, TheEnginesOwnMoveHeardTwiceIsAnswered) {
    const auto heard = [&](const Move& move) {
        return h.view.onBroadcastMove(0, static_cast<std::intptr_t>(packMove(move)));
    };
    h.view.onPlayMove();
    ASSERT_TRUE(h.waitForAnswer());
    const Move own = h.view.movesPlayed().at(0);
    EXPECT_FALSE(heard(own));  // its own announcement
    EXPECT_FALSE(h.view.thinking());
    EXPECT_FALSE(heard(own));  // another copy's
    EXPECT_TRUE(h.view.thinking());
    EXPECT_FALSE(heard(own));  // a third copy's: no second request, no beep
    EXPECT_EQ(h.desktop.beeps, 1);
    ASSERT_TRUE(h.waitForAnswer());
    ASSERT_EQ(h.view.movesPlayed().size(), 2u);
    EXPECT_EQ(h.broadcast.posted.size(), 2u);
    // The game has moved on from the first move; and without Auto Play nothing is answered.
    EXPECT_FALSE(heard(own));
    EXPECT_FALSE(h.view.thinking());
    h.view.autoPlay = false;
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(heard(h.view.movesPlayed().at(1)));
    EXPECT_FALSE(h.view.thinking());
    EXPECT_EQ(h.view.movesPlayed().size(), 2u);
}

// The copy whose engine ends the game announces the move before its end-of-game box opens, so
// the other copies do not wait for the user to close it.
TEST_F(BoardCommands, AWinningEngineMoveIsAnnouncedBeforeTheBoxOpens) {
    // Black's one amazon is walled in on A10; whatever White plays, Black cannot answer.
    const Position p = positionFromRows(
        {"Bx........", "xx........", "..........", "..........", "..........", "..........",
         "..........", "..........", "..........", ".........W"},
        0);
    h.view.document().setPosition(p);
    h.view.updateStatus();
    std::size_t announcedWhenShown = 99;
    h.desktop.onInformation = [&] { announcedWhenShown = h.broadcast.posted.size(); };
    h.view.onPlayMove();
    ASSERT_TRUE(h.waitForAnswer());
    ASSERT_EQ(h.desktop.messages.size(), 1u);
    EXPECT_EQ(h.desktop.messages[0].text, "Game Over - White wins");
    ASSERT_EQ(h.broadcast.posted.size(), 1u);
    EXPECT_EQ(h.broadcast.posted[0], packMove(h.view.movesPlayed().back()));
    EXPECT_EQ(announcedWhenShown, 1u);
}

}  // namespace
}  // namespace wintarvo
