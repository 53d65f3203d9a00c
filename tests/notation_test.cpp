#include <gtest/gtest.h>

#include "model/move.h"
#include "model/square.h"

namespace wintarvo {
namespace {

TEST(SquareText, NamesEveryCornerAndRejectsOffBoard) {
    EXPECT_EQ(squareText(0), "A10");
    EXPECT_EQ(squareText(9), "J10");
    EXPECT_EQ(squareText(90), "A1");
    EXPECT_EQ(squareText(99), "J1");
    EXPECT_EQ(squareText(44), "E6");
    EXPECT_EQ(squareText(-1), "");
    EXPECT_EQ(squareText(100), "");
}

TEST(SquareText, RoundTripsThroughParseSquare) {
    for (Square s = 0; s < 100; ++s) EXPECT_EQ(parseSquare(squareText(s)), s) << s;
}

struct SquareCase {
    const char* text;
    Square expected;
};

class ParseSquareCases : public ::testing::TestWithParam<SquareCase> {};

TEST_P(ParseSquareCases, ReadsLikeCharThenTwoDigitField) {
    EXPECT_EQ(parseSquare(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    OddCases, ParseSquareCases,
    ::testing::Values(SquareCase{"A10", 0}, SquareCase{"J1", 99}, SquareCase{"E5", 54},
                      SquareCase{"a9", 42},   // lower case: only the arithmetic counts
                      SquareCase{"K2", 90},   // off the board by letter, on it by index
                      SquareCase{"K1", -1}, SquareCase{"A11", -1}, SquareCase{"A0", -1},
                      SquareCase{"A 1", 90},  // blanks before the number are skipped
                      SquareCase{"A+1", 90},  // a sign is part of the field
                      SquareCase{"A-1", -1}, SquareCase{"A100", 0},  // field is two wide
                      SquareCase{"A", -1}, SquareCase{"", -1}, SquareCase{"AB", -1},
                      SquareCase{" A1", -1}));  // the first character is the letter, even a blank

struct MoveCase {
    const char* text;
    bool ok;
    Move expected;  // after resetting to -1 and parsing
};

class ParseMoveCases : public ::testing::TestWithParam<MoveCase> {};

TEST_P(ParseMoveCases, FollowsTheLengthRules) {
    Move m;
    EXPECT_EQ(parseMove(GetParam().text, m), GetParam().ok) << GetParam().text;
    EXPECT_EQ(m, GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    BothForms, ParseMoveCases,
    ::testing::Values(
        MoveCase{"A1B2C", false, {}},                       // five characters
        MoveCase{"A1B2C3", true, {90, 81, 72}},             // compact
        MoveCase{"D1-D4 (D7)", true, {93, 63, 33}},         // full
        MoveCase{"D10-D9 (C9)", true, {3, 13, 12}},
        MoveCase{"D1-D4(D7)", true, {93, 63, 33}},          // blank before '(' optional
        MoveCase{"D1-D4 (D7", true, {93, 63, 33}},          // ')' not needed
        MoveCase{"D1-D4   (D7)", true, {93, 63, 33}},
        MoveCase{"Z1-A1 (A2)", true, {-1, 90, 80}},         // off-board square read as -1
        MoveCase{"D10D9C9", false, {}},                     // seven characters: full form fails
        MoveCase{" D1-D4 (D7)", false, {}},
        MoveCase{"D1 - D4 (D7)", false, {}},
        MoveCase{"D1-D4 D7", false, {}},
        MoveCase{"A1B2K1", false, {90, 81, -1}},            // compact keeps what it read
        MoveCase{"A1K1C3", false, {90, -1, -1}},
        MoveCase{"A1Z9C3", true, {90, 35, 72}},             // Z9 lands on the board by arithmetic
        MoveCase{"A4A5A6", true, {60, 50, 40}}));

TEST(ParseMove, FailureKeepsEarlierFieldsOfTheCallersMove) {
    Move m{7, 8, 9};
    EXPECT_FALSE(parseMove("A1B2K1", m));
    EXPECT_EQ(m, (Move{90, 81, -1}));
    Move n{7, 8, 9};
    EXPECT_FALSE(parseMove("D1+D4 (D7)", n));
    EXPECT_EQ(n, (Move{7, 8, 9}));
}

TEST(MoveText, WritesFullNotation) {
    EXPECT_EQ(moveText(Move{93, 63, 33}), "D1-D4 (D7)");
    EXPECT_EQ(moveText(Move{3, 13, 12}), "D10-D9 (C9)");
    EXPECT_EQ(moveText(Move{}), "- ()");
}

TEST(MoveText, RoundTripsEveryFieldValue) {
    for (Square s = 0; s < 100; ++s) {
        const Move m{s, 99 - s, (s * 37) % 100};
        Move back;
        ASSERT_TRUE(parseMove(moveText(m), back));
        EXPECT_EQ(back, m);
    }
}

TEST(PackMove, PutsTheSquaresInTheirBytes) {
    const Move m{93, 63, 33};
    const std::uint32_t v = packMove(m);
    EXPECT_EQ(v, (93u << 16) | (63u << 8) | 33u);
    EXPECT_EQ(v >> 24, 0u);
    Move back;
    unpackMove(v, back);
    EXPECT_EQ(back, m);
    EXPECT_EQ(packMove(Move{}), 0xFFFFFFu);
    unpackMove(0xAB000102u, back);  // the top byte is ignored
    EXPECT_EQ(back, (Move{0, 1, 2}));
}

TEST(Move, NullAndValidity) {
    EXPECT_FALSE(Move{}.isValid());
    EXPECT_EQ(Move::null(), (Move{-1, -1, -1}));
    EXPECT_FALSE((Move{0, -1, 0}.isValid()));
    EXPECT_TRUE((Move{0, 0, 0}.isValid()));
    EXPECT_NE((Move{1, 2, 3}), (Move{1, 2, 4}));
}

}  // namespace
}  // namespace wintarvo
