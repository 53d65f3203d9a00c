// Where the board view's game came from, and what a save writes beside the moves: without an
// application or a window.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "ui/game_origin.h"

namespace wintarvo {
namespace {

enum class Event { NewGame, TestPosition, OpenedAnnAndBob, OpenedBobOnly, OpenedRecord };

void happen(GameOrigin& origin, Event event) {
    switch (event) {
        case Event::NewGame:
            return origin.startNewGame();
        case Event::TestPosition:
            return origin.startAtTestPosition();
        case Event::OpenedAnnAndBob:
            return origin.openedWith({"Ann", "Bob", "2024-12-07"});
        case Event::OpenedBobOnly:
            return origin.openedWith({"", "Bob", ""});
        case Event::OpenedRecord:
            return origin.openedWith({});
    }
}

auto fields(const SgfGameInfo& info) {
    return std::tie(info.white, info.black, info.date);
}

TEST(GameOrigin, WhatEachFormatWritesAfterEachWayAGameBegins) {
    const std::string today = sgfDateToday();
    const SgfGameInfo filled{"WinTarvo", "WinTarvo", today};
    const SgfGameInfo annAndBob{"Ann", "Bob", "2024-12-07"};
    using enum Event;
    struct Case {
        std::vector<Event> events;
        bool sgfSaves;
        SgfGameInfo sgf;     // when it saves
        SgfGameInfo record;  // as kept, unfilled
    } cases[] = {
        {{}, true, filled, {}},
        {{TestPosition}, false, {}, {}},
        {{OpenedAnnAndBob}, true, annAndBob, annAndBob},
        {{OpenedBobOnly}, true, {"WinTarvo", "Bob", today}, {"", "Bob", ""}},
        {{OpenedAnnAndBob, TestPosition}, false, {}, {}},
        {{OpenedAnnAndBob, NewGame}, true, filled, {}},
        {{TestPosition, NewGame}, true, filled, {}},
        {{TestPosition, OpenedRecord}, true, filled, {}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        GameOrigin origin;
        for (const Event e : c.events)
            happen(origin, e);
        SgfGameInfo info{"stale", "stale", "stale"};
        std::string cause;
        ASSERT_TRUE(origin.infoForSaving(GameFileFormat::Record, info, cause)) << "case " << i;
        EXPECT_EQ(fields(info), fields(c.record)) << "case " << i;
        EXPECT_EQ(origin.fromStart(), c.sgfSaves) << "case " << i;
        info = {};
        ASSERT_EQ(origin.infoForSaving(GameFileFormat::Sgf, info, cause), c.sgfSaves)
            << "case " << i;
        if (c.sgfSaves) {
            EXPECT_EQ(fields(info), fields(c.sgf)) << "case " << i;
        }
    }
}

TEST(GameOrigin, AnSgfSaveOfATestPositionGameSaysWhy) {
    GameOrigin origin;
    origin.startAtTestPosition();
    SgfGameInfo info;
    std::string cause;
    EXPECT_FALSE(origin.infoForSaving(GameFileFormat::Sgf, info, cause));
    EXPECT_EQ(cause,
              "the game began at a test position, and an SGF record holds a game from the "
              "starting position");
}

}  // namespace
}  // namespace wintarvo
