// The main frame: menus, option values and check marks, the toolbar, the size and layout rules,
// the repeated steps, closing, and the frame's forwarding of announced moves.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include "support/trace_capture.h"
#include "support/ui_harness.h"
#include "ui/command_ids.h"
#include "ui/main_frame.h"
#include "ui/option_tables.h"

namespace wintarvo {
namespace {

using testing::FakeDesktop;
using testing::sq;
using testing::waitUntil;

class Frame : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(frame.createWindow());
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.window()));
    }
    void TearDown() override { frame.boardView().document().requestStop(); }

    QAction* action(int id) { return find(frame.window()->menuBar(), id); }
    static QAction* find(QWidget* menu, int id) {
        for (QAction* a : menu->actions()) {
            if (a->menu() != nullptr) {
                if (QAction* found = find(a->menu(), id)) return found;
            } else if (!a->isSeparator() && a->data().toInt() == id) {
                return a;
            }
        }
        return nullptr;
    }
    QLabel* label(int id) {
        return frame.clientArea()->findChild<QLabel*>(controlName(id), Qt::FindDirectChildrenOnly);
    }
    // Checked items of the menu among the identifiers.
    std::vector<int> checkedAmong(const std::vector<int>& ids) {
        std::vector<int> checked;
        for (int id : ids) {
            EXPECT_EQ(action(id)->isChecked(), frame.commandStates().isChecked(id)) << id;
            if (frame.commandStates().isChecked(id)) checked.push_back(id);
        }
        return checked;
    }
    void settle() { QTest::qWait(20); }

    testing::TraceCapture trace;
    FakeDesktop desktop;
    testing::RecordingBroadcast broadcast;
    MainFrame frame{desktop, broadcast};
};

std::vector<int> ids(const auto& options) {
    std::vector<int> v;
    for (const OptionItem& o : options)
        v.push_back(o.id);
    return v;
}

// The menu as lines: one indent per sub-menu, "-" for a separator, "text=id" for a command.
void describe(QWidget* menu, int depth, std::vector<std::string>& out) {
    for (QAction* a : menu->actions()) {
        const std::string indent(static_cast<std::size_t>(depth), ' ');
        if (a->isSeparator()) {
            out.push_back(indent + "-");
        } else if (a->menu() != nullptr) {
            out.push_back(indent + a->text().toStdString());
            describe(a->menu(), depth + 1, out);
        } else {
            out.push_back(indent + a->text().toStdString() + "=" +
                          std::to_string(a->data().toInt()));
        }
    }
}

TEST_F(Frame, MenuBarHasExactlyTheItemsInOrder) {
    std::vector<std::string> lines;
    describe(frame.window()->menuBar(), 0, lines);
    const std::vector<std::string> expected = {"File",
                                               " New Game=32775",
                                               " Set Board",
                                               "  Test Position 1=32801",
                                               "  Test Position 2=32802",
                                               "  Test Position 3=32805",
                                               " -",
                                               " Open Game...=32819",
                                               " Save Game...=32818",
                                               " -",
                                               " Exit=32772",
                                               "Action",
                                               " Play Move=32776",
                                               " Force Move=32788",
                                               " -",
                                               " Undo Move=32774",
                                               " Step",
                                               "  Go Back=32806",
                                               "  Go Forward=32807",
                                               "  Back to Start=32817",
                                               "  Forward to End=32815",
                                               "Options",
                                               " Time per Move",
                                               "  Unlimited Time=32789",
                                               "  -",
                                               "  1 second=32783",
                                               "  2 seconds=32797",
                                               "  3 seconds=32810",
                                               "  5 seconds=32784",
                                               "  10 seconds=32785",
                                               "  15 seconds=32798",
                                               "  20 seconds=32795",
                                               "  30 seconds=32787",
                                               "  1 minute=32786",
                                               "  2 minutes=32796",
                                               "  5 minutes=32794",
                                               " Max Search Depth",
                                               "  Unlimited Depth=32790",
                                               "  -",
                                               "  1 Ply (no search)=32780",
                                               "  2 Plies=32781",
                                               "  3 Plies=32782",
                                               "  4 Plies=32791",
                                               "  5 Plies=32793",
                                               "  6 Plies=32799",
                                               "  7 Plies=32803",
                                               "  8 Plies=32804",
                                               " -",
                                               " Auto Play=32809",
                                               " Sound=32808",
                                               " Show Territory=32813",
                                               " Interlinked Mode=32823",
                                               " Tournament Engine=32824",
                                               "Help",
                                               " About=57664"};
    EXPECT_EQ(lines, expected);
    // No item has a shortcut.
    for (QAction* a : frame.window()->findChildren<QAction*>())
        EXPECT_TRUE(a->shortcut().isEmpty());
}

