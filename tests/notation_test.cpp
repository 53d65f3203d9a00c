#include <gtest/gtest.h>

#include "model/move.h"
#include "model/square.h"
#include "model/typed_move.h"

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

TEST_P(ParseSquareCases, NamesASquareOnlyWithALetterAToJAndARankOneToTen) {
    EXPECT_EQ(parseSquare(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    OddCases, ParseSquareCases,
    ::testing::Values(SquareCase{"A10", 0}, SquareCase{"J1", 99}, SquareCase{"E5", 54},
                      SquareCase{"a9", 10}, SquareCase{"j1", 99},   // lower case, same square
                      SquareCase{"K2", -1}, SquareCase{"Z1", -1}, SquareCase{"k1", -1},
                      SquareCase{"A11", -1}, SquareCase{"A0", -1}, SquareCase{"A01", -1},
                      SquareCase{"A 1", -1}, SquareCase{"A+1", -1}, SquareCase{"A-1", -1},
                      SquareCase{"A100", -1}, SquareCase{"A5x", -1}, SquareCase{"A1 ", -1},
                      SquareCase{"A", -1}, SquareCase{"", -1}, SquareCase{"AB", -1},
                      SquareCase{" A1", -1}, SquareCase{"@1", -1}, SquareCase{"`1", -1}));

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
        MoveCase{"K2-A11 (a9)", true, {-1, -1, 10}},        // letter and rank each checked
        MoveCase{"d1-d4 (d7)", true, {93, 63, 33}},         // lower case names the same squares
        MoveCase{"D1-D4 (D7) junk", true, {93, 63, 33}},    // a record line may carry more
        MoveCase{"D10D9C9", false, {}},                     // seven characters: full form fails
        MoveCase{" D1-D4 (D7)", false, {}},
        MoveCase{"D1 - D4 (D7)", false, {}},
        MoveCase{"D1-D4 D7", false, {}},
        MoveCase{"A1B2K1", false, {90, 81, -1}},            // compact keeps what it read
        MoveCase{"A1K1C3", false, {90, -1, -1}},
        MoveCase{"A1Z9C3", false, {90, -1, -1}},            // Z9 is no square
        MoveCase{"a1b2c3", true, {90, 81, 72}},
        MoveCase{"A4A5A6", true, {60, 50, 40}}));

struct TypedCase {
    const char* text;
    Move expected;  // the null move: not a move
};

class ParseTypedMoveCases : public ::testing::TestWithParam<TypedCase> {};

TEST_P(ParseTypedMoveCases, ReadsEveryNotationAndOnlyAWholeMove) {
    const Move untouched{1, 2, 3};
    Move m = untouched;
    const bool ok = parseTypedMove(GetParam().text, m);
    EXPECT_EQ(ok, GetParam().expected.isValid()) << GetParam().text;
    EXPECT_EQ(m, ok ? GetParam().expected : untouched) << GetParam().text;
}

const Move D1_D4_D7{93, 63, 33};
const Move D10_C9_H4{3, 12, 67};

INSTANTIATE_TEST_SUITE_P(
    Notations, ParseTypedMoveCases,
    ::testing::Values(
        TypedCase{"D1-D4 (D7)", D1_D4_D7}, TypedCase{"D1-D4(D7)", D1_D4_D7},
        TypedCase{"d1-d4 (d7)", D1_D4_D7}, TypedCase{"  D1-D4   (D7)\n", D1_D4_D7},
        TypedCase{"d1-d4/d7", D1_D4_D7}, TypedCase{"d1-d4-d7", D1_D4_D7},
        TypedCase{"D1-D4xD7", D1_D4_D7}, TypedCase{"D1-D4XD7", D1_D4_D7},
        TypedCase{"d1d4d7", D1_D4_D7}, TypedCase{"D1D4D7", D1_D4_D7},
        TypedCase{"D10C9H4", D10_C9_H4}, TypedCase{"d10-c9/h4", D10_C9_H4},
        TypedCase{"J10J1A10", {9, 99, 0}}, TypedCase{"A10-A1 (A10)", {0, 90, 0}},
        // Not a move: trailing or missing text, squares off the board, mixed forms.
        TypedCase{"D1-D4 (D7)x", {}}, TypedCase{"D1-D4 (D7) junk", {}},
        TypedCase{"D1-D4 (D7", {}}, TypedCase{"D1-D4 D7", {}}, TypedCase{"D1-D4D7", {}},
        TypedCase{"D1D4/D7", {}}, TypedCase{"D1 - D4 (D7)", {}}, TypedCase{"D1-D4 / D7", {}},
        TypedCase{"D1-D4 (K7)", {}}, TypedCase{"K2A1A2", {}}, TypedCase{"A0A1A2", {}},
        TypedCase{"A11A1A2", {}}, TypedCase{"D1D4", {}}, TypedCase{"D1D4D7D8", {}},
        TypedCase{"D01D4D7", {}}, TypedCase{"", {}}, TypedCase{"   ", {}},
        TypedCase{"D1-D4 (D7))", {}}, TypedCase{"D1-D4xxD7", {}}));

TEST(ParseTypedMove, ReadsEveryMoveItWritesInEachForm) {
    for (Square s = 0; s < 100; ++s) {
        const Move m{s, 99 - s, (s * 37) % 100};
        const std::string a = squareText(m.from), b = squareText(m.to), c = squareText(m.arrow);
        for (const std::string& text : {moveText(m), a + b + c, a + "-" + b + "/" + c}) {
            Move back;
            ASSERT_TRUE(parseTypedMove(text, back)) << text;
            EXPECT_EQ(back, m) << text;
        }
    }
}

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
