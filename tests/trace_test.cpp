#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "diag/perf_timer.h"
#include "diag/trace.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

TEST(Trace, EveryPieceReachesBothChannelsInCallOrder) {
    std::vector<std::string> pieces;
    const TraceSink previous = setDebuggerChannel([&](std::string_view p) { pieces.emplace_back(p); });
    ::testing::internal::CaptureStdout();
    traceWrite("Depth = ");
    traceWrite("3");
    traceLine("");
    traceLine("iScore = -5");
    const std::string out = ::testing::internal::GetCapturedStdout();
    setDebuggerChannel(previous);

    EXPECT_EQ(out, "Depth = 3\niScore = -5\n");
    EXPECT_EQ(pieces, (std::vector<std::string>{"Depth = ", "3", "\n", "iScore = -5\n"}));
}

TEST(Trace, EmptyLineIsOneLineEnd) {
    testing::TraceCapture trace;
    traceLine("");
    EXPECT_EQ(trace.text(), "\n");
}

TEST(Trace, WritesTextUnchangedUpToAnyNulOnStandardOutput) {
    ::testing::internal::CaptureStdout();
    traceWrite(std::string("ab\0cd", 5));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "ab");
}

TEST(Trace, IntToStringIsDecimal) {
    EXPECT_EQ(intToString(0), "0");
    EXPECT_EQ(intToString(-17), "-17");
    EXPECT_EQ(intToString(INT_MIN), "-2147483648");
    EXPECT_EQ(intToString(std::int64_t{3000000000}), "3000000000");
}

TEST(Trace, RemovingTheChannelStopsDelivery) {
    int calls = 0;
    const TraceSink previous = setDebuggerChannel([&](std::string_view) { ++calls; });
    setStandardOutputEnabled(false);
    traceWrite("x");
    setDebuggerChannel(nullptr);
    traceWrite("y");
    setStandardOutputEnabled(true);
    setDebuggerChannel(previous);
    EXPECT_EQ(calls, 1);
}

// The guard puts back what it found, also when guards nest and when one ends early.
TEST(Trace, StandardOutputOffPutsBackTheFormerSetting) {
    ASSERT_TRUE(standardOutputEnabled());
    {
        StandardOutputOff outer;
        EXPECT_FALSE(standardOutputEnabled());
        {
            StandardOutputOff inner;
            inner.restore();
            EXPECT_FALSE(standardOutputEnabled());
        }
        EXPECT_FALSE(standardOutputEnabled());
    }
    EXPECT_TRUE(standardOutputEnabled());
}

TEST(PerfTimer, ElapsedIsNeverNegativeAndAccumulates) {
    PerfTimer t;
    t.start();
    EXPECT_GE(t.elapsedSeconds(), 0.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_GT(t.elapsedCounts(), 0);
    t.accumulate();
    EXPECT_GT(t.total(), 0);
    EXPECT_EQ(t.frequency(), 1'000'000'000);
}

}  // namespace
}  // namespace wintarvo
