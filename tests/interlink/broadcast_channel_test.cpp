#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/raw_datagram.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"
#include "ui/interlink/broadcast_channel.h"

namespace wintarvo {
namespace {

// The channel needs an event loop on the test's thread.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "channel_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};
[[maybe_unused]] auto* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Runs the event loop until done() holds; false after a minute without.
bool runUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Sends a datagram without ever blocking, letting the channels read while the receiver's queue
// is full.
bool sendPatiently(const std::string& path, const std::string& bytes, int fd = -1) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!testing::sendDatagram(path, bytes, false, fd)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QCoreApplication::processEvents();
    }
    return true;
}

using Values = std::vector<std::pair<quint32, quint32>>;

// A channel on the test's folder that records what it receives.
struct Copy {
    explicit Copy(const std::string& folder) : channel(folder) {
        QObject::connect(&channel, &BroadcastChannel::received,
                         [this](quint32 w, quint32 l) { got.emplace_back(w, l); });
    }
    BroadcastChannel channel;
    Values got;
};

// The last value every copy must see before a test looks at what they received: each queue
// is in order, so everything sent before it has been read by then.
constexpr quint32 SENTINEL = 0x00FFFFFF;

bool allReceived(const std::vector<Copy*>& copies, std::size_t count) {
    return runUntil([&] {
        for (const Copy* c : copies)
            if (c->got.size() < count) return false;
        return true;
    });
}