TEST_F(Frame, StartsWithTheDefaultOptionsAndMatchingMarks) {
    const BoardView& view = frame.boardView();
    EXPECT_EQ(view.depthLimit, -1);
    EXPECT_EQ(view.timeLimit, 10);
    EXPECT_TRUE(view.autoPlay);
    EXPECT_TRUE(view.soundOn);
    EXPECT_FALSE(view.showTerritory);
    EXPECT_TRUE(view.interlinked);
    EXPECT_FALSE(view.tournamentEngine);
    EXPECT_EQ(checkedAmong(ids(DEPTH_OPTIONS)), std::vector<int>{ID_DEPTH_UNLIMITED});
    EXPECT_EQ(checkedAmong(ids(TIME_OPTIONS)), std::vector<int>{ID_TIME_10S});
    EXPECT_EQ(checkedAmong({ID_AUTO_PLAY, ID_SOUND, ID_SHOW_TERRITORY, ID_INTERLINKED,
                            ID_TOURNAMENT_ENGINE}),
              (std::vector<int>{ID_AUTO_PLAY, ID_SOUND, ID_INTERLINKED}));
    EXPECT_EQ(frame.commandStates().entries().size(), 26u);
}

TEST_F(Frame, EveryOptionItemChecksItselfAloneAndSetsItsValue) {
    for (const auto* group : {&TIME_OPTIONS[0], &DEPTH_OPTIONS[0]}) {
        const bool isTime = group == &TIME_OPTIONS[0];
        const std::vector<int> groupIds = isTime ? ids(TIME_OPTIONS) : ids(DEPTH_OPTIONS);
        const std::vector<int> otherIds = isTime ? ids(DEPTH_OPTIONS) : ids(TIME_OPTIONS);
        const std::vector<int> otherChecked = checkedAmong(otherIds);
        for (std::size_t i = 0; i < groupIds.size(); ++i) {
            const OptionItem& item = isTime ? TIME_OPTIONS[i] : DEPTH_OPTIONS[i];
            SCOPED_TRACE(item.text);
            // Chosen twice: a checkable menu item would uncheck itself the second time.
            action(item.id)->trigger();
            action(item.id)->trigger();
            EXPECT_EQ(checkedAmong(groupIds), std::vector<int>{item.id});
            EXPECT_EQ(isTime ? frame.boardView().timeLimit : frame.boardView().depthLimit,
                      item.value);
            EXPECT_EQ(checkedAmong(otherIds), otherChecked);
        }
    }
    action(ID_TIME_5MIN)->trigger();
    EXPECT_EQ(frame.boardView().timeLimit, 300);
    action(ID_TIME_UNLIMITED)->trigger();
    EXPECT_EQ(frame.boardView().timeLimit, -1);
    action(ID_DEPTH_UNLIMITED)->trigger();
    EXPECT_EQ(frame.boardView().depthLimit, -1);
}

