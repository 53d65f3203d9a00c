#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "records/file_utils.h"
#include "support/temp_dir.h"

namespace wintarvo {
namespace {

using testing::fileBytes;
using testing::TempDir;
using testing::writeFileBytes;
using Lines = std::vector<std::string>;

struct SplitCase {
    const char* name;
    std::string text;
    Lines expected;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, CutsAtEveryCrAndLf) {
    Lines lines{"before"};
    splitLines(GetParam().text, lines);
    Lines expected{"before"};
    expected.insert(expected.end(), GetParam().expected.begin(), GetParam().expected.end());
    EXPECT_EQ(lines, expected);
}

const SplitCase SPLIT_CASES[] = {
    {"Empty", "", {}},
    {"OnlyLineEnds", "\r\n\n\r\r", {}},
    {"OneLineWithoutEnd", "abc", {"abc"}},
    {"CrLf", "a\r\nb\r\n", {"a", "b"}},
    {"EveryKindOfEnd", "a\rb\nc\r\nd\n\re", {"a", "b", "c", "d", "e"}},
    {"BlankLinesGiveNothing", "\n\na\n\n\nb", {"a", "b"}},
    {"BlanksStayInTheLine", " a \r\n\t", {" a ", "\t"}},
    {"NulIsAnOrdinaryByte",
     std::string("a\0b\n\0", 5),
     {std::string("a\0b", 3), std::string(1, '\0')}},
};

INSTANTIATE_TEST_SUITE_P(Texts, SplitLines, ::testing::ValuesIn(SPLIT_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileUtils, EveryByteValueSurvivesAWriteAndARead) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    ASSERT_TRUE(writeWholeFile(dir.file("bytes"), bytes));
    std::string text = "kept:";
    ASSERT_TRUE(readWholeFile(dir.file("bytes"), text));
    EXPECT_EQ(text, "kept:" + bytes);
}

TEST(FileUtils, FailedReadsLeaveTheirOutputAlone) {
    TempDir dir;
    std::string text = "kept";
    EXPECT_FALSE(readWholeFile(dir.file("missing"), text));
    EXPECT_FALSE(readWholeFile(dir.path(), text));
    EXPECT_EQ(text, "kept");

    writeFileBytes(dir.file("empty"), "");
    Lines lines{"kept"};
    EXPECT_TRUE(readWholeFile(dir.file("empty"), text));  // an empty file reads as nothing
    EXPECT_FALSE(readLines(dir.file("empty"), lines));    // but gives no lines
    EXPECT_FALSE(readLines(dir.file("missing"), lines));
    EXPECT_EQ(lines, Lines{"kept"});
    EXPECT_EQ(text, "kept");
}

TEST(FileUtils, ReadLinesAppendsTheLinesOfTheFile) {
    TempDir dir;
    writeFileBytes(dir.file("lines"), "one\r\n\r\ntwo\nthree");
    Lines lines{"zero"};
    ASSERT_TRUE(readLines(dir.file("lines"), lines));
    EXPECT_EQ(lines, (Lines{"zero", "one", "two", "three"}));
}

TEST(FileUtils, WriteLinesEndsEveryLineWithCrLf) {
    TempDir dir;
    ASSERT_TRUE(writeLines(dir.file("lines"), {"a", "", "b c"}));
    EXPECT_EQ(fileBytes(dir.file("lines")), "a\r\n\r\nb c\r\n");
    EXPECT_FALSE(writeLines(dir.file("none"), {}));
    EXPECT_EQ(dir.entries(), Lines{"lines"});
}

TEST(FileUtils, ReadsUpToTheLimitAndNoFurther) {
    TempDir dir;
    // Exactly at the limit: blank lines and one last line that must arrive whole.
    std::string text(MAX_READ_BYTES - 6, '\n');
    text += "last\r\n";
    writeFileBytes(dir.file("at-limit"), text);
    Lines lines;
    ASSERT_TRUE(readLines(dir.file("at-limit"), lines));
    EXPECT_EQ(lines, Lines{"last"});

    writeFileBytes(dir.file("over-limit"), text + "x");
    std::string read;
    EXPECT_FALSE(readWholeFile(dir.file("over-limit"), read));
    EXPECT_EQ(read, "");
}

TEST(FileUtils, FileExistsForAnythingAtThePath) {
    TempDir dir;
    writeFileBytes(dir.file("file"), "x");
    ASSERT_EQ(::symlink("nowhere", dir.file("dangling").c_str()), 0);
    EXPECT_TRUE(fileExists(dir.file("file")));
    EXPECT_TRUE(fileExists(dir.path()));
    EXPECT_FALSE(fileExists(dir.file("missing")));
    EXPECT_FALSE(fileExists(dir.file("dangling")));
    EXPECT_FALSE(fileExists(dir.file("file/below")));
}

TEST(FileUtils, AnEmptyPathFailsEverywhere) {
    std::string text;
    Lines lines;
    EXPECT_FALSE(fileExists(""));
    EXPECT_FALSE(readWholeFile("", text));
    EXPECT_FALSE(readLines("", lines));
    EXPECT_FALSE(writeWholeFile("", "x"));
    EXPECT_FALSE(writeLines("", {"x"}));
}

}  // namespace
}  // namespace wintarvo
