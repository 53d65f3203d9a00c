// The signal watcher's pipe: the process's for as long as it runs, shared by the watchers
// made one after another, with nothing of one watcher's signals reaching the next.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <optional>

#include <QCoreApplication>

#include "support/ui_harness.h"
#include "ui/signal_watcher.h"

namespace wintarvo {
namespace {

std::ptrdiff_t openDescriptors() {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return std::distance(begin(fds), end(fds));
}

// A handler may still write to the pipe while its watcher is destroyed: the pipe stays open,
// and later watchers use it rather than opening another.
TEST(SignalWatcher, ThePipeOutlivesItsWatchers) {
    std::optional<SignalWatcher> first(std::in_place);
    ASSERT_TRUE(first->watching());
    const std::ptrdiff_t open = openDescriptors();
    first.reset();
    EXPECT_EQ(openDescriptors(), open);
    for (int i = 0; i < 3; ++i) {
        SignalWatcher next;
        EXPECT_TRUE(next.watching());
        EXPECT_EQ(openDescriptors(), open);
    }
}

TEST(SignalWatcher, ASignalForAWatcherThatIsGoneDoesNotCloseTheNext) {
    int closes = 0;
    {
        SignalWatcher gone;
        gone.setCloseAction([&closes] { ++closes; });
        std::raise(SIGHUP);  // in the pipe, never read by this watcher
    }
    SignalWatcher watcher;
    watcher.setCloseAction([&closes] { ++closes; });
    QCoreApplication::processEvents();
    EXPECT_EQ(watcher.closingSignal(), 0);
    std::raise(SIGINT);
    ASSERT_TRUE(testing::waitUntil([&] { return watcher.closingSignal() != 0; }, 10000));
    EXPECT_EQ(watcher.closingSignal(), SIGINT);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(watcher.exitStatus(0), 130);
}

}  // namespace
}  // namespace wintarvo
