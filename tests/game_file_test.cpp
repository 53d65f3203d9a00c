// The one reader of game files, over the table of files that every front end is also tested
// with; and the one writer, whose failures name their cause, tried on real files.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>

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
        Position end;
        end.setStartPosition();
        for (const Move& m : file.moves)
            end.applyMove(m);
        EXPECT_FALSE(file.position.differs(end));
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
    writeFileBytes(dir.file("huge.sgf"), "(;GM[18]C[" + std::string(MAX_READ_BYTES, 'x') + "])");
    EXPECT_FALSE(readGameFile(dir.file("huge.sgf"), file, error));
    EXPECT_EQ(error, "larger than the limit of 4 MiB");
}

// ---------------------------------------------------------------------------------------------
// Writing: each cause of a failed save, on real files.

const std::string OLD = "'Amazon Record File\r\nJ4-J5 (J6)\r\n'End of File\r\n";

// What the save runs as or in, set up in a child process of its own.
enum class Setting { Plain, OrdinaryUser, SmallFileSystem, ReadOnlyFileSystem, SizeLimit };

// A file system of 16 KiB mounted at where, in a mount namespace of this process alone (a
// user namespace too where the user is not root). False where the system allows neither.
bool mountSmallFileSystem(const std::string& where, bool readOnly) {
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    const unsigned long flags = readOnly ? MS_RDONLY : 0;
    return ::mount("none", where.c_str(), "tmpfs", flags, "size=16k") == 0;
}

// Sets the process up for the save; false where this machine cannot.
bool enter(Setting setting, const TempDir& dir) {
    switch (setting) {
        case Setting::Plain:
            return true;
        case Setting::OrdinaryUser:
            return testing::becomeOrdinaryUser();
        case Setting::SmallFileSystem:
            return mountSmallFileSystem(dir.file("small"), false);
        case Setting::ReadOnlyFileSystem:
            return mountSmallFileSystem(dir.file("small"), true);
        case Setting::SizeLimit: {
            // Without SIGXFSZ ignored the write would end the process instead of failing.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        }
    }
    return false;
}

struct WriteCase {
    const char* name;
    Setting setting;
    // Prepares the folder (which holds old.amz) and gives the path to save to.
    std::function<std::string(const TempDir&)> prepare;
    const char* cause;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class WriteFailures : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteFailures, NameTheirCauseAndKeepTheOldFile) {
    const WriteCase& c = GetParam();
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);  // for the ordinary user
    writeFileBytes(dir.file("old.amz"), OLD);
    ASSERT_EQ(::mkdir(dir.file("small").c_str(), 0777), 0);
    const std::string path = c.prepare(dir);
    const std::string report = dir.file("error.txt");
    // A long game, so that a small file system or a size limit cannot take it.
    MoveList moves(2000, Move{60, 50, 40});
    const int code = testing::exitCodeOfChild([&] {
        if (!enter(c.setting, dir)) return 2;
        std::string error;
        if (writeGameFile(path, GameFileFormat::Record, moves, {}, error)) return 3;
        std::ofstream(report) << error;
        return 0;
    });
    ::chmod(dir.file("folder").c_str(), 0777);
    if (code == 2) GTEST_SKIP() << "this machine cannot set the case up (" << c.name << ")";
    ASSERT_EQ(code, 0) << "the save did not fail";
    EXPECT_EQ(fileBytes(report), c.cause);
    EXPECT_EQ(fileBytes(dir.file("old.amz")), OLD);
}

const WriteCase WRITE_CASES[] = {
    {"FolderMissing", Setting::Plain, [](const TempDir& d) { return d.file("none/x.amz"); },
     "the folder does not exist"},
    {"FileWhereAFolderShouldBe", Setting::Plain,
     [](const TempDir& d) { return d.file("old.amz/x.amz"); },
     "a part of the path is a file, not a folder"},
    {"FolderInTheWay", Setting::Plain,
     [](const TempDir& d) {
         ::mkdir(d.file("x.amz").c_str(), 0755);
         return d.file("x.amz");
     },
     "a folder is in the way"},
    {"SystemFolder", Setting::Plain, [](const TempDir&) { return std::string("/proc/x.amz"); },
     "no file can be created in that folder"},
    {"Device", Setting::Plain, [](const TempDir&) { return std::string("/dev/full"); },
     "not a regular file"},
    {"LinkToNothing", Setting::Plain,
     [](const TempDir& d) {
         ::symlink("nowhere.amz", d.file("x.amz").c_str());
         return d.file("x.amz");
     },
     "a link that leads nowhere"},
    {"ReadOnlyFile", Setting::OrdinaryUser,
     [](const TempDir& d) {
         ::chmod(d.file("old.amz").c_str(), 0444);
         return d.file("old.amz");
     },
     "not writable (permission denied)"},
    {"ReadOnlyFolder", Setting::OrdinaryUser,
     [](const TempDir& d) {
         ::mkdir(d.file("folder").c_str(), 0555);
         return d.file("folder/x.amz");
     },
     "not writable (permission denied)"},
    {"NoSpace", Setting::SmallFileSystem, [](const TempDir& d) { return d.file("small/x.amz"); },
     "no space left on the device"},
    {"ReadOnlyFileSystem", Setting::ReadOnlyFileSystem,
     [](const TempDir& d) { return d.file("small/x.amz"); }, "the file system is read-only"},
    {"BeyondTheSizeLimit", Setting::SizeLimit, [](const TempDir& d) { return d.file("old.amz"); },
     "too large (beyond the file size limit)"},
};

INSTANTIATE_TEST_SUITE_P(Files, WriteFailures, ::testing::ValuesIn(WRITE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GameFileWriting, AFailureThatLostTheOldBytesSaysSo) {
    WriteResult result{WriteFailure::NoSpace, ENOSPC, true};
    EXPECT_EQ(writeFailureText(result),
              "no space left on the device; putting its old content back failed too, so the "
              "file may now be damaged");
    result = {WriteFailure::Failed, EIO, false};
    EXPECT_EQ(writeFailureText(result), "Input/output error");
}

}  // namespace
}  // namespace wintarvo
