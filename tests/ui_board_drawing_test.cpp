// What the board view draws, checked pixel by pixel on grabbed images with squares of 30
// pixels: square colours and the pointer highlight, discs and their outlines, arrows, the three
// kinds of marker with their sizes, and the territory tint.
#include <gtest/gtest.h>

#include <QTest>

#include "model/move_generation.h"
#include "model/territory.h"
#include "support/trace_capture.h"
#include "support/ui_harness.h"
#include "ui/board_colours.h"

namespace wintarvo {
namespace {

using testing::sq;
using testing::ViewHarness;

constexpr int S = 30;

QPoint origin(const char* square) {
    const Square s = sq(square);
    return {squareColumn(s) * S, squareRow(s) * S};
}

QColor pixel(const QImage& image, const char* square, int dx, int dy) {
    const QPoint o = origin(square);
    return image.pixelColor(o.x() + dx, o.y() + dy);
}

QColor plain(const char* square) {
    const Square s = sq(square);
    return squareColour(squareRow(s), squareColumn(s), false);
}

// The columns dx (0..S-1) on row dy of a square that have the colour.
std::vector<int> columnsOf(const QImage& image, const char* square, int dy, const QColor& colour) {
    std::vector<int> columns;
    for (int dx = 0; dx < S; ++dx)
        if (pixel(image, square, dx, dy) == colour) columns.push_back(dx);
    return columns;
}

std::vector<int> range(int first, int last) {
    std::vector<int> r;
    for (int i = first; i <= last; ++i)
        r.push_back(i);
    return r;
}

TEST(TerritoryColours, AreDerivedFromTheSquareColour) {
    struct Row {
        QColor square, white, black;
    };
    const Row rows[] = {
        {colours::LIGHT_SQUARE, {0, 42, 191}, {191, 42, 0}},
        {colours::LIGHT_SQUARE_HOVER, {4, 46, 195}, {195, 46, 4}},
        {colours::DARK_SQUARE, {48, 48, 239}, {239, 48, 48}},
        {colours::DARK_SQUARE_HOVER, {52, 52, 243}, {243, 52, 52}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(whiteTerritoryColour(row.square), row.white) << row.square.name().toStdString();
        EXPECT_EQ(blackTerritoryColour(row.square), row.black) << row.square.name().toStdString();
    }
}

class BoardDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        h.view.autoPlay = false;
        h.view.onNewGame();
        ASSERT_EQ(h.view.squareSize(), S);
    }
    testing::TraceCapture trace;
    ViewHarness h;
};

TEST_F(BoardDrawing, SquaresAlternateGreenAndGreyFromAGreenTopLeft) {
    const QImage image = h.grab();
    ASSERT_EQ(image.size(), QSize(10 * S, 10 * S));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 168, 0));          // A10
    EXPECT_EQ(image.pixelColor(0, 9 * S), QColor(192, 192, 192));  // A1
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            for (const QPoint corner :
                 {QPoint(0, 0), QPoint(S - 1, 0), QPoint(0, S - 1), QPoint(S - 1, S - 1)})
                ASSERT_EQ(image.pixelColor(c * S + corner.x(), r * S + corner.y()),
                          (r + c) % 2 == 0 ? colours::LIGHT_SQUARE : colours::DARK_SQUARE)
                    << r << " " << c;
}

