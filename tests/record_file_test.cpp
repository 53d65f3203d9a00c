#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>

#include "records/file_utils.h"
#include "records/game_file.h"
#include "records/record_file.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

using testing::exitCodeOfChild;
using testing::fileBytes;
using testing::TempDir;
using testing::writeFileBytes;

const Move A4_A5_A6{60, 50, 40};
const Move D10_D9_C9{3, 13, 12};
const Move D1_D4_D7{93, 63, 33};
const Move SENTINEL{1, 2, 3};
const std::string EXAMPLE = "'Amazon Record File\r\nA4-A5 (A6)\r\nD10-D9 (C9)\r\n'End of File\r\n";
const std::string OLD_CONTENT = "'Amazon Record File\r\nJ4-J5 (J6)\r\n'End of File\r\n";

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(RecordFile, WritesTheExampleByteForByteAndReadsItBack) {
    TempDir dir;
    const std::string path = dir.file("game.amz");
    RecordFile out;
    out.setMoves({A4_A5_A6, D10_D9_C9});
    ASSERT_TRUE(out.writeRecord(path));
    EXPECT_EQ(fileBytes(path), EXAMPLE);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"game.amz"});

    RecordFile in;
    ASSERT_TRUE(in.readRecord(path));
    MoveList moves;
    ASSERT_TRUE(in.getMoves(moves));
    EXPECT_EQ(moves, (MoveList{A4_A5_A6, D10_D9_C9}));
}

TEST(RecordFile, WithoutMovesWritesHeaderAndTrailer) {
    TempDir dir;
    ASSERT_TRUE(RecordFile().writeRecord(dir.file("empty.amz")));
    EXPECT_EQ(fileBytes(dir.file("empty.amz")), "'Amazon Record File\r\n'End of File\r\n");
}

TEST(RecordFile, GetMovesCopiesAndLeavesTheCallersListAloneWhenEmpty) {
    RecordFile record;
    MoveList moves{D1_D4_D7};
    EXPECT_FALSE(record.getMoves(moves));
    EXPECT_EQ(moves, MoveList{D1_D4_D7});

    MoveList given{A4_A5_A6};
    record.setMoves(given);
    given.push_back(D10_D9_C9);  // a copy was taken
    ASSERT_TRUE(record.getMoves(moves));
    EXPECT_EQ(moves, MoveList{A4_A5_A6});
}

// ---------------------------------------------------------------------------------------------
// Reading: which lines are moves.

