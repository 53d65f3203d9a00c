// ChannelBroadcast: announcements go out through the broadcast channel to every copy, and
// each listening window receives every message as its own BroadcastMoveEvent; a frame hands
// them to its board view.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QObject>
#include <memory>
#include <utility>
#include <vector>

#include "support/raw_datagram.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"
#include "support/ui_harness.h"
#include "ui/channel_broadcast.h"
#include "ui/command_ids.h"
#include "ui/main_frame.h"

namespace wintarvo {
namespace {

using testing::waitUntil;
using Events = std::vector<std::pair<std::uintptr_t, std::intptr_t>>;

// A window as far as the broadcast is concerned: it records the events it is sent.
class Listener : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() != BroadcastMoveEvent::eventType()) return QObject::event(e);
        const auto* move = static_cast<BroadcastMoveEvent*>(e);
        got.emplace_back(move->wParam, move->lParam);
        return true;
    }
    Events got;
};

class ChannelBroadcastTest : public ::testing::Test {
  protected:
    testing::TraceCapture trace;
    testing::TempDir dir;
    const std::string folder = dir.file("link");
};

TEST_F(ChannelBroadcastTest, EveryListenerOfEveryCopyGetsEachMoveOnceAsItsOwnEvent) {
    BroadcastChannel channelA(folder), channelB(folder);
    ASSERT_TRUE(channelA.open());
    ASSERT_TRUE(channelB.open());
    ChannelBroadcast a(channelA), b(channelB);
    Listener onA, onB;
    auto second = std::make_unique<Listener>();
    a.listen(&onA);
    b.listen(&onB);
    b.listen(second.get());
    b.listen(&onB);  // listening again changes nothing

    a.post(0x00030201);
    EXPECT_EQ(a.lastReport().delivered, 2);
    b.post(0x005d2126);
    a.post(0x00ffffff);
    const Events all = {{0, 0x00030201}, {0, 0x005d2126}, {0, 0x00ffffff}};
    ASSERT_TRUE(waitUntil(
        [&] { return onA.got.size() >= 3 && onB.got.size() >= 3 && second->got.size() >= 3; }));
    EXPECT_EQ(onA.got, all);
    EXPECT_EQ(onB.got, all);
    EXPECT_EQ(second->got, all);

    // A listener that stopped hears nothing more, and one that is gone is not reached.
    b.stopListening(&onB);
    second.reset();
    Listener laterOnB;
    b.listen(&laterOnB);
    a.post(0x00010203);
    ASSERT_TRUE(waitUntil([&] { return onA.got.size() == 4 && laterOnB.got.size() == 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(onB.got, all);
}

TEST_F(ChannelBroadcastTest, WithoutAnOpenChannelNothingGoesOutOrComesIn) {
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    ::chmod(folder.c_str(), 0755);
    BroadcastChannel channel(folder);
    EXPECT_FALSE(channel.open());
    ChannelBroadcast broadcast(channel);
    Listener listener;
    broadcast.listen(&listener);
    broadcast.post(0x00030201);
    EXPECT_EQ(broadcast.lastReport().delivered, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(listener.got.empty());
    EXPECT_NE(
        trace.text().find("Interlinked Mode unavailable, moves are neither sent nor received: "
                          "the folder is open to other users\n"),
        std::string::npos);
}

// The whole way in: a datagram at the copy's socket, the channel, the event to the frame's
// window, the board view.
TEST_F(ChannelBroadcastTest, TheFrameHandsEveryReceivedMoveToItsBoardView) {
    BroadcastChannel channel(folder);
    ASSERT_TRUE(channel.open());
    ChannelBroadcast broadcast(channel);
    testing::FakeDesktop desktop;
    MainFrame frame(desktop, broadcast);
    ASSERT_TRUE(frame.createWindow());
    frame.onCommand(ID_AUTO_PLAY);  // off: no engine answers
    const BoardView& view = frame.boardView();

    const Move white{testing::sq("A4"), testing::sq("A5"), testing::sq("A6")};
    const Move black{testing::sq("D10"), testing::sq("D9"), testing::sq("C9")};
    const auto send = [&](std::uint32_t lParam) {
        return testing::sendDatagram(channel.socketPath(), testing::messageBytes(0, lParam), true);
    };
    // No packed move has bits above its 24: refused, so Black's move after it is not legal.
    Listener arrivals;
    broadcast.listen(&arrivals);
    ASSERT_TRUE(send(0x5A000000 | packMove(white)));
    ASSERT_TRUE(send(packMove(black)));  // not White's: ignored
    ASSERT_TRUE(waitUntil([&] { return arrivals.got.size() == 2; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(view.movesPlayed().empty());
    broadcast.stopListening(&arrivals);
    ASSERT_TRUE(send(packMove(white)));
    ASSERT_TRUE(send(packMove(black)));
    ASSERT_TRUE(waitUntil([&] { return view.movesPlayed().size() == 2; }));
    EXPECT_EQ(view.movesPlayed(), (MoveList{white, black}));
    EXPECT_EQ(frame.statusLine()->text(), "Ply number 3");

    // A closed frame listens no more.
    Listener witness;
    broadcast.listen(&witness);
    frame.destroyWindow();
    const Move next{testing::sq("A5"), testing::sq("B5"), testing::sq("C5")};
    ASSERT_TRUE(send(packMove(next)));
    ASSERT_TRUE(waitUntil([&] { return witness.got.size() == 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(view.movesPlayed().size(), 2u);
}

}  // namespace
}  // namespace wintarvo
