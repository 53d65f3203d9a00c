#include "tools/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace wintarvo::cli {
namespace {

constexpr std::size_t KEPT_ERROR_LINES = 4;
constexpr std::size_t KEPT_ERROR_LINE_LENGTH = 200;

std::atomic<bool> g_interrupted{false};
// Written once by the first interruption and never read, so it stays readable and wakes every
// poll() of every engine at once.
int g_interruptPipe[2] = {-1, -1};

extern "C" void onInterrupt(int signal) {
    g_interrupted.store(true);
    const char byte = 1;
    if (g_interruptPipe[1] >= 0) (void)!::write(g_interruptPipe[1], &byte, 1);
    // A second one ends the process at once.
    std::signal(signal, SIG_DFL);
}

void setNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

std::string errnoText(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

}  // namespace

bool TrafficLog::open(const std::string& path, std::string& error) {
    file_.open(path, std::ios::app);
    if (!file_) {
        error = "cannot open the log '" + path + "' for appending: " + std::strerror(errno);
        return false;
    }
    return true;
}

void TrafficLog::write(const std::string& label, char direction, const std::string& text) {
    const std::lock_guard<std::mutex> lock(mutex_);
    file_ << label << ' ' << direction << ' ' << text << '\n';
    file_.flush();
}

void installMatchSignalHandlers() {
    if (g_interruptPipe[0] < 0 && ::pipe2(g_interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_interruptPipe[0] = g_interruptPipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction previous {};
        // A signal ignored when the tool started (nohup, a background job) stays ignored.
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN);
}

bool matchInterrupted() {
    return g_interrupted.load();
}

EngineProcess::EngineProcess(std::string command, TrafficLog* log)
    : command_(std::move(command)), log_(log) {}

EngineProcess::~EngineProcess() {
    kill();
}

bool EngineProcess::start(std::string& error) {
    kill();
    endText_.clear();
    errorLines_.clear();
    outBuffer_.clear();
    errBuffer_.clear();
    dropping_ = false;

    int inPipe[2] = {-1, -1}, outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1};
    if (::pipe2(inPipe, O_CLOEXEC) != 0 || ::pipe2(outPipe, O_CLOEXEC) != 0 ||
        ::pipe2(errPipe, O_CLOEXEC) != 0) {
        error = errnoText("cannot make pipes", errno);
        for (int* fds : {inPipe, outPipe, errPipe}) {
            closeFd(fds[0]);
            closeFd(fds[1]);
        }
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGPIPE);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &signals);

    const std::string script = "exec " + command_;
    std::vector<char*> argv = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"),
                               const_cast<char*>(script.c_str()), nullptr};
    const int rc = ::posix_spawn(&pid_, "/bin/sh", &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeFd(inPipe[0]);
    closeFd(outPipe[1]);
    closeFd(errPipe[1]);
    in_ = inPipe[1];
    out_ = outPipe[0];
    err_ = errPipe[0];
    if (rc != 0) {
        pid_ = -1;
        closeAll();
        error = errnoText("cannot run /bin/sh", rc);
        return false;
    }
    for (const int fd : {in_, out_, err_})
        setNonBlocking(fd);
    return true;
}

bool EngineProcess::running() {
    if (pid_ <= 0) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_) return true;
    reaped(status);
    return false;
}

bool EngineProcess::sendLine(const std::string& line) {
    if (in_ < 0) return false;
    if (log_ != nullptr) log_->write(label_, '>', line);
    const std::string data = line + "\n";
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(in_, data.data() + done, data.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            // A full pipe: the engine has not read what it was sent. A second is plenty for
            // one line; an engine that reads nothing in it has stopped reading.
            pollfd fd{in_, POLLOUT, 0};
            if (::poll(&fd, 1, 1000) <= 0) return false;
        } else {
            return false;  // EPIPE: it no longer reads
        }
    }
    return true;
}

