#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "records/file_utils.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace wintarvo {
namespace {

using testing::exitCodeOfChild;
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

// ---------------------------------------------------------------------------------------------
// Saving keeps the file the user has: its other names, owner, group and permission bits.

const std::string OLD_BYTES = "old record\r\n" + std::string(3000, 'o');

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct KeptFileCase {
    const char* name;
    // Gives the file or folder to someone else, which only root can do.
    bool needsRoot;
    // The save runs as an ordinary user (nobody, when the tests run as root).
    bool byOrdinaryUser;
    // A rename could keep this identity; otherwise the file itself must be the one written.
    bool mayBeRenamed;
    std::string newBytes;
    // Prepares dir/game.amz, which holds OLD_BYTES; false when this machine cannot.
    std::function<bool(const TempDir&)> prepare;
};

void PrintTo(const KeptFileCase& c, std::ostream* os) { *os << c.name; }

class SavingKeepsTheFile : public ::testing::TestWithParam<KeptFileCase> {};

TEST_P(SavingKeepsTheFile, AndEveryOtherNameOfItSeesTheNewBytes) {
    const KeptFileCase& c = GetParam();
    if (c.needsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user or group needs root; "
                        "tests/campaigns/save_faults.sh covers it as an ordinary user";
    TempDir dir;
    const std::string path = dir.file("game.amz");
    writeFileBytes(path, OLD_BYTES);
    ASSERT_EQ(::chmod(path.c_str(), 0664), 0);
    ASSERT_TRUE(c.prepare(dir));
    const auto entries = dir.entries();
    const struct stat before = statOf(path);

    const int code = exitCodeOfChild([&] {
        if (c.byOrdinaryUser && !testing::becomeOrdinaryUser()) return 2;
        return writeWholeFile(path, c.newBytes) ? 0 : 1;
    });
    ::chmod(dir.path().c_str(), 0700);  // so that the folder can be removed
    if (code == 2) GTEST_SKIP() << "cannot act as an ordinary user here";
    ASSERT_EQ(code, 0);

    EXPECT_EQ(fileBytes(path), c.newBytes);
    EXPECT_EQ(dir.entries(), entries);  // no temporary file left behind
    const struct stat after = statOf(path);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_nlink, before.st_nlink);
    if (!c.mayBeRenamed) {
        EXPECT_EQ(after.st_ino, before.st_ino);
    }
    for (const auto& name : entries)
        EXPECT_EQ(fileBytes(dir.file(name)), c.newBytes) << name;
}

const KeptFileCase KEPT_FILE_CASES[] = {
    // Shorter than the old bytes, so the file must also be cut to length.
    {"SecondHardLink", false, false, false, "new\r\n",
     [](const TempDir& dir) {
         return ::link(dir.file("game.amz").c_str(), dir.file("other.amz").c_str()) == 0;
     }},
    // Saved by root, the file stays its owner's.
    {"AnotherOwner", true, false, false, "new\r\n",
     [](const TempDir& dir) { return ::chown(dir.file("game.amz").c_str(), 65534, 65534) == 0; }},
    {"AnotherGroup", true, false, true, "new\r\n",
     [](const TempDir& dir) { return ::chown(dir.file("game.amz").c_str(), 0, 65534) == 0; }},
    // The user owns and may write the file but may not create files beside it. Longer than
    // the old bytes and than one write's worth.
    {"FolderThatTakesNoNewFiles", false, true, false, std::string(40000, 'n'),
     [](const TempDir& dir) {
         return ::chown(dir.file("game.amz").c_str(), testing::ordinaryUserId(),
                        testing::ordinaryGroupId()) == 0 &&
                ::chmod(dir.path().c_str(), 0555) == 0;
     }},
};

INSTANTIATE_TEST_SUITE_P(Files, SavingKeepsTheFile, ::testing::ValuesIn(KEPT_FILE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileUtilsSaving, AFailedWriteInPlacePutsTheOldBytesBack) {
    TempDir dir;
    const std::string path = dir.file("game.amz");
    writeFileBytes(path, OLD_BYTES);
    ASSERT_EQ(::link(path.c_str(), dir.file("other.amz").c_str()), 0);
    const ino_t inode = statOf(path).st_ino;
    const int code = exitCodeOfChild([&] {
        // The size limit lets the old bytes back in and stops the new ones part of the way;
        // without SIGXFSZ ignored the write would end the process instead of failing.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        return writeWholeFile(path, std::string(10000, 'n')) ? 1 : 0;
    });
    if (code == 2) GTEST_SKIP() << "cannot limit the file size here";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fileBytes(path), OLD_BYTES);
    EXPECT_EQ(statOf(path).st_ino, inode);
    EXPECT_EQ(dir.entries(), (Lines{"game.amz", "other.amz"}));
}

// A folder whose path is exactly length characters long, made a step at a time below dir.
std::string deepFolder(const TempDir& dir, std::size_t length) {
    std::string path = dir.path();
    int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (folder >= 0 && path.size() < length) {
        // Steps of up to 200 characters, the last two shared so that neither is empty.
        const std::size_t left = length - path.size();
        const std::size_t step = left > 400 ? 200 : left > 201 ? left / 2 : left - 1;
        const std::string name(step, 'd');
        const int next = ::mkdirat(folder, name.c_str(), 0700) == 0
                             ? ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                             : -1;
        ::close(folder);
        folder = next;
        path += "/" + name;
    }
    if (folder >= 0) ::close(folder);
    return folder >= 0 ? path : "";
}

TEST(FileUtilsSaving, WorksInAFolderWhosePathIsNearTheSystemLimit) {
    TempDir dir;
    // With "/x.amz" the path is just within PATH_MAX (4096 with its terminating NUL), as it
    // is for any other program that writes x.amz there; a save's own names must not add to it.
    const std::string folder = deepFolder(dir, 4078);
    ASSERT_EQ(folder.size(), 4078u);
    const std::string path = folder + "/x.amz";
    ASSERT_TRUE(writeWholeFile(path, OLD_BYTES));
    ASSERT_TRUE(writeWholeFile(path, "new\r\n"));
    std::string text;
    ASSERT_TRUE(readWholeFile(path, text));
    EXPECT_EQ(text, "new\r\n");
    EXPECT_EQ(entriesOf(folder), Lines{"x.amz"});
}

}  // namespace
}  // namespace wintarvo