struct ChannelTest : ::testing::Test {
    testing::TempDir dir;
    const std::string folder = dir.file("link");

    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(ChannelTest, EveryCopyTheSenderIncludedGetsEachValueOnceInOrder) {
    for (const int count : {2, 10}) {
        SCOPED_TRACE(count);
        std::vector<std::unique_ptr<Copy>> copies;
        std::vector<Copy*> all;
        for (int i = 0; i < count; ++i) {
            copies.push_back(std::make_unique<Copy>(folder));
            ASSERT_TRUE(copies.back()->channel.open());
            all.push_back(copies.back().get());
        }
        // Each copy in turn sends; values a receiver must judge for itself travel unchanged.
        Values sent;
        const quint32 lParams[] = {0x00030201, 0xFF000000, 0xFFFFFFFF, 0, 0x80636261};
        for (int i = 0; i < 3 * count; ++i) {
            const std::pair<quint32, quint32> value{i % 3 == 2 ? 0xDEADBEEFu : 0u,
                                                    lParams[i % 5] ^ static_cast<quint32>(i)};
            const BroadcastReport r =
                copies[i % count]->channel.broadcast(value.first, value.second);
            EXPECT_EQ(r.delivered, count);
            EXPECT_EQ(r.missed + r.removed, 0);
            sent.push_back(value);
            ASSERT_TRUE(allReceived(all, sent.size()));
        }
        copies[0]->channel.broadcast(0, SENTINEL);
        sent.emplace_back(0, SENTINEL);
        ASSERT_TRUE(allReceived(all, sent.size()));
        for (const Copy* c : all)
            EXPECT_EQ(c->got, sent);
        for (const Copy* c : all)
            EXPECT_EQ(c->channel.refusedCount(), 0);
        EXPECT_EQ(folderEntries().size(), static_cast<std::size_t>(count));
    }
    // Closed copies take their socket files with them.
    EXPECT_TRUE(folderEntries().empty());
}

TEST_F(ChannelTest, LeftoversOfEndedCopiesAreRemovedWhenJoiningAndWhenSending) {
    Copy a(folder);
    ASSERT_TRUE(a.channel.open());
    // What killed copies leave: socket files with nothing bound. Other entries are not ours
    // to judge and stay.
    ASSERT_TRUE(testing::leaveDeadSocketFile(folder + "/1-dead"));
    ASSERT_TRUE(testing::leaveDeadSocketFile(folder + "/2-dead"));
    testing::writeFileBytes(folder + "/notes", "x");
    ASSERT_EQ(::mkfifo((folder + "/fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink((folder + "/1-dead").c_str(), (folder + "/link-to-dead").c_str()), 0);
    const int hung = testing::bindDatagramSocket(folder + "/3-alive-never-reads");
    ASSERT_GE(hung, 0);

    Copy b(folder);
    ASSERT_TRUE(b.channel.open());
    const std::string aName = std::filesystem::path(a.channel.socketPath()).filename();
    const std::string bName = std::filesystem::path(b.channel.socketPath()).filename();
    std::vector<std::string> expected = {aName,  bName,          "3-alive-never-reads",
                                         "fifo", "link-to-dead", "notes"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folderEntries(), expected);

    ASSERT_TRUE(testing::leaveDeadSocketFile(folder + "/4-dead"));
    const BroadcastReport r = a.channel.broadcast(0, SENTINEL);
    EXPECT_EQ(r.delivered, 3);  // a, b and the one that hangs
    EXPECT_EQ(r.removed, 1);
    EXPECT_EQ(r.missed, 0);
    EXPECT_EQ(folderEntries(), expected);
    ASSERT_TRUE(allReceived({&a, &b}, 1));
    ::close(hung);
}

TEST_F(ChannelTest, CopiesThatStopReadingNeitherBlockTheSenderNorStarveTheOthers) {
    // Forty hung copies hold full queues; with one sending socket for every broadcast their
    // unread datagrams would use up its buffer and the live copy would get nothing.
    Copy a(folder), b(folder);
    ASSERT_TRUE(a.channel.open());
    ASSERT_TRUE(b.channel.open());
    std::vector<int> hung;
    for (int i = 0; i < 40; ++i) {
        hung.push_back(testing::bindDatagramSocket(folder + "/hung-" + std::to_string(i)));
        ASSERT_GE(hung.back(), 0);
    }
    int missedAtTheEnd = 0;
    for (quint32 i = 1; i <= 200; ++i) {
        const BroadcastReport r = a.channel.broadcast(0, i);
        EXPECT_EQ(r.delivered + r.missed, 42);
        missedAtTheEnd = r.missed;
        ASSERT_TRUE(allReceived({&a, &b}, i)) << i;
    }
    EXPECT_EQ(missedAtTheEnd, 40);
    for (quint32 i = 1; i <= 200; ++i)
        EXPECT_EQ(b.got[i - 1].second, i);
    EXPECT_EQ(b.got, a.got);
    for (const int fd : hung)
        ::close(fd);
}

TEST_F(ChannelTest, AnythingButAMessageFromThisUserIsReadAndDropped) {
    Copy a(folder);
    ASSERT_TRUE(a.channel.open());
    const std::string path = a.channel.socketPath();
    const auto bad = testing::badDatagrams(3000);
    int sent = 0;
    for (const auto& d : bad) {
        ASSERT_TRUE(sendPatiently(path, d.bytes)) << d.what;
        ++sent;
    }
    // A well-formed message carrying a descriptor is no copy's either; the descriptor must
    // not stay open here.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const int openBefore = testing::openDescriptorCount();
    ASSERT_TRUE(sendPatiently(path, testing::messageBytes(0, 0x00010203), pipeEnds[0]));
    ++sent;
    ASSERT_TRUE(sendPatiently(path, testing::messageBytes(0, SENTINEL)));
    ASSERT_TRUE(allReceived({&a}, 1));
    EXPECT_EQ(a.got, (Values{{0, SENTINEL}}));
    EXPECT_EQ(a.channel.refusedCount(), sent);
    EXPECT_EQ(testing::openDescriptorCount(), openBefore);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

TEST_F(ChannelTest, MessagesFromAnotherUserAreDropped) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to send as another user";
    Copy a(folder);
    ASSERT_TRUE(a.channel.open());
    // Only the owner can enter the folder, so the other user's process connects while still
    // root and sends after giving up its rights: the kernel stamps the datagram with the new
    // user.
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, a.channel.socketPath().c_str(), sizeof address.sun_path - 1);
        const std::string bytes = testing::messageBytes(0, 0x00010203);
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                        ::setgid(65534) == 0 && ::setuid(65534) == 0 &&
                        ::send(fd, bytes.data(), bytes.size(), 0) == 32;
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(
        testing::sendDatagram(a.channel.socketPath(), testing::messageBytes(0, SENTINEL), false));
    ASSERT_TRUE(allReceived({&a}, 1));
    EXPECT_EQ(a.got, (Values{{0, SENTINEL}}));
    EXPECT_EQ(a.channel.refusedCount(), 1);
}

TEST_F(ChannelTest, AnUnusableFolderLeavesTheChannelClosedWithOneTraceLine) {
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    testing::TraceCapture trace;
    Copy a(folder);
    EXPECT_FALSE(a.channel.open());
    EXPECT_FALSE(a.channel.isOpen());
    EXPECT_EQ(a.channel.status(), BroadcastStatus::FOLDER_OPEN_TO_OTHERS);
    EXPECT_EQ(trace.lines(),
              (std::vector<std::string>{"Interlinked Mode unavailable, moves are neither sent nor "
                                        "received: the folder is open to other users"}));
    const BroadcastReport r = a.channel.broadcast(0, 0x00030201);
    EXPECT_EQ(r.delivered + r.missed + r.removed, 0);
    EXPECT_TRUE(folderEntries().empty());
    EXPECT_TRUE(a.channel.socketPath().empty());
}

TEST_F(ChannelTest, ACopyWhoseSocketFileVanishedJoinsAgainWhenItNextSends) {
    Copy a(folder), b(folder);
    ASSERT_TRUE(a.channel.open());
    ASSERT_TRUE(b.channel.open());
    // A message already queued before the file went is still delivered.
    ASSERT_TRUE(testing::sendDatagram(a.channel.socketPath(), testing::messageBytes(0, 1), false));
    const std::string old = a.channel.socketPath();
    ASSERT_EQ(::unlink(old.c_str()), 0);

    testing::TraceCapture trace;
    EXPECT_EQ(a.channel.broadcast(0, 2).delivered, 2);
    EXPECT_TRUE(a.channel.isOpen());
    EXPECT_NE(a.channel.socketPath(), old);
    ASSERT_TRUE(allReceived({&a, &b}, 1));
    ASSERT_TRUE(allReceived({&a}, 2));
    EXPECT_EQ(a.got, (Values{{0, 1}, {0, 2}}));
    EXPECT_EQ(trace.lines().size(), 1u);

    // The whole folder gone: the sender makes it again; the other copy is unreachable until
    // it sends too.
    std::filesystem::remove_all(folder);
    EXPECT_EQ(a.channel.broadcast(0, 3).delivered, 1);
    EXPECT_EQ(b.channel.broadcast(0, 4).delivered, 2);
    ASSERT_TRUE(allReceived({&a}, 4));
    ASSERT_TRUE(allReceived({&b}, 2));
    EXPECT_EQ(a.got, (Values{{0, 1}, {0, 2}, {0, 3}, {0, 4}}));
    EXPECT_EQ(b.got, (Values{{0, 2}, {0, 4}}));
    EXPECT_EQ(folderEntries().size(), 2u);
}

TEST_F(ChannelTest, AReceiverMayCloseOrDeleteTheChannel) {
    auto a = std::make_unique<Copy>(folder);
    Copy b(folder);
    ASSERT_TRUE(a->channel.open());
    ASSERT_TRUE(b.channel.open());
    // Several messages wait when the slot deletes the channel: none may be read after.
    int calls = 0;
    QObject::connect(&a->channel, &BroadcastChannel::received, [&] {
        ++calls;
        a.reset();
    });
    for (quint32 i = 1; i <= 3; ++i)
        b.channel.broadcast(0, i);
    ASSERT_TRUE(allReceived({&b}, 2));
    ASSERT_TRUE(runUntil([&] { return calls > 0; }));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(folderEntries().size(), 1u);

    int closes = 0;
    QObject::connect(&b.channel, &BroadcastChannel::received, [&] {
        ++closes;
        b.channel.close();
    });
    b.channel.broadcast(0, 4);
    b.channel.broadcast(0, 5);
    ASSERT_TRUE(runUntil([&] { return closes > 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(b.channel.isOpen());
    EXPECT_TRUE(folderEntries().empty());
}

}  // namespace
}  // namespace wintarvo
