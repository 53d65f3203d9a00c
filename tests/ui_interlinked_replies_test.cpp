// The board view's bookkeeping of engine answers between interlinked copies: stale answers,
// withheld replies and another copy's echo of the engine's move, without an application or a
// window.
#include <gtest/gtest.h>

#include <string>

#include "ui/interlinked_replies.h"

namespace wintarvo {
namespace {

Move mv(const std::string& text) {
    Move m;
    EXPECT_TRUE(parseMove(text, m)) << text;
    return m;
}

Position after(std::initializer_list<const char*> moves) {
    Position p;
    p.setStartPosition();
    for (const char* text : moves)
        p.applyMove(mv(text));
    return p;
}

TEST(InterlinkedReplies, AnAnswerFitsOnlyThePositionItWasAskedFor) {
    InterlinkedReplies replies;
    const Position start = after({});
    replies.askedFor(start);
    EXPECT_TRUE(replies.answerFits(start));
    const Position one = after({"A4-A5 (A6)"});
    EXPECT_FALSE(replies.answerFits(one));
    Position blackToMove = start;
    blackToMove.sideToMove = 1;
    EXPECT_FALSE(replies.answerFits(blackToMove));
    replies.askedFor(one);
    EXPECT_TRUE(replies.answerFits(one));
    EXPECT_FALSE(replies.answerFits(start));
}

TEST(InterlinkedReplies, AWithheldReplyIsTakenOnce) {
    InterlinkedReplies replies;
    EXPECT_FALSE(replies.takeWithheldReply());
    replies.withholdReply();
    replies.withholdReply();
    EXPECT_TRUE(replies.takeWithheldReply());
    EXPECT_FALSE(replies.takeWithheldReply());
}

// Each row: announce (the engine's move, the position it led to), or hear a move while a
// position is shown, with whether that hearing is another copy's echo.
TEST(InterlinkedReplies, OnlyTheSecondHearingOfTheLastAnnouncementWhileItsPositionStands) {
    const Move own = mv("A4-A5 (A6)");
    const Move other = mv("J4-J5 (J6)");
    const Move reply = mv("D10-D9 (C9)");
    const Position p1 = after({"A4-A5 (A6)"});
    const Position p2 = after({"A4-A5 (A6)", "D10-D9 (C9)"});
    const Position elsewhere = after({"J4-J5 (J6)"});
    struct Row {
        bool announce;
        Move move;
        Position shown;
        bool echo;
    } rows[] = {
        {false, own, p1, false},  // nothing announced yet
        {true, own, p1, false},   //
        {false, own, p1, false},  // its own announcement
        {false, other, p1, false}, {false, own, elsewhere, false},
        {false, own, p1, true},    // another copy's
        {false, own, p1, false},   // a third copy's
        {true, reply, p2, false},  //
        {false, own, p1, false},   // the earlier announcement no longer counts
        {false, reply, p2, false}, {false, reply, p2, true},
    };
    InterlinkedReplies replies;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        if (r.announce)
            replies.announced(r.move, r.shown);
        else
            EXPECT_EQ(replies.isAnotherCopysEcho(r.move, r.shown), r.echo) << "row " << i;
    }
}

}  // namespace
}  // namespace wintarvo
