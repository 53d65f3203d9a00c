// Copies of the peer program, each a process with its own channel on one folder, as running
// copies of the program would be.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/peer_process.h"
#include "support/raw_datagram.h"
#include "support/temp_dir.h"

namespace wintarvo {
namespace {

struct Report {
    int delivered = -1, missed = -1, removed = -1;
    friend bool operator==(const Report&, const Report&) = default;
};

std::ostream& operator<<(std::ostream& out, const Report& r) {
    return out << "delivered " << r.delivered << " missed " << r.missed << " removed " << r.removed;
}

struct Copy {
    std::unique_ptr<testing::PeerProcess> process;
    std::string socketPath;
};

class ProcessTest : public ::testing::Test {
  protected:
    testing::TempDir dir;
    const std::string folder = dir.file("link");
    std::vector<Copy> copies;

    Copy& start() {
        Copy c{std::make_unique<testing::PeerProcess>(
                   std::vector<std::string>{WINTARVO_INTERLINK_PEER, "serve", folder}),
               ""};
        std::string line;
        EXPECT_TRUE(c.process->take("ready ", line)) << "a peer did not start";
        c.socketPath = line.substr(6);
        copies.push_back(std::move(c));
        return copies.back();
    }

    Report send(Copy& from, std::uint32_t lParam) {
        from.process->writeLine("send 0 " + std::to_string(lParam));
        std::string line;
        Report r;
        if (from.process->take("sent ", line))
            std::istringstream(line.substr(5)) >> r.delivered >> r.missed >> r.removed;
        return r;
    }

    // The copy's next message is exactly this one.
    static bool nextIs(Copy& c, std::uint32_t lParam) {
        std::string line;
        if (!c.process->take("received ", line)) return false;
        const std::string expected = "received 0 " + std::to_string(lParam) + " ";
        EXPECT_TRUE(line.starts_with(expected)) << line << " instead of " << expected;
        return line.starts_with(expected);
    }

    // Ends every copy; each must exit cleanly with nothing more received.
    void finishAll() {
        for (Copy& c : copies) {
            if (!c.process->started()) continue;
            EXPECT_EQ(c.process->finish(), 0);
            for (const std::string& line : c.process->untaken())
                EXPECT_FALSE(line.starts_with("received ")) << line;
        }
    }

    bool present(const std::string& path) const {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0;
    }
};

TEST_F(ProcessTest, TwoCopiesAndTenCopiesEachHearEveryAnnouncementOnce) {
    for (const int count : {2, 10}) {
        SCOPED_TRACE(count);
        while (copies.size() < static_cast<std::size_t>(count))
            start();
        // Every copy sends in turn; each announcement is awaited everywhere before the next.
        const std::uint32_t values[] = {0x00030201, 0x00FFFFFF, 0xFF000000, 0xFFFFFFFF, 0};
        for (int i = 0; i < 2 * count; ++i) {
            const std::uint32_t value = values[i % 5] ^ static_cast<std::uint32_t>(i << 8);
            EXPECT_EQ(send(copies[i % count], value), (Report{count, 0, 0}));
            for (Copy& c : copies)
                ASSERT_TRUE(nextIs(c, value));
        }
    }
    finishAll();
    EXPECT_TRUE(dir.entries().size() == 1 && std::filesystem::is_empty(folder));
}

TEST_F(ProcessTest, KilledCopiesLeaveFilesThatAreClearedAndNeverBlock) {
    for (int i = 0; i < 3; ++i)
        start();
    // Killed at once, no clean-up: its socket file stays behind.
    copies[2].process->signal(SIGKILL);
    EXPECT_EQ(copies[2].process->finish(), -1);
    ASSERT_TRUE(present(copies[2].socketPath));
    // A copy that starts clears it.
    start();
    EXPECT_FALSE(present(copies[2].socketPath));

    copies[3].process->signal(SIGKILL);
    EXPECT_EQ(copies[3].process->finish(), -1);
    ASSERT_TRUE(present(copies[3].socketPath));
    // So does the next announcement.
    EXPECT_EQ(send(copies[1], 7), (Report{2, 0, 1}));
    EXPECT_FALSE(present(copies[3].socketPath));
    ASSERT_TRUE(nextIs(copies[0], 7));
    ASSERT_TRUE(nextIs(copies[1], 7));
    EXPECT_EQ(send(copies[0], 8), (Report{2, 0, 0}));
    ASSERT_TRUE(nextIs(copies[0], 8));
    ASSERT_TRUE(nextIs(copies[1], 8));
    copies.resize(2);
    finishAll();
}

TEST_F(ProcessTest, AStoppedCopyMissesAnnouncementsAndHoldsUpNoOne) {
    for (int i = 0; i < 3; ++i)
        start();
    Copy& stopped = copies[2];
    stopped.process->signal(SIGSTOP);
    // Its queue fills and everything after is lost to it; the others get every value.
    int lastMissed = -1;
    for (std::uint32_t v = 1; v <= 40; ++v) {
        const Report r = send(copies[0], v);
        EXPECT_EQ(r.delivered + r.missed, 3);
        EXPECT_EQ(r.removed, 0);
        lastMissed = r.missed;
        ASSERT_TRUE(nextIs(copies[0], v));
        ASSERT_TRUE(nextIs(copies[1], v));
    }
    EXPECT_EQ(lastMissed, 1);

    // Woken up, it reads what its queue held: the first values, in order, each once. Until
    // it has made room, new announcements miss it too.
    stopped.process->signal(SIGCONT);
    std::uint32_t wakeUp = 1000;
    for (;; ++wakeUp) {
        const Report r = send(copies[1], wakeUp);
        ASSERT_TRUE(nextIs(copies[0], wakeUp));
        ASSERT_TRUE(nextIs(copies[1], wakeUp));
        if (r.delivered == 3) break;
    }
    std::uint32_t expected = 1;
    std::string line;
    while (stopped.process->take("received ", line) &&
           !line.starts_with("received 0 " + std::to_string(wakeUp) + " ")) {
        EXPECT_TRUE(line.starts_with("received 0 " + std::to_string(expected) + " ")) << line;
        ++expected;
    }
    EXPECT_GT(expected, 1u);
    EXPECT_LT(expected, 40u);
    finishAll();
}

TEST_F(ProcessTest, DatagramsOfOtherFormatsChangeNothing) {
    for (int i = 0; i < 2; ++i)
        start();
    for (const auto& bad : testing::badDatagrams(1000)) {
        // The peers read on their own, so waiting for room in a queue ends.
        for (const Copy& c : copies)
            ASSERT_TRUE(testing::sendDatagram(c.socketPath, bad.bytes, true)) << bad.what;
    }
    for (const Copy& c : copies)
        ASSERT_TRUE(testing::sendDatagram(c.socketPath, testing::messageBytes(0, 5), true));
    for (Copy& c : copies)
        ASSERT_TRUE(nextIs(c, 5));
    // And the copies still talk to each other.
    EXPECT_EQ(send(copies[1], 6), (Report{2, 0, 0}));
    for (Copy& c : copies)
        ASSERT_TRUE(nextIs(c, 6));
    finishAll();
}

}  // namespace
}  // namespace wintarvo
