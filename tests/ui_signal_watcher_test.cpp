// The signal pipe is the process's: it outlives its watcher, which a handler may still be
// writing to as it goes, and the next watcher reads it without taking the last one's signals.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <optional>

#include <QCoreApplication>

#include "support/ui_harness.h"
#include "ui/signal_watcher.h"

namespace wintarvo {
namespace {

TEST(SignalWatcher, ThePipeOutlivesItsWatcherAndKeepsNothingForTheNext) {
    const auto openFiles = [] {
        const std::filesystem::directory_iterator fds("/proc/self/fd");
        return std::distance(begin(fds), end(fds));
    };
    std::optional<SignalWatcher> gone(std::in_place);
    ASSERT_TRUE(gone->watching());
    const auto open = openFiles();
    std::raise(SIGHUP);  // left in the pipe, unread
    gone.reset();
    SignalWatcher next;
    next.setCloseAction([] {});
    EXPECT_EQ(openFiles(), open);
    QCoreApplication::processEvents();
    EXPECT_EQ(next.closingSignal(), 0);
    std::raise(SIGINT);
    ASSERT_TRUE(testing::waitUntil([&] { return next.closingSignal() != 0; }, 10000));
    EXPECT_EQ(next.exitStatus(0), 128 + SIGINT);
}

}  // namespace
}  // namespace wintarvo