TEST_F(Frame, TogglesFlipTheirOptionAndMark) {
    struct Toggle {
        int id;
        bool BoardView::*option;
    };
    for (const Toggle t :
         {Toggle{ID_AUTO_PLAY, &BoardView::autoPlay}, Toggle{ID_SOUND, &BoardView::soundOn},
          Toggle{ID_SHOW_TERRITORY, &BoardView::showTerritory},
          Toggle{ID_INTERLINKED, &BoardView::interlinked},
          Toggle{ID_TOURNAMENT_ENGINE, &BoardView::tournamentEngine}}) {
        SCOPED_TRACE(t.id);
        const bool initially = frame.boardView().*t.option;
        action(t.id)->trigger();
        EXPECT_EQ(frame.boardView().*t.option, !initially);
        EXPECT_EQ(frame.commandStates().isChecked(t.id), !initially);
        EXPECT_EQ(action(t.id)->isChecked(), !initially);
        frame.onCommand(t.id);
        EXPECT_EQ(frame.boardView().*t.option, initially);
        EXPECT_EQ(action(t.id)->isChecked(), initially);
    }
}

TEST_F(Frame, OpeningAMenuPutsTheTablesMarksOnIt) {
    QMenu* options = action(ID_AUTO_PLAY)->menu()
                         ? nullptr
                         : qobject_cast<QMenu*>(action(ID_AUTO_PLAY)->parent());
    ASSERT_NE(options, nullptr);
    for (int id : {ID_AUTO_PLAY, ID_SHOW_TERRITORY, ID_TIME_1S, ID_TIME_10S, ID_DEPTH_3})
        action(id)->setChecked(!frame.commandStates().isChecked(id));
    emit options->aboutToShow();
    for (int id : {ID_AUTO_PLAY, ID_SHOW_TERRITORY, ID_TIME_1S, ID_TIME_10S, ID_DEPTH_3})
        EXPECT_EQ(action(id)->isChecked(), frame.commandStates().isChecked(id)) << id;
}

TEST_F(Frame, ShowTerritoryRepaintsTheBoardAtOnce) {
    QWidget* board = frame.boardView().window();
    settle();
    const QColor before = board->grab().toImage().pixelColor(
        frame.boardView().squareSize() * 1 + frame.boardView().squareSize() / 2,
        frame.boardView().squareSize() / 2 * 3);
    action(ID_SHOW_TERRITORY)->trigger();
    const QColor after = board->grab().toImage().pixelColor(
        frame.boardView().squareSize() * 1 + frame.boardView().squareSize() / 2,
        frame.boardView().squareSize() / 2 * 3);
    EXPECT_NE(before, after);  // B9 is Black's at the start
}

TEST_F(Frame, ToolbarHasTheButtonsAndGapsInOrder) {
    QToolBar* bar = frame.toolBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->objectName(), "59392");
    std::vector<std::string> items;
    for (QAction* a : bar->actions()) {
        QWidget* w = bar->widgetForAction(a);
        ASSERT_NE(w, nullptr);
        if (auto* button = qobject_cast<QToolButton*>(w)) {
            items.push_back(std::to_string(a->data().toInt()));
            EXPECT_EQ(button->size(), QSize(23, 22));
            EXPECT_TRUE(button->toolTip().isEmpty());
            EXPECT_FALSE(a->isCheckable());
            EXPECT_TRUE(a->isEnabled());
            EXPECT_EQ(a->icon().availableSizes().value(0), QSize(16, 15));
        } else {
            items.push_back("gap " + std::to_string(w->width()));
        }
    }
    EXPECT_EQ(items, (std::vector<std::string>{"gap 4", "32819", "32818", "gap 8", "32817", "32774",
                                               "32806", "32807", "32815", "gap 8", "32813"}));
    // Above the board, which starts 31 pixels below the menu bar.
    EXPECT_LE(bar->height(), 31);
    EXPECT_GE(bar->height(), 22);
    EXPECT_EQ(bar->geometry().top(), 0);
    int used = 0;
    for (QAction* a : bar->actions())
        used = std::max(used, bar->widgetForAction(a)->geometry().right() + 1);
    EXPECT_LE(used, 240);
}

