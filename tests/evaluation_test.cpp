#include <gtest/gtest.h>

#include "model/evaluator.h"
#include "model/position_diagram.h"
#include "model/territory.h"
#include "support/search_run.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {


Position start(int side = 0) {
    Position p;
    p.setStartPosition();
    p.sideToMove = side;
    return p;
}

TEST(Evaluation, StartPositionIsLevelForEitherSide) {
    for (int side : {0, 1}) {
        Evaluator e;
        testing::TraceCapture trace;
        EXPECT_EQ(e.evaluate(start(side), true), 0);
        EXPECT_EQ(e.score, 0);
        const auto lines = trace.lines();
        ASSERT_EQ(lines.size(), 1u + 14u + 3u);
        EXPECT_EQ(lines[0], "Territory board:");
        EXPECT_EQ(lines[15], "White territory = 30  mobility = 80");
        EXPECT_EQ(lines[16], "Black territory = 30  mobility = 80");
        EXPECT_EQ(lines[17], "Total score = 0");
        EXPECT_EQ(lines[13], side ? "Side to play:  Black." : "Side to play:  White.");
    }
}

TEST(Evaluation, ScoreIsForTheSideToMove) {
    // White walled in with five squares, Black in a corner with none to spare.
    const std::vector<std::string> rows = {
        "W....x....", "xxxxxx....", "..........", "..........", "..........",
        "..........", "..........", "..........", "........xx", "........xB"};
    Evaluator e;
    const int white = e.evaluate(positionFromRows(rows, 0), false);
    const int raw = e.score;
    EXPECT_EQ(e.evaluate(positionFromRows(rows, 1), false), -white);
    EXPECT_EQ(white, raw);
    // White: the amazon and its 4 squares; Black: only the amazon. Mobility 4 against 0.
    EXPECT_EQ(white, 5 + (4 - 0) / 4 - 1);
}

TEST(Evaluation, MobilityDifferenceTruncatesTowardZero) {
    // Black's amazon reaches two squares, White's none: -2/4 is 0 (truncated), not -1.
    const std::vector<std::string> rows = {
        "Wx........", "xx........", "..........", "..........", "..........",
        "..........", "..........", "..........", "......xxxx", "......xB.."};
    Evaluator e;
    e.evaluate(positionFromRows(rows, 0), false);
    // White: 1 square, mobility 0. Black: amazon + 2 squares, mobility 2 (-2/4 = 0).
    EXPECT_EQ(e.score, 1 + 0 - 3);
}

TEST(Territory, SquaresReachedInTheSameWaveAreContestedAndBlock) {
    // White on A10 and Black on C10: B10 is reached by both in the first wave.
    const std::vector<std::string> rows = {
        "W.Bxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx",
        "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx"};
    Position w = positionFromRows(rows, 0);
    TerritoryCounter t;
    t.computeTerritory(w);
    EXPECT_EQ(w.cell(1), Contested);
    EXPECT_EQ(w.cell(0), WhiteTerritory);
    EXPECT_EQ(w.cell(2), BlackTerritory);
    EXPECT_EQ(t.whiteCount, 1);
    EXPECT_EQ(t.blackCount, 1);
}

TEST(Territory, ContestedSquareStopsLaterWaves) {
    // A corridor along rank 10: White on A10, Black on E10, open up to G10.
    const std::vector<std::string> rows = {
        "W...B..xxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx",
        "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx", "xxxxxxxxxx"};
    Position w = positionFromRows(rows, 0);
    TerritoryCounter t;
    t.computeTerritory(w);
    // First wave: White reaches B10..D10, Black reaches D10..B10 and F10, G10: all of B..D
    // are contested, so White keeps only its own square.
    for (Square s : {1, 2, 3}) EXPECT_EQ(w.cell(s), Contested) << s;
    EXPECT_EQ(w.cell(5), BlackTerritory);
    EXPECT_EQ(w.cell(6), BlackTerritory);
    EXPECT_EQ(t.whiteCount, 1);
    EXPECT_EQ(t.blackCount, 3);
}

TEST(Territory, WalledOffSquaresStayEmptyAndAmazonsCountWhenNothingIsLeft) {
    const std::vector<std::string> rows = {
        "Wx......xB", "xx......xx", "..........", "..........", "..........",
        "..........", "..........", "..........", "..........", ".........."};
    Position w = positionFromRows(rows, 0);
    TerritoryCounter t;
    t.computeTerritory(w);
    EXPECT_EQ(t.whiteCount, 1);
    EXPECT_EQ(t.blackCount, 1);
    for (Square s = 20; s < 100; ++s) EXPECT_EQ(w.cell(s), Empty) << s;
    Evaluator e;
    EXPECT_EQ(e.evaluate(positionFromRows(rows, 0), false), 0);
}

TEST(Evaluation, EveryHundredThousandthEvaluationIsReported) {
    testing::TraceCapture trace;
    Evaluator e;
    const Position p = start();
    g_nodeCount.store(99998);
    e.evaluate(p, false);
    EXPECT_EQ(trace.text(), "");
    e.evaluate(p, false);
    EXPECT_EQ(trace.text(), "nodes = 100000\n");
    trace.clear();
    // Past the range of 32 bits nothing wraps or turns negative.
    g_nodeCount.store(2'147'399'999);
    e.evaluate(Board::fromPosition(p));
    g_nodeCount.store(4'294'899'999);
    e.evaluate(Board::fromPosition(p));
    EXPECT_EQ(trace.text(), "nodes = 2147400000\nnodes = 4294900000\n");
    g_nodeCount.store(0);
}

}  // namespace
}  // namespace wintarvo
