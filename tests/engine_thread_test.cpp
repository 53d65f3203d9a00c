#include <gtest/gtest.h>

#include <dirent.h>
#include <chrono>
#include <memory>

#include "engine/engine_thread.h"
#include "engine/game_document.h"
#include "model/move_generation.h"
#include "model/position_diagram.h"
#include "search/stop_flag.h"
#include "support/fake_window.h"
#include "support/search_run.h"
#include "support/thread_start_failure.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

using Clock = std::chrono::steady_clock;

int threadCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

Position start() {
    Position p;
    p.setStartPosition();
    return p;
}

// Black to move with its only amazon shut in on A10.
Position blackHasLost() {
    return positionFromRows({"Bx........", "xx........", "..........", "..........", "..........",
                             "..........", "..........", "..........", "..........", ".........W"},
                            1);
}

class EngineService : public ::testing::Test {
  protected:
    void SetUp() override { setStopRequested(false); }
    void TearDown() override { setStopRequested(false); }
    testing::TraceCapture trace;  // keeps the searches' trace off the test output
};

TEST_F(EngineService, StartsOnceAndStaysRunning) {
    EngineThread engine;
    EXPECT_FALSE(engine.isRunning());
    EXPECT_TRUE(engine.start());
    EXPECT_TRUE(engine.isRunning());
    EXPECT_FALSE(engine.start());
    EXPECT_TRUE(engine.isRunning());
}

TEST_F(EngineService, TwoThinksQueuedBeforeTheThreadWakesBothComplete) {
    auto window = std::make_shared<testing::FakeWindow>();
    EngineThread engine;
    engine.setNotify(window, WM_ENGINE_MOVE);
    engine.setPosition(start());
    engine.setLimits(1, -1);
    engine.post(CMD_THINK);
    engine.post(CMD_THINK);
    ASSERT_TRUE(engine.start());
    ASSERT_TRUE(window->waitForPosts(2));
    for (const auto& post : window->posts()) {
        EXPECT_EQ(post.message, WM_ENGINE_MOVE);
        EXPECT_EQ(post.wParam, reinterpret_cast<std::uintptr_t>(&engine));
        EXPECT_EQ(post.lParam, 1);
    }
    Move m;
    engine.getResultMove(m);
    EXPECT_TRUE(isLegalMove(start(), m));
    std::string status;
    engine.getStatusText(status);
    EXPECT_EQ(status.rfind("Depth = 1  Score = ", 0), 0u);
}

TEST_F(EngineService, AThinkWithoutAMovePostsZeroAndNeverTheOldAnswer) {
    auto window = std::make_shared<testing::FakeWindow>();
    EngineThread engine;
    engine.setNotify(window, WM_ENGINE_MOVE);
    engine.setLimits(1, -1);
    engine.setPosition(start());
    engine.start();
    engine.post(CMD_THINK);
    ASSERT_TRUE(window->waitForPosts(1));
    Move m;
    engine.getResultMove(m);
    ASSERT_TRUE(m.isValid());

    engine.setPosition(blackHasLost());
    engine.post(CMD_THINK);
    ASSERT_TRUE(window->waitForPosts(2));
    EXPECT_EQ(window->posts()[1].lParam, 0);
    engine.getResultMove(m);
    EXPECT_EQ(m, Move::null());
}

TEST_F(EngineService, AClosedWindowGetsNothingAndTheTraceSaysSo) {
    auto window = std::make_shared<testing::FakeWindow>();
    window->close();
    {
        EngineThread engine;
        engine.setNotify(window, WM_ENGINE_MOVE);
        engine.setLimits(1, -1);
        engine.setPosition(start());
        engine.post(CMD_THINK);
        engine.start();
    }  // the destructor waits for the think to finish
    EXPECT_TRUE(window->posts().empty());
    EXPECT_NE(trace.text().find("\nWindow closed - move could not be posted.\n"),
              std::string::npos);
}

