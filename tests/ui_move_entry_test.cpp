// Move entry with the mouse: every row of the entry state table, through real clicks on the
// board view's window, with the beeps, the entry left behind and the status text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/move.h"
#include "support/trace_capture.h"
#include "support/ui_harness.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

namespace wintarvo {
namespace {

using testing::sq;
using testing::ViewHarness;

struct Click {
    const char* square;
    Qt::MouseButton button = Qt::LeftButton;
};

struct EntryCase {
    const char* name;
    std::vector<Click> clicks;  // from the starting position, Auto Play off
    int beeps;
    Move entry;  // what is left half entered
    int movesPlayed;
    const char* status;
};

Move m(const char* from, const char* to = nullptr, const char* arrow = nullptr) {
    Move move;
    move.from = from ? sq(from) : NO_SQUARE;
    move.to = to ? sq(to) : NO_SQUARE;
    move.arrow = arrow ? sq(arrow) : NO_SQUARE;
    return move;
}

const Move IDLE = Move::null();

class EntryTable : public ::testing::TestWithParam<EntryCase> {};

TEST_P(EntryTable, ClicksLeadToTheState) {
    const EntryCase& c = GetParam();
    ViewHarness h;
    h.view.autoPlay = false;
    h.view.onNewGame();
    for (const Click& click : c.clicks)
        h.click(click.square, click.button);
    EXPECT_EQ(h.desktop.beeps, c.beeps);
    EXPECT_EQ(h.view.entry(), c.entry);
    EXPECT_EQ(h.view.movesPlayed().size(), static_cast<std::size_t>(c.movesPlayed));
    EXPECT_EQ(h.status().toStdString(), c.status);
    EXPECT_TRUE(h.desktop.messages.empty());
}

const Qt::MouseButton RIGHT = Qt::RightButton;

INSTANTIATE_TEST_SUITE_P(
    EveryRow, EntryTable,
    ::testing::Values(
        // idle
        EntryCase{"IdleOwnAmazonIsPicked", {{"A4"}}, 0, m("A4"), 0, "Ply number 1"},
        EntryCase{"IdleEmptySquareBeeps", {{"E5"}}, 1, IDLE, 0, "Ply number 1"},
        EntryCase{"IdleOpponentAmazonBeeps", {{"A7"}}, 1, IDLE, 0, "Ply number 1"},
        EntryCase{"IdleArrowBeeps", {{"A4"}, {"A5"}, {"A6"}, {"A6"}}, 1, IDLE, 1, "Ply number 2"},
        EntryCase{"BlackPicksOnlyBlack",
                  {{"A4"}, {"A5"}, {"A6"}, {"A5"}, {"D10"}},
                  1,
                  m("D10"),
                  1,
                  "Ply number 2"},
        // amazon picked
        EntryCase{"PickedReachableSquareIsDestination",
                  {{"A4"}, {"A5"}},
                  0,
                  m("A4", "A5"),
                  0,
                  "Ply number 1"},
        EntryCase{"PickedUnreachableSquareCancels", {{"A4"}, {"B2"}}, 1, IDLE, 0, "Ply number 1"},
        EntryCase{"PickedAmazonAgainCancels", {{"A4"}, {"A4"}}, 1, IDLE, 0, "Ply number 1"},
        EntryCase{"PickedOtherOwnAmazonCancels", {{"A4"}, {"D1"}}, 1, IDLE, 0, "Ply number 1"},
        // destination chosen
        EntryCase{"EmptyArrowSquarePlays", {{"A4"}, {"A5"}, {"A6"}}, 0, IDLE, 1, "Ply number 2"},
        EntryCase{
            "ArrowOnTheSquareLeftPlays", {{"A4"}, {"A5"}, {"A4"}}, 0, IDLE, 1, "Ply number 2"},
        EntryCase{
            "ArrowOnTheDestinationCancels", {{"A4"}, {"A5"}, {"A5"}}, 1, IDLE, 0, "Ply number 1"},
        EntryCase{
            "ArrowOnAnOccupiedSquareCancels", {{"A4"}, {"A5"}, {"D1"}}, 1, IDLE, 0, "Ply number 1"},
        EntryCase{"UnreachableArrowIsRefusedByTheRules",
                  {{"A4"}, {"A5"}, {"J10"}},
                  1,
                  IDLE,
                  0,
                  "Ply number 1"},
        // right button
        EntryCase{"RightClickWhilePickedCancelsQuietly",
                  {{"A4"}, {"E5", RIGHT}},
                  0,
                  IDLE,
                  0,
                  "Ply number 1"},
        EntryCase{"RightClickWithDestinationCancelsQuietly",
                  {{"A4"}, {"A5"}, {"A4", RIGHT}},
                  0,
                  IDLE,
                  0,
                  "Ply number 1"},
        EntryCase{"RightClickWhenIdleChangesNothing", {{"E5", RIGHT}}, 0, IDLE, 0, "Ply number 1"}),
    [](const ::testing::TestParamInfo<EntryCase>& info) { return info.param.name; });

TEST(MoveEntry, WithSoundOffTheSameRefusalsAreSilent) {
    ViewHarness h;
    h.view.autoPlay = false;
    h.view.soundOn = false;
    h.view.onNewGame();
    h.click("E5");
    h.enter("A4", "A5", "J10");
    h.click("A7");
    EXPECT_EQ(h.desktop.beeps, 0);
    EXPECT_EQ(h.view.entry(), IDLE);
}

TEST(MoveEntry, ADoubleClickIsTwoClicks) {
    ViewHarness h;
    h.view.autoPlay = false;
    h.view.onNewGame();
    // A double click arrives as press, release, double-click press, release: the first
    // release picks the amazon, the second clicks it again and cancels.
    const QPointF at(15, 6 * 30 + 15);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, at, h.window()->mapToGlobal(at), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(h.window(), &event);
    }
    EXPECT_EQ(h.view.entry(), IDLE);
    EXPECT_EQ(h.desktop.beeps, 1);
}

TEST(MoveEntry, AButtonReleasedOffTheBoardIsNoClick) {
    ViewHarness h;
    h.view.onNewGame();
    QTest::mousePress(h.window(), Qt::LeftButton, Qt::NoModifier, QPoint(15, 6 * 30 + 15));
    QTest::mouseRelease(h.window(), Qt::LeftButton, Qt::NoModifier, QPoint(-5, 6 * 30 + 15));
    EXPECT_EQ(h.view.entry(), IDLE);
    EXPECT_EQ(h.desktop.beeps, 0);
}

TEST(MoveEntry, TheEnteredMoveReachesDocumentViewAndHistory) {
    ViewHarness h;
    h.view.autoPlay = false;
    h.view.onNewGame();
    h.enter("A4", "A5", "A4");
    const Move played = m("A4", "A5", "A4");
    ASSERT_EQ(h.view.movesPlayed().size(), 1u);
    EXPECT_EQ(h.view.movesPlayed()[0], played);
    EXPECT_EQ(h.view.shownPosition().cell(sq("A5")), WhiteAmazon);
    EXPECT_EQ(h.view.shownPosition().cell(sq("A4")), Arrow);
    EXPECT_EQ(h.view.shownPosition().sideToMove, 1);
    Position inDocument;
    h.view.document().getPosition(inDocument);
    EXPECT_FALSE(inDocument.differs(h.view.shownPosition()));
    // The move just played is the last move and is marked.
    EXPECT_EQ(h.view.shownLastMove(), played);
    // Moves entered with the mouse are never announced.
    EXPECT_TRUE(h.broadcast.posted.empty());
}

TEST(MoveEntry, WithAutoPlayTheEngineAnswersAndItsTextIsShown) {
    testing::TraceCapture trace;
    ViewHarness h;
    h.view.onNewGame();
    h.enter("A4", "A5", "A6");
    EXPECT_TRUE(h.view.thinking());
    EXPECT_EQ(h.status(), "Thinking...");
    // No last-move markers while the engine thinks.
    EXPECT_EQ(h.view.shownLastMove(), IDLE);
    ASSERT_TRUE(h.waitForAnswer());
    EXPECT_TRUE(h.status().startsWith("Depth = ")) << h.status().toStdString();
    EXPECT_TRUE(h.status().contains("  Score = "));
    ASSERT_EQ(h.view.movesPlayed().size(), 2u);
    EXPECT_EQ(h.view.shownPosition().sideToMove, 0);
    EXPECT_EQ(h.view.shownLastMove(), h.view.movesPlayed()[1]);
    // One beep for the engine's move, and it is announced.
    EXPECT_EQ(h.desktop.beeps, 1);
    ASSERT_EQ(h.broadcast.posted.size(), 1u);
    EXPECT_EQ(h.broadcast.posted[0], packMove(h.view.movesPlayed()[1]));
    // The verbose evaluation of the new position follows every engine move.
    EXPECT_NE(trace.text().find("Territory board:"), std::string::npos);
}

TEST(MoveEntry, AClickWhileThinkingBeepsAndChangesNothing) {
    testing::TraceCapture trace;
    ViewHarness h;
    h.view.depthLimit = -1;
    h.view.onNewGame();
    h.view.onPlayMove();
    ASSERT_TRUE(h.view.thinking());
    h.click("A4");
    EXPECT_EQ(h.view.entry(), IDLE);
    EXPECT_EQ(h.desktop.beeps, 1);
    EXPECT_EQ(h.status(), "Thinking...");
    h.view.onForceMove();
    ASSERT_TRUE(h.waitForAnswer());
}

}  // namespace
}  // namespace wintarvo
