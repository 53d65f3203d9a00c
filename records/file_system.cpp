#include "records/file_system.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <utility>

namespace wintarvo::file_system {
namespace {

// Owns a descriptor and closes it on every way out of a function. close() is for where the
// result of closing matters: a file that was written.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

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

// Writes the bytes from the start of the file, whatever its current offset.
bool writeAllFromStart(int fd, std::string_view bytes) {
    off_t offset = 0;
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

// Links are followed no further than the system itself would follow them.
constexpr int MAX_LINK_HOPS = 40;

// A file written in place keeps its old bytes in memory until the new ones are on the disk; a
// larger file is not overwritten that way, so that a failed save can always be undone.
constexpr std::size_t MAX_KEPT_BYTES = std::size_t{64} << 20;

// What the system's errno says about a write that failed.
WriteResult writeFailureOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return {WriteFailure::NoPermission, error};
        case ENOSPC:
            return {WriteFailure::NoSpace, error};
        case EROFS:
            return {WriteFailure::ReadOnly, error};
        case EFBIG:
            return {WriteFailure::TooLarge, error};
        case EISDIR:
            return {WriteFailure::Folder, error};
        default:
            return {WriteFailure::Failed, error};
    }
}

// The same for a folder on the way to the file, which may also be missing or not a folder.
WriteResult folderFailureOf(int error) {
    if (error == ENOENT) return {WriteFailure::NoFolder, error};
    if (error == ENOTDIR) return {WriteFailure::NotAFolder, error};
    return writeFailureOf(error);
}

// Where the bytes finally go: a name in an open folder, with links already followed, so that
// every later call names the file relative to the folder and only the name's length counts.
struct Target {
    Descriptor folder;
    std::string name;
    bool exists = false;
    struct stat st {};
};

// Opens a folder for use as the base of relative names. Reading it is not needed (a folder
// may allow entry and creation but not listing), only flushing the rename needs it.
bool openFolder(int base, const std::string& path, Descriptor& folder) {
    constexpr int FLAGS = O_DIRECTORY | O_CLOEXEC;
    folder = Descriptor(::openat(base, path.c_str(), O_RDONLY | FLAGS));
    if (folder.get() < 0 && errno == EACCES)
        folder = Descriptor(::openat(base, path.c_str(), O_PATH | FLAGS));
    return folder.get() >= 0;
}

// Opens the folder part of path (relative to base) and gives the last part as name. A path
// that ends in a slash, ".", or ".." names a folder, never a file.
WriteResult openFolderOf(int base, const std::string& path, Descriptor& folder, std::string& name) {
    const auto slash = path.rfind('/');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return {WriteFailure::Folder, EISDIR};
    const std::string folderPath = slash == std::string::npos ? "."
                                   : slash == 0               ? "/"
                                                              : path.substr(0, slash);
    if (!openFolder(base, folderPath, folder)) return folderFailureOf(errno);
    return {};
}

WriteResult findTarget(const std::string& path, Target& target) {
    if (const WriteResult r = openFolderOf(AT_FDCWD, path, target.folder, target.name); !r.ok())
        return r;
    for (int hops = 0; hops <= MAX_LINK_HOPS; ++hops) {
        const int folder = target.folder.get();
        const char* name = target.name.c_str();
        if (::fstatat(folder, name, &target.st, AT_SYMLINK_NOFOLLOW) != 0) {
            // Nothing there is a new file, unless a link led here: following it would create
            // a file somewhere the user did not name.
            if (errno != ENOENT) return writeFailureOf(errno);
            if (hops > 0) return {WriteFailure::LinkToNothing, ENOENT};
            return {};
        }
        if (S_ISREG(target.st.st_mode)) {
            target.exists = true;
            // A write-protected file stays as it is, just as it would if it were opened for
            // writing.
            if (::faccessat(folder, name, W_OK, AT_EACCESS) != 0) return writeFailureOf(errno);
            return {};
        }
        if (S_ISDIR(target.st.st_mode)) return {WriteFailure::Folder, EISDIR};
        if (!S_ISLNK(target.st.st_mode)) return {WriteFailure::NotRegularFile, 0};
        std::array<char, PATH_MAX + 1> link;
        const ssize_t n = ::readlinkat(folder, name, link.data(), link.size());
        if (n < 0) return writeFailureOf(errno);
        if (n == 0 || static_cast<std::size_t>(n) == link.size())
            return {WriteFailure::Failed, ENAMETOOLONG};
        // A relative link is read from the folder that holds it.
        const std::string linkPath(link.data(), static_cast<std::size_t>(n));
        Descriptor next;
        if (WriteResult r = openFolderOf(folder, linkPath, next, target.name); !r.ok()) {
            if (r.failure == WriteFailure::NoFolder) r.failure = WriteFailure::LinkToNothing;
            return r;
        }
        target.folder = std::move(next);
    }
    return {WriteFailure::Failed, ELOOP};
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

// Creates a new, empty file in the folder under a name nobody else uses and returns its
// descriptor, or -1 with errno set. The kernel applies the umask (and any default access list
// of the folder) to the mode given here.
int createTemporaryFile(int folder, mode_t mode, std::string& tempName) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = ".wintarvo-save-" + uniqueSuffix();
        const int fd =
            ::openat(folder, tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Gives a new file the group of the file it is to replace. False when the user may not.
bool takeGroup(int fd, gid_t group) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    return st.st_gid == group || ::fchown(fd, static_cast<uid_t>(-1), group) == 0;
}

enum class Renamed { Done, Failed, OnlyInPlace };

// Writes the bytes to a new file beside the target, flushes it to the disk and renames it over
// the target, so that a failure at any step leaves the old file whole. OnlyInPlace when the
// new file cannot be made to look like the old one (the user may not create files in the
// folder, or may not give the new file the old one's group) and nothing was written; Failed
// with the cause in failure.
Renamed replaceByRename(const Target& target, std::string_view bytes, WriteResult& failure) {
    const int folder = target.folder.get();
    const mode_t mode = target.exists ? target.st.st_mode & 0777 : 0666;
    std::string tempName;
    Descriptor file(createTemporaryFile(folder, mode, tempName));
    if (file.get() < 0) {
        const bool mayNotCreate = errno == EACCES || errno == EPERM;
        if (target.exists && mayNotCreate) return Renamed::OnlyInPlace;
        // The folder is there (it is open), yet says nothing is: a folder of the system's, such
        // as /proc, that takes no files.
        failure =
            errno == ENOENT ? WriteResult{WriteFailure::NoNewFiles, ENOENT} : writeFailureOf(errno);
        return Renamed::Failed;
    }
    // 1. A replaced file keeps its group and its exact permission bits, which the umask may
    //    have narrowed (the group comes first: changing it may clear some bits).
    if (target.exists && !takeGroup(file.get(), target.st.st_gid)) {
        file.close();
        ::unlinkat(folder, tempName.c_str(), 0);
        return Renamed::OnlyInPlace;
    }
    int error = 0;
    const auto step = [&error](bool done) {
        if (!done && error == 0) error = errno;
        return done;
    };
    bool ok = !target.exists || step(::fchmod(file.get(), mode) == 0);
    // 2. Only bytes on the disk count as saved; close reports late write errors on some file
    //    systems.
    ok = ok && step(writeAllFromStart(file.get(), bytes)) && step(::fsync(file.get()) == 0);
    ok = step(file.close()) && ok;
    // 3. Put the new file in place in one step.
    if (ok && step(::renameat(folder, tempName.c_str(), folder, target.name.c_str()) == 0)) {
        // Makes the rename itself durable. The new file is complete either way, so a failure
        // here does not turn the save into a failure.
        ::fsync(folder);
        return Renamed::Done;
    }
    ::unlinkat(folder, tempName.c_str(), 0);
    failure = writeFailureOf(error);
    return Renamed::Failed;
}

// Writes the bytes from the start of the file, cuts it to their length and checks that
// length once they are on the disk. 0, or the errno of the step that failed.
int putBytes(int fd, std::string_view bytes) {
    const auto size = static_cast<off_t>(bytes.size());
    struct stat st {};
    if (!writeAllFromStart(fd, bytes) || ::ftruncate(fd, size) != 0 || ::fsync(fd) != 0 ||
        ::fstat(fd, &st) != 0)
        return errno != 0 ? errno : EIO;
    return st.st_size == size ? 0 : EIO;
}

// Overwrites the target itself, for a file whose identity a rename would change. The old
// bytes are kept in memory first and put back when the new ones do not all arrive. The new
// bytes go over the old ones before the file is cut to length, so that on a full disk the
// blocks the file already holds are used first and are still there to take the old bytes back.
WriteResult writeInPlace(const Target& target, std::string_view bytes) {
    Descriptor file(::openat(target.folder.get(), target.name.c_str(),
                             O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0) return writeFailureOf(errno);
    // Something else put at the name since it was looked at is not overwritten.
    if (st.st_dev != target.st.st_dev || st.st_ino != target.st.st_ino)
        return {WriteFailure::Failed, EAGAIN};
    std::string old;
    switch (readAll(file.get(), MAX_KEPT_BYTES, old)) {
        case ReadFailure::None:
            break;
        case ReadFailure::TooLarge:
            return {WriteFailure::TooLarge, 0};
        default:
            return writeFailureOf(errno);
    }
    if (const int error = putBytes(file.get(), bytes); error != 0) {
        WriteResult failure = writeFailureOf(error);
        failure.oldBytesLost = putBytes(file.get(), old) != 0;
        return failure;
    }
    if (!file.close()) return writeFailureOf(errno);
    return {};
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
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return failureOf(errno);
    std::string content;
    if (const ReadFailure failure = readAll(fd.get(), maxBytes, content); failure != ReadFailure::None)
        return failure;
    bytes += content;
    return ReadFailure::None;
}

WriteResult replaceRegularFile(const std::string& path, std::string_view bytes) {
    Target target;
    if (const WriteResult r = findTarget(path, target); !r.ok()) return r;
    // A renamed new file would be a different file: the old one's other names (hard links)
    // would keep the old bytes, and it would belong to whoever saves.
    if (target.exists && (target.st.st_nlink > 1 || target.st.st_uid != ::geteuid()))
        return writeInPlace(target, bytes);
    WriteResult failure;
    switch (replaceByRename(target, bytes, failure)) {
        case Renamed::Done:
            return {};
        case Renamed::OnlyInPlace:
            return writeInPlace(target, bytes);
        case Renamed::Failed:
            break;
    }
    return failure;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

}  // namespace wintarvo::file_system