TEST_F(BoardDrawing, DiscsFillTheSquareLessOnePixelWithTheirOutlineColour) {
    const QImage image = h.grab();
    struct Disc {
        const char* square;
        QColor fill, outline;
    };
    const QColor blue(64, 64, 192), red(192, 64, 64);
    for (const Disc& d :
         {Disc{"A4", Qt::white, blue}, Disc{"D1", Qt::white, blue}, Disc{"G1", Qt::white, blue},
          Disc{"J4", Qt::white, blue}, Disc{"A7", Qt::black, red}, Disc{"D10", Qt::black, red},
          Disc{"G10", Qt::black, red}, Disc{"J7", Qt::black, red}}) {
        SCOPED_TRACE(d.square);
        EXPECT_EQ(pixel(image, d.square, 15, 15), d.fill);
        // The outline runs from pixel 1 to pixel S - 2 across and down: a 28-pixel disc with
        // a one-pixel border of the square's colour.
        for (const QPoint p : {QPoint(1, 14), QPoint(28, 14), QPoint(14, 1), QPoint(14, 28),
                               QPoint(1, 15), QPoint(28, 15), QPoint(15, 1), QPoint(15, 28)})
            EXPECT_EQ(pixel(image, d.square, p.x(), p.y()), d.outline) << p.x() << "," << p.y();
        for (const QPoint p : {QPoint(0, 14), QPoint(29, 14), QPoint(14, 0), QPoint(14, 29),
                               QPoint(2, 2), QPoint(27, 27)})
            EXPECT_EQ(pixel(image, d.square, p.x(), p.y()), plain(d.square))
                << p.x() << "," << p.y();
        EXPECT_EQ(pixel(image, d.square, 2, 14), d.fill);
        EXPECT_EQ(pixel(image, d.square, 27, 15), d.fill);
    }
    // No markers anywhere at the start.
    for (const char* empty : {"E5", "A1", "J10", "B4"})
        EXPECT_EQ(pixel(image, empty, 15, 15), plain(empty)) << empty;
}

TEST_F(BoardDrawing, AnArrowIsANavySquareOf28PixelsAndTheLastMoveCarriesFourPixelMarkers) {
    h.enter("A4", "A5", "A6");
    const QImage image = h.grab();
    const QColor navy(0, 0, 128), cyan(0, 255, 255);
    // The arrow on A6, outside its marker.
    EXPECT_EQ(columnsOf(image, "A6", 3, navy), range(1, 28));
    EXPECT_EQ(pixel(image, "A6", 15, 0), plain("A6"));
    EXPECT_EQ(pixel(image, "A6", 15, 29), plain("A6"));
    EXPECT_EQ(pixel(image, "A6", 15, 1), navy);
    EXPECT_EQ(pixel(image, "A6", 15, 28), navy);
    // S div 8 = 3 and S - 3 is odd, so each marker is 4 pixels wide, 13..16, on every square of
    // the move: the empty one it left, the amazon's and the arrow's.
    for (const char* square : {"A4", "A5", "A6"}) {
        SCOPED_TRACE(square);
        EXPECT_EQ(columnsOf(image, square, 13, cyan), range(13, 16));
        EXPECT_EQ(columnsOf(image, square, 16, cyan), range(13, 16));
        EXPECT_TRUE(columnsOf(image, square, 12, cyan).empty());
        EXPECT_TRUE(columnsOf(image, square, 17, cyan).empty());
    }
    EXPECT_EQ(pixel(image, "A5", 10, 15), QColor(Qt::white));
    // Stepping back clears the document's last move: no markers.
    h.view.onStepBack();
    const QImage after = h.grab();
    EXPECT_EQ(pixel(after, "A4", 15, 15), QColor(Qt::white));
    EXPECT_EQ(pixel(after, "A5", 15, 15), plain("A5"));
}

TEST_F(BoardDrawing, APickedAmazonShowsWhereItCanGo) {
    h.click("A4");
    const QImage image = h.grab();
    const QColor lightBlue(64, 192, 255);
    SquareList reachable;
    destinations(h.view.shownPosition(), sq("A4"), reachable);
    ASSERT_GT(reachable.count, 0);
    for (int k = 0; k < reachable.count; ++k) {
        const std::string name = squareText(reachable[k]);
        EXPECT_EQ(columnsOf(image, name.c_str(), 14, lightBlue), range(13, 16)) << name;
    }
    // Not reachable: no marker; the picked amazon itself is not highlighted.
    EXPECT_EQ(pixel(image, "B2", 15, 15), plain("B2"));
    EXPECT_EQ(pixel(image, "A4", 15, 15), QColor(Qt::white));
}

