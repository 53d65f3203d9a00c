// The board view's state beside drawing and input, without an application or a window: where
// the game came from, and the bookkeeping of engine answers between interlinked copies.
#include <gtest/gtest.h>

#include "ui/game_origin.h"
#include "ui/interlinked_replies.h"

namespace wintarvo {
namespace {

// N New Game, T Set Board, A an SGF record of Ann and Bob opened, B one of Bob alone and
// without a date.
void begin(GameOrigin& origin, const std::string& events) {
    for (const char e : events) {
        if (e == 'N') origin.startNewGame();
        if (e == 'T') origin.startAtTestPosition();
        if (e == 'A') origin.openedWith({"Ann", "Bob", "1999"});
        if (e == 'B') origin.openedWith({"", "Bob", ""});
    }
}

// What a save writes beside the moves: a record file the information as opened; an SGF record
// the same with the gaps filled, or the cause of its refusal after a test position.
TEST(GameOrigin, WhatASaveWritesAfterEachBeginning) {
    const std::string today = sgfDateToday(), filled = "WinTarvo|WinTarvo|" + today;
    const std::string refused =
        "the game began at a test position, and an SGF record holds a game from the starting "
        "position";
    const struct {
        std::string events, record, sgf;
    } cases[] = {{"", "||", filled},
                 {"T", "||", refused},
                 {"A", "Ann|Bob|1999", "Ann|Bob|1999"},
                 {"B", "|Bob|", "WinTarvo|Bob|" + today},
                 {"AT", "||", refused},
                 {"AN", "||", filled},
                 {"TA", "Ann|Bob|1999", "Ann|Bob|1999"}};
    for (const auto& c : cases) {
        GameOrigin origin;
        begin(origin, c.events);
        SgfGameInfo info;
        std::string cause;
        const auto text = [&] { return info.white + "|" + info.black + "|" + info.date; };
        EXPECT_TRUE(origin.infoForSaving(GameFileFormat::Record, info, cause));
        EXPECT_EQ(text(), c.record) << c.events;
        info = {};
        const bool saves = origin.infoForSaving(GameFileFormat::Sgf, info, cause);
        EXPECT_EQ(saves ? text() : cause, c.sgf) << c.events;
    }
}

// Announcements and hearings of moves while a position is shown: only the second hearing of
// the last announcement, while the position it led to stands, is another copy's echo.
TEST(InterlinkedReplies, OnlyTheSecondHearingOfTheLastAnnouncementIsAnEcho) {
    // A4-A5 (A6), D10-D9 (C9) and J4-J5 (J6).
    const Move w1{60, 50, 40}, b1{3, 13, 12}, other{69, 59, 49};
    Position p1, p2;
    p1.setStartPosition();
    p1.applyMove(w1);
    (p2 = p1).applyMove(b1);
    enum { Announce, Hear };
    const struct {
        int what;
        Move move;
        Position shown;
        bool echo;
    } rows[] = {{Announce, w1, p1, false}, {Hear, w1, p1, false}, {Hear, other, p1, false},
                {Hear, w1, p2, false},     {Hear, w1, p1, true},  {Hear, w1, p1, false},
                {Announce, b1, p2, false}, {Hear, w1, p1, false}, {Hear, b1, p2, false},
                {Hear, b1, p2, true}};
    InterlinkedReplies replies;
    for (const auto& r : rows) {
        if (r.what == Announce)
            replies.announced(r.move, r.shown);
        else
            EXPECT_EQ(replies.isAnotherCopysEcho(r.move, r.shown), r.echo) << &r - rows;
    }
}

}  // namespace
}  // namespace wintarvo