TEST_F(EngineService, DestroyingDuringAnUnlimitedSearchEndsPromptly) {
    auto window = std::make_shared<testing::FakeWindow>();
    Clock::time_point destroyed;
    {
        EngineThread engine;
        engine.setNotify(window, WM_ENGINE_MOVE);
        engine.setLimits(-1, -1);
        engine.setPosition(start());
        engine.start();
        engine.post(CMD_THINK);
        // Let the search get going (its third iteration takes a good while).
        while (trace.text().find("Depth = 3\nFirst") == std::string::npos)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        destroyed = Clock::now();
    }
    EXPECT_LT(Clock::now() - destroyed, std::chrono::milliseconds(2500));
    ASSERT_EQ(window->posts().size(), 1u);  // the stopped search still answered
    EXPECT_EQ(window->posts()[0].lParam, 1);
}

TEST_F(EngineService, DestroyingWithThinksQueuedAheadOfTheQuitEndsPromptly) {
    auto window = std::make_shared<testing::FakeWindow>();
    Clock::time_point destroyed;
    {
        EngineThread engine;
        engine.setNotify(window, WM_ENGINE_MOVE);
        engine.setLimits(-1, -1);
        engine.setPosition(start());
        engine.post(CMD_THINK);
        engine.post(CMD_THINK);
        engine.post(CMD_THINK);
        engine.start();
        destroyed = Clock::now();
    }
    EXPECT_LT(Clock::now() - destroyed, std::chrono::milliseconds(2500));
    EXPECT_EQ(window->posts().size(), 3u);  // each queued think still ran, stopped at once
}

TEST_F(EngineService, DestroyingAServiceThatNeverStartedNeitherWaitsNorPosts) {
    auto window = std::make_shared<testing::FakeWindow>();
    const int before = threadCount();
    {
        EngineThread engine;
        engine.setNotify(window, WM_ENGINE_MOVE);
        engine.post(CMD_THINK);
    }
    EXPECT_EQ(threadCount(), before);
    EXPECT_TRUE(window->posts().empty());
}

class Document : public EngineService {};

TEST_F(Document, StartsInTheStartingPosition) {
    GameDocument doc;
    Position p;
    doc.getPosition(p);
    EXPECT_FALSE(p.differs(start()));
    Move m{1, 2, 3};
    doc.getLastMove(m);
    EXPECT_EQ(m, Move::null());
    std::string status = "x";
    doc.getStatusText(status);
    EXPECT_EQ(status, "");
    EXPECT_EQ(doc.depthLimit, 0);
    EXPECT_EQ(doc.timeLimit, 0);
}

TEST_F(Document, PlaysLegalMovesOnly) {
    GameDocument doc;
    const Move m{60, 50, 40};
    EXPECT_TRUE(doc.playMove(m));
    Position p;
    doc.getPosition(p);
    EXPECT_EQ(p.sideToMove, 1);
    Move last;
    doc.getLastMove(last);
    EXPECT_EQ(last, m);
    EXPECT_FALSE(doc.playMove(m));
    EXPECT_FALSE(doc.playMove(Move{}));
    doc.getPosition(p);
    EXPECT_EQ(p.arrowCount(), 1);
    doc.setPosition(start());
    doc.getLastMove(last);
    EXPECT_EQ(last, Move::null());
    doc.playMove(m);
    doc.newGame();
    doc.getLastMove(last);
    EXPECT_EQ(last, Move::null());
    doc.getPosition(p);
    EXPECT_FALSE(p.differs(start()));
}

TEST_F(Document, AFinishedGameSendsNoRequestAndStartsNoThread) {
    GameDocument doc;
    doc.setPosition(blackHasLost());
    EXPECT_TRUE(doc.hasNoLegalMove());
    const int before = threadCount();
    auto window = std::make_shared<testing::FakeWindow>();
    EXPECT_FALSE(doc.requestThink(window, WM_ENGINE_MOVE));
    EXPECT_EQ(threadCount(), before);
}

TEST_F(Document, FirstRequestStartsTheThreadLaterOnesReuseIt) {
    GameDocument doc;
    doc.depthLimit = 1;
    doc.timeLimit = -1;
    auto window = std::make_shared<testing::FakeWindow>();
    const int before = threadCount();
    ASSERT_TRUE(doc.requestThink(window, WM_ENGINE_MOVE));
    ASSERT_TRUE(window->waitForPosts(1));
    // Counted once the answer is in, when the search's own helper thread has ended. (A
    // sanitizer may start a helper thread of its own with the first thread.)
    const int afterFirst = threadCount();
    EXPECT_GT(afterFirst, before);
    Move m;
    EXPECT_TRUE(doc.takeEngineMove(m));
    ASSERT_TRUE(doc.requestThink(window, WM_ENGINE_MOVE));
    ASSERT_TRUE(window->waitForPosts(2));
    EXPECT_EQ(threadCount(), afterFirst);
    EXPECT_TRUE(doc.takeEngineMove(m));
    Position p;
    doc.getPosition(p);
    EXPECT_EQ(p.arrowCount(), 2);
    Move last;
    doc.getLastMove(last);
    EXPECT_EQ(last, m);
    std::string status;
    doc.getStatusText(status);
    EXPECT_EQ(status.rfind("Depth = 1  Score = ", 0), 0u);
}