struct ReadCase {
    const char* name;
    std::string content;
    MoveList expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class RecordReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(RecordReading, ReplacesTheListWithTheMovesOfTheFile) {
    TempDir dir;
    const std::string path = dir.file("game.amz");
    writeFileBytes(path, GetParam().content);
    RecordFile record;
    record.setMoves({SENTINEL});
    testing::TraceCapture trace;
    ASSERT_TRUE(record.readRecord(path));
    EXPECT_EQ(trace.text(), "");

    MoveList moves{SENTINEL};
    EXPECT_EQ(record.getMoves(moves), !GetParam().expected.empty());
    EXPECT_EQ(moves, GetParam().expected.empty() ? MoveList{SENTINEL} : GetParam().expected);
}

const ReadCase READ_CASES[] = {
    {"CrLf", EXAMPLE, {A4_A5_A6, D10_D9_C9}},
    {"LfOnly",
     "'Amazon Record File\nA4-A5 (A6)\nD10-D9 (C9)\n'End of File\n",
     {A4_A5_A6, D10_D9_C9}},
    {"CrOnly", "A4-A5 (A6)\rD10-D9 (C9)\r", {A4_A5_A6, D10_D9_C9}},
    {"BlankLinesBetween",
     "\r\n\r\nA4-A5 (A6)\r\n\r\n\n\nD10-D9 (C9)\r\n\r\n",
     {A4_A5_A6, D10_D9_C9}},
    {"NoFinalLineBreak", "'Amazon Record File\r\nA4-A5 (A6)\r\nD10-D9 (C9)", {A4_A5_A6, D10_D9_C9}},
    {"NoHeaderOrTrailer", "D1-D4 (D7)", {D1_D4_D7}},
    {"CompactMove", "A4A5A6\r\n", {A4_A5_A6}},
    // Seven characters: taken for the full notation, which it is not.
    {"CompactRankTenNotRead", "D10D9C9\r\nA4A5A6\r\n", {A4_A5_A6}},
    {"NoBlankBeforeParenthesis", "D1-D4(D7)\r\n", {D1_D4_D7}},
    {"NoClosingParenthesis", "D1-D4 (D7\r\n", {D1_D4_D7}},
    {"BlankAtLineStart", " D1-D4 (D7)\r\nA4A5A6\r\n", {A4_A5_A6}},
    {"BlanksAroundHyphen", "D1 - D4 (D7)\r\nD1 -D4 (D7)\r\nD1- D4 (D7)\r\n", {}},
    // Each of these would read as a move on the board if its first character were not
    // looked at; only an upper-case N counts.
    {"ApostropheLinesAnywhere",
     "'5-A1 (A2)\r\nA4-A5 (A6)\r\n'5-A1 (A2)\r\n'End of File\r\n",
     {A4_A5_A6}},
    {"UpperCaseNLinesSkipped", "N5-A1 (A2)\r\nA4-A5 (A6)\r\nN5-A1 (A2)\r\n", {A4_A5_A6}},
    {"LowerCaseNIsReadAsNoSquare", "n5-A1 (A2)\r\n", {{-1, 90, 80}}},
    {"LowerCaseSquares", "d1-d4 (d7)\r\na4a5a6\r\n", {D1_D4_D7, A4_A5_A6}},
    {"LetterOrRankOffTheBoard",
     "K2-A1 (A2)\r\nA0-A1 (A2)\r\nA11-A1 (A2)\r\nK2A1A2\r\n",
     {{-1, 90, 80}, {-1, 90, 80}, {-1, 90, 80}}},
    {"SquareOffTheBoardKeptAsMinusOne", "Z1-A1 (A2)\r\n", {{-1, 90, 80}}},
    {"HighByteLetterOffTheBoard",
     "\xC4"
     "4-A5 (A6)\r\n",
     {{-1, 50, 40}}},
    {"LinesAfterTheTrailer", EXAMPLE + "J4-J5 (J6)\r\n", {A4_A5_A6, D10_D9_C9, {69, 59, 49}}},
    {"OnlyHeaderAndTrailer", "'Amazon Record File\r\n'End of File\r\n", {}},
    {"OnlyLineEnds", "\r\n\n\r", {}},
    {"ByteOrderMarkBeforeAMove",
     "\xEF\xBB\xBF"
     "A4-A5 (A6)\r\n",
     {A4_A5_A6}},
    // A NUL ends what the move parser looks at, like the end of the line.
    {"NulBytes", std::string("A4-A5 (A6)\0D1\r\nA4A5\0\0\r\n\0\0\0", 26), {A4_A5_A6}},
    {"BinaryJunk",
     std::string("\x00\xff\x80\x7f\r\x01\n\x00\x00"
                 "A4\xfe\xff-(\x00",
                 16),
     {}},
};

INSTANTIATE_TEST_SUITE_P(Lines, RecordReading, ::testing::ValuesIn(READ_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordFile, LinesAreNumberedAsAnEditorNumbersThem) {
    // CR LF, LF and CR each end one line; blank and skipped lines count. A byte-order mark is
    // no part of the first line.
    const std::string text =
        "\xEF\xBB\xBF"
        "A4-A5 (A6)\r\n'x\r\n\r\n\nD10-D9 (C9)\rx\r  \rN1\rD1D4D7";
    std::vector<std::pair<int, std::string>> lines;
    readRecordLines(text, [&lines](int number, std::string_view line, const Move* m) {
        lines.emplace_back(number,
                           m != nullptr ? moveText(*m) : "not a move: " + std::string(line));
    });
    EXPECT_EQ(lines,
              (std::vector<std::pair<int, std::string>>{
                  {1, "A4-A5 (A6)"}, {5, "D10-D9 (C9)"}, {6, "not a move: x"}, {9, "D1-D4 (D7)"}}));
}

TEST(RecordFile, TheHeaderMarksARecord) {
    EXPECT_TRUE(beginsWithRecordHeader(EXAMPLE));
    EXPECT_TRUE(beginsWithRecordHeader("'Amazon Record File"));
    EXPECT_TRUE(beginsWithRecordHeader("\xEF\xBB\xBF'Amazon Record File\nA4-A5 (A6)"));
    EXPECT_FALSE(beginsWithRecordHeader(""));
    EXPECT_FALSE(beginsWithRecordHeader("\r\n'Amazon Record File\r\n"));
    EXPECT_FALSE(beginsWithRecordHeader("'Amazon Record File, edited\r\n"));
    EXPECT_FALSE(beginsWithRecordHeader("A4-A5 (A6)\r\n"));
}

// ---------------------------------------------------------------------------------------------
// Reading: files that are refused. Each must fail quickly and keep the list as it was.

struct RefusedReadCase {
    const char* name;
    // Prepares the thing to read inside the folder and returns its path (none to skip).
    std::function<std::optional<std::string>(const TempDir&)> prepare;
    // What the reader says about it (None: an empty file, read but refused; nothing where the
    // system decides).
    std::optional<ReadFailure> cause;
};

void PrintTo(const RefusedReadCase& c, std::ostream* os) { *os << c.name; }

class RefusedReading : public ::testing::TestWithParam<RefusedReadCase> {};

TEST_P(RefusedReading, FailsQuicklyAndKeepsTheList) {
    TempDir dir;
    const auto path = GetParam().prepare(dir);
    if (!path) GTEST_SKIP() << "not available on this machine";
    RecordFile record;
    record.setMoves({SENTINEL});
    testing::TraceCapture trace;
    const auto start = std::chrono::steady_clock::now();
    ReadFailure failure = ReadFailure::Failed;
    EXPECT_FALSE(record.readRecord(*path, failure));
    EXPECT_LT(secondsSince(start), 5.0);
    if (GetParam().cause) {
        EXPECT_EQ(failure, *GetParam().cause);
    }
    EXPECT_EQ(trace.text(), "");  // only a missing file is reported
    MoveList moves;
    ASSERT_TRUE(record.getMoves(moves));
    EXPECT_EQ(moves, MoveList{SENTINEL});
}

std::optional<std::string> sparseFile(const TempDir& dir, off_t size) {
    const std::string path = dir.file("big.amz");
    writeFileBytes(path, "");
    if (::truncate(path.c_str(), size) != 0) return std::nullopt;
    return path;
}

// The path when something of the given type is there, so that a case this machine cannot set up
// is skipped instead of letting the save under test create a plain file in its place.
std::optional<std::string> existing(const std::string& path, mode_t type) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || (st.st_mode & S_IFMT) != type) return std::nullopt;
    return path;
}

