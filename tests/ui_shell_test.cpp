// The run step: the window shown, the event loop, and the order of the end. Each test runs
// the real event loop and closes the window from inside it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "support/trace_capture.h"
#include "support/ui_harness.h"
#include "ui/app_shell.h"
#include "ui/command_ids.h"
#include "ui/main_frame.h"

namespace wintarvo {
namespace {

// Should closing fail, the loop still ends, with 1, so the test fails instead of hanging.
void endAfterAMinute(MainFrame& frame) {
    QTimer::singleShot(60000, frame.window(), [] { QCoreApplication::exit(1); });
}

TEST(Shell, EscapeEndsTheProgramWithZero) {
    testing::FakeDesktop desktop;
    InProcessBroadcast broadcast;
    bool shown = false;
    const int code = runMainFrame(desktop, broadcast, [&](MainFrame& frame) {
        endAfterAMinute(frame);
        shown = frame.window()->isVisible();
        QWidget* board = frame.boardView().window();
        QTimer::singleShot(0, board, [board] { QTest::keyClick(board, Qt::Key_Escape); });
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST(Shell, ExitFromTheMenuEndsWithZero) {
    testing::FakeDesktop desktop;
    InProcessBroadcast broadcast;
    const int code = runMainFrame(desktop, broadcast, [&](MainFrame& frame) {
        endAfterAMinute(frame);
        QTimer::singleShot(0, frame.window(), [&frame] { frame.onCommand(ID_EXIT); });
    });
    EXPECT_EQ(code, 0);
}

// Closing while the engine searches without limits: the board view's window is gone before
// the loop ends, and only then is the game document destroyed, which stops the search; its
// answer finds no window to go to.
TEST(Shell, ClosingDuringASearchEndsInOrder) {
    testing::TraceCapture trace;
    testing::FakeDesktop desktop;
    InProcessBroadcast broadcast;
    bool windowGoneBeforeLoopEnded = false;
    const int code = runMainFrame(desktop, broadcast, [&](MainFrame& frame) {
        endAfterAMinute(frame);
        frame.onCommand(ID_TIME_UNLIMITED);
        frame.onCommand(ID_DEPTH_UNLIMITED);
        frame.onCommand(ID_PLAY_MOVE);
        EXPECT_TRUE(frame.boardView().thinking());
        QTimer::singleShot(100, frame.window(), [&frame, &windowGoneBeforeLoopEnded] {
            QTest::keyClick(frame.window(), Qt::Key_Escape);
            windowGoneBeforeLoopEnded =
                frame.boardView().window() == nullptr && frame.boardView().thinking();
        });
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(windowGoneBeforeLoopEnded);
    EXPECT_NE(trace.text().find("Window closed - move could not be posted.\n"), std::string::npos);
}

}  // namespace
}  // namespace wintarvo