TEST_F(Frame, ToolbarButtonsSendTheirCommands) {
    QToolBar* bar = frame.toolBar();
    const auto button = [&](int id) {
        for (QAction* a : bar->actions())
            if (a->data().toInt() == id) return qobject_cast<QToolButton*>(bar->widgetForAction(a));
        return static_cast<QToolButton*>(nullptr);
    };
    QTest::mouseClick(button(ID_SHOW_TERRITORY), Qt::LeftButton);
    EXPECT_TRUE(frame.boardView().showTerritory);
    EXPECT_TRUE(action(ID_SHOW_TERRITORY)->isChecked());
    EXPECT_FALSE(button(ID_SHOW_TERRITORY)->isChecked());
    desktop.openAnswer.reset();
    QTest::mouseClick(button(ID_OPEN_GAME), Qt::LeftButton);
    EXPECT_EQ(desktop.openRequests, 1);
    QTest::mouseClick(button(ID_SAVE_GAME), Qt::LeftButton);
    EXPECT_EQ(desktop.saveRequests, 1);
    // Cancelled choosers do nothing at all.
    EXPECT_EQ(trace.text().find("Open: "), std::string::npos);
    EXPECT_EQ(trace.text().find("Save: "), std::string::npos);
}

TEST_F(Frame, StatusBarShowsOneText) {
    StatusLine* status = frame.statusLine();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->objectName(), "59393");
    EXPECT_EQ(status->text(), "Ply number 1");
    EXPECT_TRUE(status->isSizeGripEnabled());
    EXPECT_EQ(status->geometry().bottom() + 1, frame.clientArea()->height());
}

TEST_F(Frame, WindowIsTitledIconedSizedAndCentred) {
    QMainWindow* w = frame.window();
    EXPECT_EQ(w->windowTitle(), "WinTarvo 1.15");
    EXPECT_FALSE(w->windowIcon().isNull());
    EXPECT_EQ(w->size(), QSize(240, 320));
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(w->pos(),
              QPoint(work.left() + work.width() / 2 - 120, work.top() + work.height() / 2 - 160));
}

TEST(FrameSizeRule, RoundsDownToTheGridWithAMinimum) {
    struct Row {
        QSize proposed, result;
    };
    for (const Row r :
         {Row{{259, 339}, {240, 320}}, Row{{260, 340}, {260, 340}}, Row{{200, 200}, {240, 320}},
          Row{{639, 481}, {620, 480}}, Row{{0, 0}, {240, 320}}, Row{{241, 1000}, {240, 1000}}})
        EXPECT_EQ(frameSizeRule(r.proposed), r.result)
            << r.proposed.width() << "x" << r.proposed.height();
}

TEST(BoardSizeRule, FollowsTheSmallerSideInStepsOfTen) {
    struct Row {
        int w, h, t, s;
        BoardRect board;
    };
    const Row rows[] = {
        {300, 400, 28, 20, {23, 31, 293, 301}},  // A = 352, m = 300, 273 -> 270
        {600, 300, 28, 20, {23, 31, 243, 251}},  // wide and low: A = 252 -> 225 -> 220
        {250, 600, 28, 20, {23, 31, 243, 251}},  // narrow and tall: 250 -> 223 -> 220
        {40, 60, 28, 20, {23, 31, 33, 41}},      // never below 10
        {240, 296, 28, 21, {23, 31, 233, 241}},  // the window at its start-up size
    };
    for (const Row& r : rows) {
        const BoardRect b = boardSizeRule(r.w, r.h, r.t, r.s);
        EXPECT_EQ(b, r.board) << r.w << "x" << r.h << " -> " << b.right << "," << b.bottom;
        EXPECT_EQ((b.right - b.left) % 10, 0);
    }
}

