#include "records/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>

namespace wintarvo::file_system {
namespace {

// Closes a descriptor on every way out of a function that only reads through it.
class ReadDescriptor {
public:
    explicit ReadDescriptor(int fd) : fd_(fd) {}
    ~ReadDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadDescriptor(const ReadDescriptor&) = delete;
    ReadDescriptor& operator=(const ReadDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// What the system's errno says about a path that could not be looked at or opened.
ReadFailure failureOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return ReadFailure::Missing;
        case EACCES:
        case EPERM: return ReadFailure::NoPermission;
        case EISDIR: return ReadFailure::Folder;
        default: return ReadFailure::Failed;
    }
}

ReadFailure kindFailure(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return ReadFailure::None;
    return S_ISDIR(st.st_mode) ? ReadFailure::Folder : ReadFailure::NotRegularFile;
}

ReadFailure readAll(int fd, std::size_t maxBytes, std::string& out) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return ReadFailure::Failed;
    if (const ReadFailure kind = kindFailure(st); kind != ReadFailure::None) return kind;
    if (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        return ReadFailure::TooLarge;
    out.reserve(static_cast<std::size_t>(st.st_size));

    // The size is only a hint: a file may grow while it is read, and some files (those under
    // /proc, for one) report 0 and hold far more. The reads therefore never ask for more than
    // one byte beyond the limit, and that byte is enough to refuse the file. At the top of the
    // loop out never holds more than maxBytes.
    std::array<char, 16384> chunk;
    for (;;) {
        const std::size_t room = maxBytes + 1 - out.size();
        const ssize_t n = ::read(fd, chunk.data(), std::min(chunk.size(), room));
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadFailure::Failed;
        }
        if (n == 0) return ReadFailure::None;
        out.append(chunk.data(), static_cast<std::size_t>(n));
        if (out.size() > maxBytes) return ReadFailure::TooLarge;
    }
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Where the bytes finally go.
struct Target {
    std::string path;  // links resolved when the file exists
    bool exists = false;
    mode_t mode = 0666;
};

bool findTarget(const std::string& path, Target& target) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) return false;
        // Nothing there, unless the path is a link that leads nowhere: following it would
        // create a file somewhere the user did not name.
        struct stat link {};
        if (::lstat(path.c_str(), &link) == 0) return false;
        target.path = path;
        return true;
    }
    if (!S_ISREG(st.st_mode)) return false;
    // A write-protected file stays as it is, just as it would if it were opened for writing.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return false;
    target.path = resolved;
    std::free(resolved);
    target.exists = true;
    target.mode = st.st_mode & 0777;
    return true;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Six characters for a temporary name. The call counter, the clock and the process id make a
// clash with another save unlikely, and the exclusive create below tries again after one.
std::string uniqueSuffix() {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t x =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<std::uint64_t>(::getpid()) << 40) ^
        (counter.fetch_add(1, std::memory_order_relaxed) * 0x9E3779B97F4A7C15ull);
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    static constexpr char ALPHABET[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += ALPHABET[x % 62];
        x /= 62;
    }
    return suffix;
}

// Creates a new, empty file in the folder under a name nobody else uses. The kernel applies
// the umask (and any default access list of the folder) to the mode given here.
int createTemporaryFile(const std::string& folder, mode_t mode, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder + "/.wintarvo-save-" + uniqueSuffix();
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Makes the rename itself durable. The new file is complete either way, so a failure here
// does not turn the save into a failure.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

ReadFailure readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    // Looking before opening keeps devices from being opened at all; the descriptor is checked
    // again in case the path changed in between, and O_NONBLOCK keeps a FIFO that slipped in
    // from blocking the open.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return failureOf(errno);
    if (const ReadFailure kind = kindFailure(st); kind != ReadFailure::None) return kind;
    const ReadDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return failureOf(errno);
    std::string content;
    if (const ReadFailure failure = readAll(fd.get(), maxBytes, content); failure != ReadFailure::None)
        return failure;
    bytes += content;
    return ReadFailure::None;
}

bool replaceRegularFile(const std::string& path, std::string_view bytes) {
    Target target;
    if (!findTarget(path, target)) return false;

    // 1. Write everything to a new file in the same folder, so that the rename below stays
    //    within one file system.
    const std::string folder = folderOf(target.path);
    std::string tempPath;
    const int fd = createTemporaryFile(folder, target.mode, tempPath);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes);
    // 2. A replaced file keeps its exact permission bits, which the umask may have narrowed.
    if (ok && target.exists) ok = ::fchmod(fd, target.mode) == 0;
    // 3. Only bytes on the disk count as saved; close reports late write errors on some file
    //    systems.
    if (ok) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    // 4. Put the new file in place in one step.
    if (ok) ok = ::rename(tempPath.c_str(), target.path.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

}  // namespace wintarvo::file_system
