#include "support/peer_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

extern char** environ;

namespace wintarvo::testing {

PeerProcess::PeerProcess(const std::vector<std::string>& argv) {
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0) return;
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    // A test run in the background of a shell ignores SIGINT; the program must not.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int number : {SIGTERM, SIGHUP, SIGINT})
        sigaddset(&defaults, number);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (rc != 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        return;
    }
    pid_ = pid;
    in_ = toChild[1];
    out_ = fromChild[0];
}

PeerProcess::~PeerProcess() {
    reap(true);
}

bool PeerProcess::writeLine(const std::string& line) {
    if (in_ < 0) return false;
    const std::string text = line + "\n";
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(in_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool PeerProcess::readMore(std::chrono::steady_clock::time_point deadline) {
    if (out_ < 0) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{out_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::max<long long>(0, left.count())));
    if (ready < 0) return errno == EINTR;
    if (ready == 0) return false;
    char buffer[4096];
    const ssize_t n = ::read(out_, buffer, sizeof buffer);
    if (n < 0) return errno == EINTR;
    if (n == 0) {
        ::close(out_);
        out_ = -1;
        return false;
    }
    partial_.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
        lines_.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
    return true;
}

bool PeerProcess::take(const std::string& prefix, std::string& line,
                       std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t searched = 0;
    do {
        for (; searched < lines_.size(); ++searched) {
            if (lines_[searched].starts_with(prefix)) {
                line = lines_[searched];
                lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(searched));
                return true;
            }
        }
    } while (readMore(deadline));
    return false;
}

void PeerProcess::signal(int number) {
    if (pid_ > 0) ::kill(pid_, number);
}

int PeerProcess::finish(std::chrono::milliseconds timeout) {
    if (in_ >= 0) {
        ::close(in_);
        in_ = -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (out_ >= 0 && std::chrono::steady_clock::now() < deadline)
        readMore(deadline);
    return reap(out_ >= 0);
}

int PeerProcess::reap(bool kill) {
    if (in_ >= 0) ::close(in_);
    if (out_ >= 0) ::close(out_);
    in_ = out_ = -1;
    if (pid_ <= 0) return -1;
    if (kill) {
        ::kill(pid_, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    endSignal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return !kill && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace wintarvo::testing