const RefusedReadCase REFUSED_READ_CASES[] = {
    {"EmptyFile",
     [](const TempDir& dir) {
         writeFileBytes(dir.file("empty.amz"), "");
         return std::optional(dir.file("empty.amz"));
     },
     ReadFailure::None},
    {"Folder", [](const TempDir& dir) { return std::optional(dir.path()); }, ReadFailure::Folder},
    {"Fifo",
     [](const TempDir& dir) {
         ::mkfifo(dir.file("pipe.amz").c_str(), 0600);
         return existing(dir.file("pipe.amz"), S_IFIFO);
     },
     ReadFailure::NotRegularFile},
    {"EndlessDevice", [](const TempDir&) { return existing("/dev/zero", S_IFCHR); },
     ReadFailure::NotRegularFile},
    {"SparseFileOfThreeHundredMegabytes",
     [](const TempDir& dir) { return sparseFile(dir, off_t{300} << 20); }, ReadFailure::TooLarge},
    {"OneByteOverTheLimit",
     [](const TempDir& dir) { return sparseFile(dir, static_cast<off_t>(MAX_READ_BYTES) + 1); },
     ReadFailure::TooLarge},
    // A regular file that reports size 0 and would yield hundreds of gigabytes, where the
    // system lets it be read at all.
    {"FileThatUnderstatesItsSize",
     [](const TempDir&) { return existing("/proc/self/pagemap", S_IFREG); }, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Files, RefusedReading, ::testing::ValuesIn(REFUSED_READ_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordFile, MissingFileWritesTheTraceLineAndKeepsTheList) {
    TempDir dir;
    const std::string path = dir.file("nowhere.amz");
    RecordFile record;
    record.setMoves({SENTINEL});
    testing::TraceCapture trace;
    EXPECT_FALSE(record.readRecord(path));
    EXPECT_EQ(trace.text(), path + " does not exist\n");
    MoveList moves;
    ASSERT_TRUE(record.getMoves(moves));
    EXPECT_EQ(moves, MoveList{SENTINEL});
}

// ---------------------------------------------------------------------------------------------
// Writing: failures must report false with their cause and leave everything as it was.

struct RefusedWriteCase {
    const char* name;
    // Prepares the folder and returns the path to write to (none to skip).
    std::function<std::optional<std::string>(const TempDir&)> prepare;
    // Checks that the thing at the path is as it was.
    std::function<void(const std::string&)> check;
    const char* cause;  // as writeGameFile, the Save command's writer, says it
};

void PrintTo(const RefusedWriteCase& c, std::ostream* os) { *os << c.name; }

class RefusedWriting : public ::testing::TestWithParam<RefusedWriteCase> {};

TEST_P(RefusedWriting, ReportsFailureAndChangesNothing) {
    TempDir dir;
    writeFileBytes(dir.file("old.amz"), OLD_CONTENT);
    const auto path = GetParam().prepare(dir);
    if (!path) GTEST_SKIP() << "not available on this machine";
    const auto before = dir.entries();
    RecordFile record;
    record.setMoves({A4_A5_A6, D10_D9_C9});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(record.writeRecord(*path));
    EXPECT_LT(secondsSince(start), 5.0);
    std::string error;
    EXPECT_FALSE(writeGameFile(*path, GameFileFormat::Record, {A4_A5_A6}, {}, error));
    EXPECT_EQ(error, GetParam().cause);
    EXPECT_EQ(dir.entries(), before);  // no temporary file left behind
    EXPECT_EQ(fileBytes(dir.file("old.amz")), OLD_CONTENT);
    if (GetParam().check) GetParam().check(*path);
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

const RefusedWriteCase REFUSED_WRITE_CASES[] = {
    {"EmptyPath", [](const TempDir&) { return std::optional<std::string>(""); }, nullptr,
     "No such file or directory"},
    {"FolderThatDoesNotExist",
     [](const TempDir& dir) { return std::optional(dir.file("missing/game.amz")); }, nullptr,
     "the folder does not exist"},
    {"ParentIsARegularFile",
     [](const TempDir& dir) { return std::optional(dir.file("old.amz/game.amz")); }, nullptr,
     "a part of the path is a file, not a folder"},
    // A folder of the system's that takes no files.
    {"SystemFolder",
     [](const TempDir&) {
         return existing("/proc", S_IFDIR) ? std::optional<std::string>("/proc/x.amz")
                                           : std::nullopt;
     },
     nullptr, "no file can be created in that folder"},
    {"Folder",
     [](const TempDir& dir) {
         ::mkdir(dir.file("folder.amz").c_str(), 0755);
         return existing(dir.file("folder.amz"), S_IFDIR);
     },
     [](const std::string& path) { EXPECT_TRUE(S_ISDIR(statOf(path).st_mode)); },
     "a folder is in the way"},
    {"Fifo",
     [](const TempDir& dir) {
         ::mkfifo(dir.file("pipe.amz").c_str(), 0600);
         return existing(dir.file("pipe.amz"), S_IFIFO);
     },
     [](const std::string& path) { EXPECT_TRUE(S_ISFIFO(statOf(path).st_mode)); },
     "not a regular file"},
    {"FullDevice", [](const TempDir&) { return existing("/dev/full", S_IFCHR); },
     [](const std::string& path) {
         const struct stat st = statOf(path);
         EXPECT_TRUE(S_ISCHR(st.st_mode));
         EXPECT_EQ(st.st_rdev, makedev(1, 7));
     },
     "not a regular file"},
    // Following the link would create a file the user never named.
    {"LinkToNothing",
     [](const TempDir& dir) {
         ::symlink("nowhere.amz", dir.file("link.amz").c_str());
         return existing(dir.file("link.amz"), S_IFLNK);
     },
     [](const std::string& path) { EXPECT_TRUE(S_ISLNK(statOf(path).st_mode)); },
     "a link that leads nowhere"},
};

INSTANTIATE_TEST_SUITE_P(Paths, RefusedWriting, ::testing::ValuesIn(REFUSED_WRITE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordFileWriting, AWriteThatFailsMidwayKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("game.amz");
    writeFileBytes(path, OLD_CONTENT);
    const int code = exitCodeOfChild([&] {
        // The file size limit lets a small record through and stops a long one part of the way
        // in; without SIGXFSZ ignored the write would end the process instead of failing.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        if (!RecordFile().writeRecord(dir.file("small.amz"))) return 3;
        RecordFile large;
        large.setMoves(MoveList(40, A4_A5_A6));
        if (large.writeRecord(path)) return 4;
        std::string error;
        writeGameFile(path, GameFileFormat::Record, MoveList(40, A4_A5_A6), {}, error);
        return error == "too large (beyond the file size limit)" ? 0 : 5;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fileBytes(path), OLD_CONTENT);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"game.amz", "small.amz"}));
}

TEST(RecordFileWriting, AWriteProtectedFileIsKept) {
    TempDir dir;
    const std::string path = dir.file("game.amz");
    writeFileBytes(path, OLD_CONTENT);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    // The folder itself is open to everyone, so only the file's own protection can stop the
    // save. Root ignores that protection; the save is then tried as an ordinary user.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const int code = exitCodeOfChild([&] {
        if (!testing::becomeOrdinaryUser()) return 2;
        RecordFile record;
        record.setMoves({A4_A5_A6});
        if (record.writeRecord(path)) return 3;
        std::string error;
        writeGameFile(path, GameFileFormat::Record, {A4_A5_A6}, {}, error);
        return error == "not writable (permission denied)" ? 0 : 5;
    });
    if (code == 2) GTEST_SKIP() << "cannot act as an ordinary user here";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fileBytes(path), OLD_CONTENT);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"game.amz"});
}