TEST_F(BoardDrawing, WithADestinationTheAmazonStandsThereAndTheArrowTargetsAreMarked) {
    h.click("A4");
    h.click("A5");
    const QImage image = h.grab();
    const QColor orange(255, 128, 0);
    EXPECT_EQ(pixel(image, "A5", 8, 15), QColor(Qt::white));
    EXPECT_EQ(pixel(image, "A4", 8, 15), plain("A4"));
    // The square the amazon left is a target like the squares beyond it.
    for (const char* target : {"A4", "A3", "A1", "A6", "B6", "E9", "E5", "J5", "B4", "E1"})
        EXPECT_EQ(columnsOf(image, target, 15, orange), range(13, 16)) << target;
    for (const char* other : {"B2", "C2", "J10"})
        EXPECT_EQ(pixel(image, other, 15, 15), plain(other)) << other;
}

TEST_F(BoardDrawing, TerritoryIsTintedWith14PixelSquaresOfTheDerivedColour) {
    h.view.showTerritory = true;
    const QImage image = h.grab();
    Position marked = h.view.shownPosition();
    TerritoryCounter counter;
    counter.computeTerritory(marked);
    int tinted = 0;
    for (Square s = 0; s < BOARD_SQUARES; ++s) {
        if (h.view.shownPosition().cell(s) != Empty) continue;
        const std::string name = squareText(s);
        const QColor square = plain(name.c_str());
        const CellCode owner = marked.cell(s);
        SCOPED_TRACE(name);
        if (owner == WhiteTerritory || owner == BlackTerritory) {
            const QColor tint = owner == WhiteTerritory ? whiteTerritoryColour(square)
                                                        : blackTerritoryColour(square);
            // k = S div 2 - 1 = 14, S - k even: pixels 8..21.
            EXPECT_EQ(columnsOf(image, name.c_str(), 8, tint), range(8, 21));
            EXPECT_EQ(columnsOf(image, name.c_str(), 21, tint), range(8, 21));
            EXPECT_EQ(pixel(image, name.c_str(), 15, 7), square);
            EXPECT_EQ(pixel(image, name.c_str(), 15, 22), square);
            ++tinted;
        } else {
            EXPECT_EQ(pixel(image, name.c_str(), 15, 15), square);
        }
    }
    EXPECT_GE(tinted, 40);
    // From the position's own fill: A2 is White's (green), B2 White's (grey), B9 Black's.
    EXPECT_EQ(pixel(image, "A2", 15, 15), QColor(0, 42, 191));
    EXPECT_EQ(pixel(image, "B2", 15, 15), QColor(48, 48, 239));
    EXPECT_EQ(pixel(image, "B9", 15, 15), QColor(191, 42, 0));
    // Under the pointer, the tint follows the lighter square.
    h.view.setHover(1, 1);  // B9
    EXPECT_EQ(pixel(h.grab(), "B9", 15, 15), QColor(195, 46, 4));
    EXPECT_EQ(pixel(h.grab(), "B9", 2, 2), QColor(16, 184, 16));
}

TEST_F(BoardDrawing, TerritoryWithADestinationCountsTheAmazonAsMoved) {
    h.click("A4");
    h.click("A5");
    h.view.showTerritory = true;
    const QImage image = h.grab();
    Position moved = h.view.shownPosition();
    moved.setCell(sq("A5"), WhiteAmazon);
    moved.setCell(sq("A4"), Empty);
    Position marked = moved;
    TerritoryCounter counter;
    counter.computeTerritory(marked);
    int tinted = 0;
    for (Square s = 0; s < BOARD_SQUARES; ++s) {
        if (moved.cell(s) != Empty) continue;
        const std::string name = squareText(s);
        const QColor square = plain(name.c_str());
        QColor expected = square;
        if (marked.cell(s) == WhiteTerritory) expected = whiteTerritoryColour(square);
        if (marked.cell(s) == BlackTerritory) expected = blackTerritoryColour(square);
        tinted += expected != square;
        // Inside the tint, clear of the 4-pixel arrow-target markers.
        EXPECT_EQ(pixel(image, name.c_str(), 9, 9), expected) << name;
    }
    EXPECT_GE(tinted, 40);
}

