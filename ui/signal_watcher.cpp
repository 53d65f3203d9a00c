#include "ui/signal_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <QCoreApplication>

#include "diag/trace.h"

namespace wintarvo {
namespace {

// The pipe's writing end, for the handler; -1 until the first watcher has made the pipe.
//
// The pipe is made once and never closed, for the life of the process. A handler runs on any
// thread: one that started just before a watcher put the former actions back may still be
// about to write when the watcher is destroyed. Were the write end closed then, its number
// could already name a file or socket opened since, which would receive the byte. The read end
// stays open too, because a write to a pipe without a reader raises SIGPIPE, which ends the
// program. Such a late byte waits in the pipe; the next watcher discards it before it listens.
std::atomic<int> g_signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free);
// Its reading end; user-interface thread only.
int g_signalPipeReadEnd = -1;

extern "C" void writeSignalNumber(int number) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe loses the byte; hundreds of signals are already waiting to be read then.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe.load(), &byte, 1);
    errno = savedErrno;
}

// The pipe's reading end, the pipe made by the first call that can; -1 when it cannot be.
int signalPipeReadEnd() {
    if (g_signalPipeReadEnd >= 0) return g_signalPipeReadEnd;
    int ends[2];
    if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) {
        traceLine(std::string("Signals end the program at once: no pipe for them: ") +
                  std::strerror(errno));
        return -1;
    }
    g_signalPipeReadEnd = ends[0];
    g_signalPipe.store(ends[1]);
    return g_signalPipeReadEnd;
}

// Bytes that the handlers of an earlier watcher wrote too late for it to read.
void discardPending(int readEnd) {
    unsigned char bytes[64];
    ssize_t n;
    do {
        n = ::read(readEnd, bytes, sizeof bytes);
    } while (n > 0 || (n < 0 && errno == EINTR));
}

}  // namespace

SignalWatcher::SignalWatcher() : readEnd_(signalPipeReadEnd()) {
    if (readEnd_ < 0) return;
    discardPending(readEnd_);
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] { readSignals(); });
    for (std::size_t i = 0; i < std::size(WATCHED); ++i) {
        struct sigaction action {};
        action.sa_handler = writeSignalNumber;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        if (::sigaction(WATCHED[i], nullptr, &former_[i]) != 0) continue;
        if (former_[i].sa_handler == SIG_IGN) continue;
        installed_[i] = ::sigaction(WATCHED[i], &action, nullptr) == 0;
    }
    // Closing by any route: from then on a signal ends the program at once.
    if (QCoreApplication::instance() != nullptr)
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                         [this] { restoreActions(); });
}

SignalWatcher::~SignalWatcher() {
    restoreActions();
    delete notifier_;
    // The pipe stays open (see g_signalPipe).
}

int SignalWatcher::exitStatus(int loopStatus) const {
    return closingSignal_ == SIGINT ? 128 + SIGINT : loopStatus;
}

void SignalWatcher::readSignals() {
    unsigned char numbers[64];
    ssize_t n;
    while ((n = ::read(readEnd_, numbers, sizeof numbers)) > 0 || (n < 0 && errno == EINTR)) {
        for (ssize_t i = 0; i < n; ++i) {
            if (closingSignal_ != 0) endAtOnce(numbers[i]);
            closingSignal_ = numbers[i];
            // Before anything else: a signal from now on either ends the program by its
            // former action or is in the pipe, read by the next turn of this loop.
            restoreActions();
        }
    }
    if (closingSignal_ == 0) return;
    notifier_->setEnabled(false);
    if (close_)
        close_();
    else
        QCoreApplication::exit(0);
}

void SignalWatcher::restoreActions() {
    for (std::size_t i = 0; i < std::size(WATCHED); ++i) {
        if (!installed_[i]) continue;
        ::sigaction(WATCHED[i], &former_[i], nullptr);
        installed_[i] = false;
    }
}

void SignalWatcher::endAtOnce(int number) {
    restoreActions();
    ::raise(number);
    // The former action returned (a handler of someone else's): end as the shell would say.
    std::_Exit(128 + number);
}

}  // namespace wintarvo