TEST(RecordFile, AFileTheUserMayNotReadSaysSo) {
    TempDir dir;
    const std::string path = dir.file("game.amz");
    writeFileBytes(path, EXAMPLE);
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    // Root reads any file; the read is tried as an ordinary user.
    const int code = exitCodeOfChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 2;
        RecordFile record;
        ReadFailure failure = ReadFailure::None;
        if (record.readRecord(path, failure)) return 3;
        return failure == ReadFailure::NoPermission ? 0 : 4;
    });
    if (code == 2) GTEST_SKIP() << "cannot act as an ordinary user here";
    EXPECT_EQ(code, 0);
}

// ---------------------------------------------------------------------------------------------
// Writing: successful saves.

TEST(RecordFileWriting, OverwriteReplacesTheWholeContentAndKeepsThePermissions) {
    TempDir dir;
    const std::string path = dir.file("game.amz");
    writeFileBytes(path, OLD_CONTENT + std::string(5000, 'x'));  // longer than the new record
    ASSERT_EQ(::chmod(path.c_str(), 0664), 0);                   // wider than the umask allows
    RecordFile record;
    record.setMoves({A4_A5_A6, D10_D9_C9});
    const mode_t previous = ::umask(022);
    const bool written = record.writeRecord(path);
    ::umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(fileBytes(path), EXAMPLE);
    EXPECT_EQ(statOf(path).st_mode & 07777, 0664u);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"game.amz"});
}

