// The small text helpers the readers share, and the names of the sides.
#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "model/side.h"
#include "model/text.h"

namespace wintarvo {
namespace {

TEST(Text, IntegersFollowOneRule) {
    const std::pair<const char*, std::optional<int>> rows[] = {
        {"0", 0},           {"+7", 7},  {"-1", -1},  {"-2147483648", INT_MIN},
        {"2147483648", {}}, {"", {}},   {"+", {}},   {"+-5", {}},
        {"-+5", {}},        {" 5", {}}, {"1.5", {}}, {"0x10", {}}};
    for (const auto& [input, value] : rows)
        EXPECT_EQ(text::parseInteger(input), value) << input;
}

TEST(Text, BlanksCaseAndQuoting) {
    EXPECT_EQ(text::trimmed(" \t D1D4D7\r\n", text::TYPED_MOVE_BLANKS), "D1D4D7");
    EXPECT_EQ(text::trimmed("\v18\f", text::SGF_BLANKS), "18");
    EXPECT_EQ(text::trimmed("\v18\f", text::GTP_BLANKS), "\v18\f");
    EXPECT_EQ(text::trimmed(" \t ", text::RECORD_BLANKS), "");
    EXPECT_TRUE(text::isBlankText("", text::RECORD_BLANKS));
    EXPECT_FALSE(text::isBlankText(" \r", text::RECORD_BLANKS));
    EXPECT_EQ(text::lowerCase("AmAzOnS \xC4"), "amazons \xC4");
    EXPECT_TRUE(text::equalsIgnoringCase("White", "wHITE"));
    EXPECT_FALSE(text::equalsIgnoringCase("White", "Whites"));
    EXPECT_TRUE(text::endsWithIgnoringCase("game.SGF", ".sgf"));
    EXPECT_FALSE(text::endsWithIgnoringCase("sgf", ".sgf"));
    EXPECT_EQ(text::quoted(std::string("a\0\x1b\xff", 4) + "bcd", 5), "a???b...");
}

static_assert(sideOf(0) == Side::White && sideOf(1) == Side::Black);
static_assert(sideIndex(Side::Black) == 1 && otherSide(Side::White) == Side::Black);
static_assert(sideName(Side::White) == "White" && gtpColour(Side::Black) == "black");

}  // namespace
}  // namespace wintarvo
