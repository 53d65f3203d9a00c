// The run step: the window shown, the event loop, and the order of the end. Each test runs
// the real event loop and closes the window from inside it.
#include <gtest/gtest.h>

#include <csignal>

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "support/trace_capture.h"
#include "support/ui_harness.h"
#include "ui/app_shell.h"
#include "ui/command_ids.h"
#include "ui/main_frame.h"
#include "ui/signal_watcher.h"

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

// A signal closes the program as Exit does, also while a modal window runs its own loop (the
// About box here): that loop ends, then the program's.
TEST(Shell, ASignalClosesTheProgramAlsoFromAModalLoop) {
    testing::FakeDesktop desktop;
    InProcessBroadcast broadcast;
    SignalWatcher watcher;
    ASSERT_TRUE(watcher.watching());
    bool modalEnded = false;
    desktop.onAbout = [&] {
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        QEventLoop modal;
        modal.exec();
        modalEnded = true;
    };
    const int code = runMainFrame(desktop, broadcast, [&](MainFrame& frame) {
        endAfterAMinute(frame);
        watcher.setCloseAction([&frame] { frame.onCommand(ID_EXIT); });
        QTimer::singleShot(0, frame.window(), [&frame] { frame.onCommand(ID_ABOUT); });
    });
    EXPECT_TRUE(modalEnded);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(watcher.closingSignal(), SIGTERM);
    EXPECT_EQ(watcher.exitStatus(code), 0);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
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
