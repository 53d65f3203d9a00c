// The one reader of game files, over the table of files that every front end is also tested
// with; and the one writer, whose failures name their cause, tried on real files.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <optional>

#include "model/text.h"
#include "records/file_utils.h"
#include "records/game_file.h"
#include "support/game_file_cases.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

using testing::fileBytes;
using testing::TempDir;
using testing::writeFileBytes;

const std::string DATA = WINTARVO_TEST_DATA "/";

TEST(GameFile, ReadsEveryFileOfTheTableAsItsRowSays) {
    for (const testing::GameFileCase& c : testing::gameFileCases()) {
        SCOPED_TRACE(c.file);
        GameFile file;
        std::string error;
        const bool read = readGameFile(DATA + c.file, file, error);
        EXPECT_EQ(file.format, c.format);
        if (c.error != nullptr) {
            EXPECT_FALSE(read);
            EXPECT_EQ(error, c.error);
            continue;
        }
        ASSERT_TRUE(read) << error;
        EXPECT_EQ(file.recordHeader, c.recordHeader);
        EXPECT_EQ(file.moves, c.gameMoves());
        EXPECT_EQ(file.places, c.places);
        std::vector<std::pair<int, SkippedLine::Cause>> skipped;
        for (const SkippedLine& s : file.skipped)
            skipped.emplace_back(s.line, s.cause);
        EXPECT_EQ(skipped, c.skipped);
        EXPECT_EQ(file.skippedCount, c.skipped.size());
        EXPECT_EQ(file.holdsMoves(), c.windowOpens());
    }
}

TEST(GameFile, SkippedLinesAreQuotedSafely) {
    GameFile file;
    std::string error;
    ASSERT_TRUE(readGameFile(DATA + "game_files/record_skipped_lines.amz", file, error));
    ASSERT_EQ(file.skipped.size(), 4u);
    EXPECT_EQ(file.skipped[0].text, "hello there");
    EXPECT_EQ(file.skipped[1].text, "A4-A5 (A6)");
    EXPECT_EQ(file.skipped[3].text, "?[31mred?");  // no escape sequence reaches a terminal

    // A file of nothing but junk is read whole; only the first lines keep their text.
    std::string junk;
    for (int i = 0; i < 3000; ++i)
        junk += "junk\n";
    ASSERT_TRUE(readGameText(junk, file, error));
    EXPECT_EQ(file.skipped.size(), MAX_SKIPPED_KEPT);
    EXPECT_EQ(file.skippedCount, 3000u);
}

TEST(GameFile, FilesThatCannotBeReadSayWhy) {
    TempDir dir;
    testing::TraceCapture trace;
    GameFile file;
    std::string error;
    EXPECT_FALSE(readGameFile(dir.file("missing.amz"), file, error));
    EXPECT_EQ(error, "no such file");
    EXPECT_EQ(trace.lines(), std::vector<std::string>{dir.file("missing.amz") + " does not exist"});
    EXPECT_FALSE(readGameFile(dir.path(), file, error));
    EXPECT_EQ(error, "a folder, not a file");
}

// ---------------------------------------------------------------------------------------------
// Writing: the causes that need a setting of their own, on real files (record_file_test.cpp
// has the odd paths).

const std::string OLD = "'Amazon Record File\r\nJ4-J5 (J6)\r\n'End of File\r\n";

// Mounts a file system of 16 KiB at where, in a mount namespace of this process alone (a user
// namespace too where the user is not root). False where the system allows neither.
bool mountSmallFileSystem(const std::string& where, bool readOnly) {
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("none", where.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, "size=16k") == 0;
}

struct WriteCase {
    const char* name;
    // Sets the process up (in a child of the test) and gives the path to save to; nothing
    // where this machine cannot.
    std::function<std::optional<std::string>(const TempDir&)> enter;
    const char* cause;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class WriteFailures : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteFailures, NameTheirCauseAndKeepTheOldFile) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);  // for the ordinary user
    writeFileBytes(dir.file("old.amz"), OLD);
    ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0777), 0);
    const std::string report = dir.file("error.txt");
    const int code = testing::exitCodeOfChild([&] {
        const auto path = GetParam().enter(dir);
        if (!path) return 2;
        // A long game, so that the small file system cannot take it.
        std::string error;
        if (writeGameFile(*path, GameFileFormat::Record, MoveList(2000, Move{60, 50, 40}), {},
                          error))
            return 3;
        std::ofstream(report) << error;
        return 0;
    });
    if (code == 2) GTEST_SKIP() << "this machine cannot set the case up: " << GetParam().name;
    ASSERT_EQ(code, 0) << "the save did not fail";
    EXPECT_EQ(fileBytes(report), GetParam().cause);
    EXPECT_EQ(fileBytes(dir.file("old.amz")), OLD);
}

const WriteCase WRITE_CASES[] = {
    // Root may create files anywhere: the save is made as an ordinary user.
    {"FolderWithoutWritePermission",
     [](const TempDir& d) -> std::optional<std::string> {
         if (::chmod(d.file("sub").c_str(), 0555) != 0 || !testing::becomeOrdinaryUser())
             return std::nullopt;
         return d.file("sub/x.amz");
     },
     "not writable (permission denied)"},
    {"NoSpace",
     [](const TempDir& d) -> std::optional<std::string> {
         if (!mountSmallFileSystem(d.file("sub"), false)) return std::nullopt;
         return d.file("sub/x.amz");
     },
     "no space left on the device"},
    {"ReadOnlyFileSystem",
     [](const TempDir& d) -> std::optional<std::string> {
         if (!mountSmallFileSystem(d.file("sub"), true)) return std::nullopt;
         return d.file("sub/x.amz");
     },
     "the file system is read-only"},
};

INSTANTIATE_TEST_SUITE_P(Files, WriteFailures, ::testing::ValuesIn(WRITE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GameFileWriting, AFailureThatLostTheOldBytesSaysSo) {
    EXPECT_EQ(writeFailureText({WriteFailure::NoSpace, ENOSPC, true}),
              "no space left on the device; putting its old content back failed too, so the "
              "file may now be damaged");
    EXPECT_EQ(writeFailureText({WriteFailure::Failed, EIO, false}), "Input/output error");
}

}  // namespace
}  // namespace wintarvo