// The tournament engine thinks to the end of the move's time and is cut there: the answer is
// a legal move with the status of the last completed iteration.
TEST_F(Document, TournamentEngineAnswersWithinTheMovesTime) {
    GameDocument doc;
    doc.depthLimit = -1;
    doc.timeLimit = 1;
    doc.tournamentEngine = true;
    auto window = std::make_shared<testing::FakeWindow>();
    ASSERT_TRUE(doc.requestThink(window, WM_ENGINE_MOVE));
    ASSERT_TRUE(window->waitForPosts(1));
    Move m;
    EXPECT_TRUE(doc.takeEngineMove(m));
    std::string status;
    doc.getStatusText(status);
    EXPECT_EQ(status.rfind("Depth = ", 0), 0u) << status;
}

TEST_F(Document, AnAnswerThatIsNoLongerLegalIsDropped) {
    GameDocument doc;
    doc.depthLimit = 1;
    doc.timeLimit = -1;
    auto window = std::make_shared<testing::FakeWindow>();
    ASSERT_TRUE(doc.requestThink(window, WM_ENGINE_MOVE));
    ASSERT_TRUE(window->waitForPosts(1));
    // Another copy's move arrives before the answer is taken.
    ASSERT_TRUE(doc.playMove(Move{93, 83, 73}));
    Position before;
    doc.getPosition(before);
    Move m;
    EXPECT_FALSE(doc.takeEngineMove(m));
    EXPECT_EQ(m, Move::null());
    Position after;
    doc.getPosition(after);
    EXPECT_FALSE(after.differs(before));
    Move last;
    doc.getLastMove(last);
    EXPECT_EQ(last, Move::null());
}

TEST_F(Document, ForceMoveBringsTheAnswerEarly) {
    GameDocument doc;
    doc.depthLimit = -1;
    doc.timeLimit = -1;
    auto window = std::make_shared<testing::FakeWindow>();
    ASSERT_TRUE(doc.requestThink(window, WM_ENGINE_MOVE));
    doc.requestStop();  // possibly before the engine thread has even taken the request
    ASSERT_TRUE(window->waitForPosts(1, std::chrono::seconds(30)));
    Move m;
    EXPECT_TRUE(doc.takeEngineMove(m));
    EXPECT_TRUE(isLegalMove(start(), m));
}

TEST_F(Document, AStaleStopDoesNotCutTheNextRequestShort) {
    GameDocument doc;
    doc.requestStop();
    doc.depthLimit = 2;
    doc.timeLimit = -1;
    auto window = std::make_shared<testing::FakeWindow>();
    ASSERT_TRUE(doc.requestThink(window, WM_ENGINE_MOVE));
    ASSERT_TRUE(window->waitForPosts(1));
    Move m;
    doc.takeEngineMove(m);
    std::string status;
    doc.getStatusText(status);
    EXPECT_EQ(status.rfind("Depth = 2  Score = ", 0), 0u) << status;
}

TEST_F(Document, NoRequestIsReportedWhenTheEngineThreadCannotStart) {
    EXPECT_EXIT(
        {
            testing::ThreadStartFailure noThreads;
            GameDocument doc;
            auto window = std::make_shared<testing::FakeWindow>();
            const bool sent = doc.requestThink(window, WM_ENGINE_MOVE);
            std::_Exit(sent ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(Document, VerboseEvaluationWritesTheTerritoryBoard) {
    GameDocument doc;
    trace.clear();
    EXPECT_EQ(doc.evaluateVerbose(), 0);
    EXPECT_EQ(trace.text().rfind("Territory board:\n   a  b  c", 0), 0u);
    EXPECT_NE(trace.text().find("Total score = 0\n"), std::string::npos);
}

}  // namespace
}  // namespace wintarvo
