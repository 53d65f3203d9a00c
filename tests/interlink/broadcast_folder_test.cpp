#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "support/temp_dir.h"
#include "ui/interlink/broadcast_folder.h"

namespace wintarvo {
namespace {

constexpr uid_t NOBODY = 65534;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

// Makes path the way a case wants it; false when this machine cannot (then the case is
// skipped, with the reason).
using Setup = bool (*)(const std::string& path, const testing::TempDir& dir);

struct FolderCase {
    const char* what;
    Setup setup;
    BroadcastStatus expected;
};

bool directoryWithMode(const std::string& path, mode_t mode) {
    return ::mkdir(path.c_str(), 0700) == 0 && ::chmod(path.c_str(), mode) == 0;
}

const FolderCase FOLDER_CASES[] = {
    {"missing: created", [](auto&, auto&) { return true; }, BroadcastStatus::OPEN},
    {"private directory", [](auto& p, auto&) { return directoryWithMode(p, 0700); },
     BroadcastStatus::OPEN},
    {"group may read", [](auto& p, auto&) { return directoryWithMode(p, 0740); },
     BroadcastStatus::FOLDER_OPEN_TO_OTHERS},
    {"group may enter", [](auto& p, auto&) { return directoryWithMode(p, 0710); },
     BroadcastStatus::FOLDER_OPEN_TO_OTHERS},
    {"others may enter", [](auto& p, auto&) { return directoryWithMode(p, 0701); },
     BroadcastStatus::FOLDER_OPEN_TO_OTHERS},
    {"others may write", [](auto& p, auto&) { return directoryWithMode(p, 0702); },
     BroadcastStatus::FOLDER_OPEN_TO_OTHERS},
    {"open to all, sticky", [](auto& p, auto&) { return directoryWithMode(p, 01777); },
     BroadcastStatus::FOLDER_OPEN_TO_OTHERS},
    {"symbolic link to a private directory",
     [](auto& p, auto& d) {
         return directoryWithMode(d.file("real"), 0700) &&
                ::symlink(d.file("real").c_str(), p.c_str()) == 0;
     },
     BroadcastStatus::FOLDER_IS_LINK},
    {"dangling symbolic link",
     [](auto& p, auto& d) { return ::symlink(d.file("nowhere").c_str(), p.c_str()) == 0; },
     BroadcastStatus::FOLDER_IS_LINK},
    {"regular file",
     [](auto& p, auto&) {
         testing::writeFileBytes(p, "x");
         return ::chmod(p.c_str(), 0600) == 0;
     },
     BroadcastStatus::FOLDER_NOT_A_DIRECTORY},
    {"another user's private directory",
     [](auto& p, auto&) {
         return ::geteuid() == 0 && directoryWithMode(p, 0700) &&
                ::chown(p.c_str(), NOBODY, NOBODY) == 0;
     },
     BroadcastStatus::FOLDER_OTHER_OWNER},
};

TEST(BroadcastFolder, OnlyAPrivateDirectoryOfTheUserIsAccepted) {
    for (const FolderCase& c : FOLDER_CASES) {
        SCOPED_TRACE(c.what);
        testing::TempDir dir;
        const std::string path = dir.file("link");
        if (!c.setup(path, dir)) {
            std::cout << "skipped \"" << c.what << "\": needs root to give a folder away\n";
            continue;
        }
        const auto before = dir.entries();
        int errorNumber = -1;
        EXPECT_EQ(preparePrivateFolder(path, errorNumber), c.expected);
        EXPECT_EQ(errorNumber, 0);
        if (c.expected == BroadcastStatus::OPEN) {
            EXPECT_EQ(modeOf(path), S_IFDIR | 0700);
        } else {
            // A refused folder is left exactly as it was: nothing repaired, nothing added.
            EXPECT_EQ(dir.entries(), before);
            EXPECT_EQ(checkPrivateFolder(path, ::getuid()), c.expected);
        }
    }
}

TEST(BroadcastFolder, IsCreatedPrivateWhateverTheUmask) {
    for (const mode_t mask : {00, 022, 077, 0277, 0777}) {
        testing::TempDir dir;
        const mode_t old = ::umask(mask);
        int errorNumber = 0;
        const BroadcastStatus status = preparePrivateFolder(dir.file("link"), errorNumber);
        ::umask(old);
        EXPECT_EQ(status, BroadcastStatus::OPEN) << mask;
        EXPECT_EQ(modeOf(dir.file("link")), S_IFDIR | 0700) << mask;
    }
}

TEST(BroadcastFolder, RefusedWhenItCannotBeMadeOrAddressed) {
    testing::TempDir dir;
    int errorNumber = 0;
    EXPECT_EQ(preparePrivateFolder(dir.file("missing/link"), errorNumber),
              BroadcastStatus::FOLDER_NOT_CREATED);
    EXPECT_EQ(errorNumber, ENOENT);
    // A socket address holds 107 characters of path.
    const std::string longest =
        dir.path() + "/" + std::string(107 - MAX_SOCKET_NAME_LENGTH - 2 - dir.path().size(), 'd');
    EXPECT_EQ(preparePrivateFolder(longest, errorNumber), BroadcastStatus::OPEN);
    EXPECT_EQ(preparePrivateFolder(longest + "d", errorNumber), BroadcastStatus::PATH_TOO_LONG);
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST(BroadcastFolder, TheSessionFolderIsUsedOnlyWhenPrivate) {
    testing::TempDir dir;
    const uid_t uid = ::getuid();
    const std::string fallback = "/tmp/tarvo-broadcasted-move-" + std::to_string(uid);
    ASSERT_TRUE(directoryWithMode(dir.file("run"), 0700));
    ASSERT_TRUE(directoryWithMode(dir.file("shared"), 0755));
    ASSERT_EQ(::symlink(dir.file("run").c_str(), dir.file("link").c_str()), 0);
    const std::string tooLong = dir.file(std::string(70, 'r'));
    ASSERT_TRUE(directoryWithMode(tooLong, 0700));

    struct {
        std::string runtimeDir;
        std::string expected;
    } const cases[] = {
        {dir.file("run"), dir.file("run") + "/tarvo-broadcasted-move"},
        {dir.file("shared"), fallback},
        {dir.file("link"), fallback},
        {dir.file("missing"), fallback},
        {"", fallback},
        {"relative/run", fallback},
        {tooLong, fallback},
    };
    for (const auto& c : cases)
        EXPECT_EQ(broadcastFolderFor(c.runtimeDir.c_str(), uid), c.expected) << c.runtimeDir;
    EXPECT_EQ(broadcastFolderFor(nullptr, uid), fallback);
    EXPECT_EQ(broadcastFolderFor(dir.file("run").c_str(), uid + 1),
              "/tmp/tarvo-broadcasted-move-" + std::to_string(uid + 1));
}

}  // namespace
}  // namespace wintarvo