TEST_F(BoardDrawing, TheEnginesMoveIsMarkedOnItsThreeSquares) {
    h.view.onPlayMove();
    ASSERT_TRUE(h.waitForAnswer());
    const Move move = h.view.movesPlayed().at(0);
    const QImage image = h.grab();
    for (Square s : {move.from, move.to, move.arrow}) {
        const std::string name = squareText(s);
        EXPECT_EQ(pixel(image, name.c_str(), 14, 14), QColor(0, 255, 255)) << name;
    }
}

// Counts the paints of a widget.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(BoardDrawing, ThePointerRepaintsOnlyWhenItChangesSquare) {
    // Grabbing paints too, so the images are taken after the counting.
    PaintCounter counter(h.window());
    QTest::mouseMove(h.window(), QPoint(5, 5));  // A10
    QTest::qWait(30);
    EXPECT_EQ(h.view.hoverColumn(), 0);
    EXPECT_EQ(h.view.hoverRow(), 0);
    const int afterEntering = counter.paints;
    EXPECT_GE(afterEntering, 1);
    for (const QPoint within : {QPoint(20, 7), QPoint(29, 29), QPoint(0, 12)}) {
        QTest::mouseMove(h.window(), within);
        QTest::qWait(30);
    }
    EXPECT_EQ(counter.paints, afterEntering);
    QTest::mouseMove(h.window(), QPoint(35, 5));  // B10
    QTest::qWait(30);
    EXPECT_EQ(counter.paints, afterEntering + 1);
    const QImage onB10 = h.grab();
    EXPECT_EQ(pixel(onB10, "B10", 15, 15), QColor(208, 208, 208));
    EXPECT_EQ(pixel(onB10, "A10", 15, 15), QColor(0, 168, 0));
    QTest::mouseMove(h.window(), QPoint(5, 5));
    QTest::qWait(30);
    EXPECT_EQ(pixel(h.grab(), "A10", 15, 15), QColor(16, 184, 16));

    // Off the board: no square is highlighted, and saying so twice repaints once.
    const int before = counter.paints;
    h.view.setHover(-1, -1);
    QTest::qWait(30);
    h.view.setHover(-1, -1);
    QTest::qWait(30);
    EXPECT_EQ(counter.paints, before + 1);
    EXPECT_EQ(pixel(h.grab(), "A10", 15, 15), QColor(0, 168, 0));
}

TEST_F(BoardDrawing, MarkersAndDiscsScaleWithTheSquare) {
    // At S = 21: markers 21 div 8 = 2 wide plus one for the odd difference, arrows 19.
    ViewHarness small(210);
    small.view.autoPlay = false;
    small.view.onNewGame();
    ASSERT_EQ(small.view.squareSize(), 21);
    small.enter("A4", "A5", "A6");
    const QImage image = small.grab();
    const auto row = [&](int x0, int y, const QColor& colour) {
        std::vector<int> xs;
        for (int dx = 0; dx < 21; ++dx)
            if (image.pixelColor(x0 + dx, y) == colour) xs.push_back(dx);
        return xs;
    };
    EXPECT_EQ(row(0, 4 * 21 + 2, QColor(0, 0, 128)), range(1, 19));                  // A6
    EXPECT_EQ(row(0, 6 * 21 + 9, QColor(0, 255, 255)), range(9, 11));                // A4, 3 wide
    EXPECT_EQ(row(0, 5 * 21 + 10, QColor(64, 64, 192)), (std::vector<int>{1, 19}));  // A5
}

}  // namespace
}  // namespace wintarvo