TEST_F(Frame, ResizingKeepsTheGridAndLaysOutBoardAndLabels) {
    struct Row {
        QSize asked, got;
    };
    for (const Row r :
         {Row{{259, 339}, {240, 320}}, Row{{260, 340}, {260, 340}}, Row{{200, 200}, {240, 320}},
          Row{{517, 433}, {500, 420}}, Row{{300, 700}, {300, 700}}}) {
        SCOPED_TRACE(std::to_string(r.asked.width()) + "x" + std::to_string(r.asked.height()));
        frame.window()->resize(r.asked);
        settle();
        EXPECT_EQ(frame.window()->size(), r.got);
        const QWidget* client = frame.clientArea();
        const int t = frame.toolBar()->height();
        const int s = frame.statusLine()->height();
        EXPECT_EQ(frame.boardRect(), boardSizeRule(client->width(), client->height(), t, s));
        const BoardRect b = frame.boardRect();
        EXPECT_EQ(frame.boardView().window()->geometry(),
                  QRect(b.left, b.top, b.right - b.left, b.bottom - b.top));
        EXPECT_EQ(frame.boardView().squareSize(), (b.right - b.left) / 10);
        // The board lies between the bars.
        EXPECT_GE(b.top, t);
        EXPECT_LE(b.bottom + 18, client->height() - s);
        const int q = (b.bottom - b.top) / 10;
        for (int k = 0; k < 10; ++k) {
            // "1" at the bottom row, 20 pixels left of the board, centred on its row.
            QLabel* row = label(ID_ROW_LABEL_1 - k);
            EXPECT_EQ(row->text().toStdString(), std::to_string(k + 1));
            EXPECT_EQ(row->pos(), QPoint(b.left - 20, b.bottom - 6 - q / 2 - k * q));
            // "A" at the left, 5 pixels below the board.
            const int columnIds[] = {1011, 1012, 1000, 1013, 1014, 1015, 1016, 1017, 1018, 1019};
            QLabel* column = label(columnIds[k]);
            EXPECT_EQ(column->text(), QString(QChar('A' + k)));
            EXPECT_EQ(column->pos(), QPoint(b.left + q / 2 - 3 + k * q, b.bottom + 5));
        }
    }
}

TEST_F(Frame, BackToStartTakesOneStepPerPostedCommand) {
    // Counts the step commands the frame handles: the first from the menu, the rest posted.
    // The frame sees every event first through the application, so the count comes from a
    // filter installed there after it.
    struct Counter : QObject {
        int posted = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            posted += e->type() == FrameCommandEvent::eventType();
            return false;
        }
    } counter;
    qApp->installEventFilter(&counter);
    BoardView& view = frame.boardView();
    view.autoPlay = false;
    view.depthLimit = 1;
    for (int i = 0; i < 7; ++i) {
        view.onPlayMove();
        ASSERT_TRUE(waitUntil([&] { return !view.thinking(); }));
    }
    ASSERT_EQ(view.movesPlayed().size(), 7u);
    action(ID_BACK_TO_START)->trigger();
    EXPECT_EQ(view.movesPlayed().size(), 6u);  // the other steps wait in the queue
    ASSERT_TRUE(waitUntil([&] { return counter.posted == 7; }, 10000));
    settle();
    EXPECT_EQ(1 + counter.posted, 8);
    EXPECT_TRUE(view.movesPlayed().empty());
    EXPECT_EQ(view.movesUndone().size(), 7u);

    counter.posted = 0;
    action(ID_FORWARD_TO_END)->trigger();
    ASSERT_TRUE(waitUntil([&] { return counter.posted == 7; }, 10000));
    settle();
    EXPECT_EQ(1 + counter.posted, 8);
    EXPECT_EQ(view.movesPlayed().size(), 7u);

    // While the engine thinks the first step fails, with a beep, and nothing is posted.
    counter.posted = 0;
    view.depthLimit = -1;
    view.onPlayMove();
    ASSERT_TRUE(view.thinking());
    const int beeps = desktop.beeps;
    action(ID_BACK_TO_START)->trigger();
    settle();
    EXPECT_EQ(counter.posted, 0);
    EXPECT_EQ(desktop.beeps, beeps + 1);
    view.onForceMove();
    ASSERT_TRUE(waitUntil([&] { return !view.thinking(); }));
    qApp->removeEventFilter(&counter);
}