TEST(RecordFileWriting, NewFileGetsOrdinaryPermissions) {
    for (const mode_t mask : {mode_t{022}, mode_t{077}}) {
        TempDir dir;
        const mode_t previous = ::umask(mask);
        const bool written = RecordFile().writeRecord(dir.file("game.amz"));
        ::umask(previous);
        ASSERT_TRUE(written);
        EXPECT_EQ(statOf(dir.file("game.amz")).st_mode & 07777, 0666u & ~mask) << mask;
    }
}

TEST(RecordFileWriting, ThroughALinkReplacesTheFileAndKeepsTheLink) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("games").c_str(), 0755), 0);
    const std::string target = dir.file("games/game.amz");
    writeFileBytes(target, OLD_CONTENT);
    ASSERT_EQ(::symlink("games/game.amz", dir.file("link.amz").c_str()), 0);
    RecordFile record;
    record.setMoves({A4_A5_A6, D10_D9_C9});
    ASSERT_TRUE(record.writeRecord(dir.file("link.amz")));
    EXPECT_TRUE(S_ISLNK(statOf(dir.file("link.amz")).st_mode));
    EXPECT_EQ(fileBytes(target), EXAMPLE);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"games", "link.amz"}));
    // Nothing is left over beside the target either.
    const std::filesystem::directory_iterator games(dir.file("games"));
    EXPECT_EQ(std::distance(begin(games), end(games)), 1);
}

}  // namespace
}  // namespace wintarvo