match::ReceivedLine EngineProcess::receiveLine(match::TimePoint deadline) {
    match::ReceivedLine line;
    for (;;) {
        const std::size_t end = outBuffer_.find('\n');
        if (end != std::string::npos || outBuffer_.size() >= MAX_ENGINE_LINE ||
            (out_ < 0 && !outBuffer_.empty())) {
            // Without a line feed: a cut line, or the last words of an engine that ended.
            const bool open = end == std::string::npos && out_ >= 0;
            line.arrival = match::Arrival::Line;
            line.tooLong = open || (end != std::string::npos && end > MAX_ENGINE_LINE);
            line.text = outBuffer_.substr(0, std::min(end, MAX_ENGINE_LINE));
            outBuffer_.erase(0, end == std::string::npos ? std::string::npos : end + 1);
            dropping_ = open;
            if (log_ != nullptr) log_->write(label_, '<', line.text);
            return line;
        }
        if (matchInterrupted() || out_ < 0) {
            line.arrival = match::Arrival::Closed;
            return line;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now()).count();
        if (left <= 0) {
            line.arrival = match::Arrival::Timeout;
            return line;
        }
        pollfd fds[3] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}, {g_interruptPipe[0], POLLIN, 0}};
        if (::poll(fds, 3, static_cast<int>(std::min<long long>(left, INT_MAX))) < 0 &&
            errno != EINTR) {
            closeFd(out_);
            continue;
        }
        if (fds[1].revents != 0) readAvailable(err_);
        if (fds[0].revents != 0) readAvailable(out_);
    }
}

void EngineProcess::readAvailable(int fd) {
    char buffer[65536];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    const bool output = fd == out_;
    if (n <= 0) {
        if (output) {
            closeFd(out_);
        } else {
            closeFd(err_);
            takeErrorText(true);
        }
        return;
    }
    std::string_view data(buffer, static_cast<std::size_t>(n));
    if (!output) {
        errBuffer_.append(data);
        takeErrorText(false);
        return;
    }
    if (dropping_) {
        const std::size_t end = data.find('\n');
        if (end == std::string_view::npos) return;
        data.remove_prefix(end + 1);
        dropping_ = false;
    }
    outBuffer_.append(data);
}

void EngineProcess::takeErrorText(bool flush) {
    for (;;) {
        std::size_t end = errBuffer_.find('\n');
        if (end == std::string::npos) {
            if (errBuffer_.empty() || (!flush && errBuffer_.size() < KEPT_ERROR_LINE_LENGTH * 8))
                return;
            end = errBuffer_.size();
        }
        std::string text = errBuffer_.substr(0, end);
        errBuffer_.erase(0, end + 1);
        if (log_ != nullptr) log_->write(label_, '!', text);
        if (text.empty()) continue;
        if (text.size() > KEPT_ERROR_LINE_LENGTH)
            text = text.substr(0, KEPT_ERROR_LINE_LENGTH) + "...";
        errorLines_.push_back(std::move(text));
        if (errorLines_.size() > KEPT_ERROR_LINES) errorLines_.pop_front();
    }
}

std::string EngineProcess::lastErrorLines() const {
    std::string out;
    for (const std::string& text : errorLines_)
        out += (out.empty() ? "" : " | ") + text;
    return out;
}

void EngineProcess::stop(std::chrono::milliseconds grace) {
    if (pid_ <= 0) {
        closeAll();
        return;
    }
    if (in_ >= 0) sendLine("quit");
    closeFd(in_);
    const auto deadline = now() + grace;
    while (running() && now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill();
}

void EngineProcess::kill() {
    // An engine whose output has ended is on its way out: how it ends tells why it failed.
    for (int i = 0; i < 20 && out_ < 0 && running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (running()) {
        // The whole group: a shell script's children, an engine's helpers.
        ::kill(-pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        reaped(status);
        endText_.clear();  // stopped here, which says nothing about the engine
    }
    closeAll();
}

void EngineProcess::reaped(int status) {
    pid_ = -1;
    if (WIFEXITED(status))
        endText_ = "it exited with status " + std::to_string(WEXITSTATUS(status));
    else if (WIFSIGNALED(status))
        endText_ = "it was ended by signal " + std::to_string(WTERMSIG(status)) + " (" +
                   strsignal(WTERMSIG(status)) + ")";
}

void EngineProcess::closeAll() {
    closeFd(in_);
    closeFd(out_);
    // What it said last on standard error explains an engine that would not start; it has
    // ended (or been killed) by now, so the rest arrives at once.
    for (int i = 0; i < 20 && err_ >= 0; ++i) {
        pollfd fd{err_, POLLIN, 0};
        if (::poll(&fd, 1, 10) <= 0) break;
        readAvailable(err_);
    }
    closeFd(err_);
    takeErrorText(true);
}

}  // namespace wintarvo::cli
