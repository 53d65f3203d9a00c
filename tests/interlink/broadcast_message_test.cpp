#include <gtest/gtest.h>

#include <string>

#include "support/raw_datagram.h"
#include "ui/interlink/broadcast_message.h"

namespace wintarvo {
namespace {

bool decode(const std::string& bytes, BroadcastMessage& message) {
    return decodeBroadcastMessage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                                  message);
}

TEST(BroadcastMessage, LayoutIsTheNameVersionAndBothValuesLittleEndian) {
    const std::string bytes = testing::messageBytes(0x11223344, 0x00030201);
    EXPECT_EQ(bytes, std::string("tarvo-broadcasted-move\x01\x00"
                                 "\x44\x33\x22\x11"
                                 "\x01\x02\x03\x00",
                                 32));
}

TEST(BroadcastMessage, EveryValueComesBackUnchanged) {
    // The packed moves of the board's corners and of the null move, and values a receiver
    // must judge for itself: zero, the top byte set, all bits.
    const BroadcastMessage cases[] = {
        {0, 0},          {0, 0x00000A0B},          {0, 0x00636200}, {0, 0x00FFFFFF},
        {0, 0xFF000000}, {0, 0x80030201},          {0, 0xFFFFFFFF}, {0xFFFFFFFF, 0x00010203},
        {1, 0},          {0x80000000, 0x7FFFFFFF},
    };
    for (const BroadcastMessage& m : cases) {
        const BroadcastDatagram bytes = encodeBroadcastMessage(m);
        BroadcastMessage back{0x5A5A5A5A, 0x5A5A5A5A};
        ASSERT_TRUE(decodeBroadcastMessage(bytes.data(), bytes.size(), back)) << m.lParam;
        EXPECT_EQ(back, m);
    }
}

TEST(BroadcastMessage, NearMissesAreRefusedAndLeaveTheResultAlone) {
    for (const auto& bad : testing::badDatagrams(2000)) {
        BroadcastMessage m{7, 8};
        EXPECT_FALSE(decode(bad.bytes, m)) << bad.what;
        EXPECT_EQ(m, (BroadcastMessage{7, 8})) << bad.what;
    }
    BroadcastMessage m;
    EXPECT_FALSE(decodeBroadcastMessage(nullptr, BROADCAST_MESSAGE_SIZE, m));
}

TEST(BroadcastMessage, AnyChangeOutsideTheValuesIsRefused) {
    // Every byte of the name and the version matters; a change in the values is a different
    // message, read exactly as written.
    const std::string good = testing::messageBytes(0, 0x00030201);
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (const unsigned flip : {0x01u, 0x20u, 0x80u}) {
            std::string bytes = good;
            bytes[at] = static_cast<char>(bytes[at] ^ flip);
            BroadcastMessage m;
            const bool accepted = decode(bytes, m);
            EXPECT_EQ(accepted, at >= 24) << "byte " << at << " flip " << flip;
            if (accepted) {
                EXPECT_EQ(testing::messageBytes(m.wParam, m.lParam), bytes) << "byte " << at;
            }
        }
    }
}

}  // namespace
}  // namespace wintarvo