TEST_F(Frame, EscapeClosesAtOnceAndEnterDoesNothing) {
    QTest::keyClick(frame.window(), Qt::Key_Return);
    QTest::keyClick(frame.boardView().window(), Qt::Key_Enter);
    settle();
    EXPECT_TRUE(frame.window()->isVisible());
    ASSERT_NE(frame.boardView().window(), nullptr);
    EXPECT_EQ(desktop.messages.size(), 0u);

    QTest::keyClick(frame.boardView().window(), Qt::Key_Escape);
    // Gone at once, without a question; the board view object and its game stay.
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(frame.boardView().window(), nullptr);
    EXPECT_EQ(frame.boardView().document().hasNoLegalMove(), false);
    settle();
    EXPECT_EQ(frame.window(), nullptr);
}

TEST_F(Frame, EscapeOnTheWindowItselfCloses) {
    QTest::keyClick(frame.window(), Qt::Key_Escape);
    EXPECT_EQ(frame.boardView().window(), nullptr);
}

TEST_F(Frame, TheCloseButtonClosesLikeEscape) {
    frame.window()->close();
    EXPECT_EQ(frame.boardView().window(), nullptr);
    settle();
    EXPECT_EQ(frame.window(), nullptr);
}

TEST_F(Frame, AboutOpensThroughTheDesktopForTheActiveWindow) {
    QApplication::setActiveWindow(frame.window());
    action(ID_ABOUT)->trigger();
    EXPECT_EQ(desktop.aboutRequests, 1);
    EXPECT_EQ(desktop.aboutOwner, QApplication::activeWindow());
}

TEST_F(Frame, ThePointerOffTheBoardRemovesTheHighlight) {
    BoardView& view = frame.boardView();
    QTest::mouseMove(view.window(), QPoint(5, 5));
    settle();
    EXPECT_EQ(view.hoverColumn(), 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view.window(), &leave);
    EXPECT_EQ(view.hoverColumn(), -1);
    EXPECT_EQ(view.hoverRow(), -1);
    QTest::mouseMove(view.window(), QPoint(7, 7));
    settle();
    EXPECT_EQ(view.hoverColumn(), 0);
    QTest::mouseMove(frame.clientArea(), QPoint(3, frame.clientArea()->height() / 2));
    settle();
    EXPECT_EQ(view.hoverColumn(), -1);
}

// Two frames in one process, both interlinked with Auto Play: Play Move in one makes them play
// a whole game against each other through the frames' forwarding of announced moves.
TEST(InterlinkedFrames, TwoFramesPlayAWholeGame) {
    testing::TraceCapture trace;
    FakeDesktop desktopA, desktopB;
    InProcessBroadcast broadcast;
    MainFrame a(desktopA, broadcast), b(desktopB, broadcast);
    ASSERT_TRUE(a.createWindow());
    ASSERT_TRUE(b.createWindow());
    for (MainFrame* f : {&a, &b})
        f->onCommand(ID_DEPTH_1);
    a.onCommand(ID_PLAY_MOVE);
    ASSERT_TRUE(waitUntil([&] {
        return a.boardView().document().hasNoLegalMove() &&
               b.boardView().document().hasNoLegalMove() && !a.boardView().thinking() &&
               !b.boardView().thinking();
    }));
    QTest::qWait(50);
    EXPECT_EQ(a.boardView().movesPlayed(), b.boardView().movesPlayed());
    EXPECT_GT(a.boardView().movesPlayed().size(), 20u);
    EXPECT_FALSE(a.boardView().shownPosition().differs(b.boardView().shownPosition()));
    // Both announce the end of the game, the one whose move ended it and the other one.
    EXPECT_EQ(desktopA.messages.size(), 1u);
    EXPECT_EQ(desktopB.messages.size(), 1u);
}

}  // namespace
}  // namespace wintarvo
