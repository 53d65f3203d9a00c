// Closing on a signal: SIGTERM, SIGHUP and SIGINT end the program the way Exit does.
//
// One per process, made by main on the user-interface thread after the QApplication and
// before the event loop runs. The handler, which may run on any thread, does nothing but
// write the signal's number into a pipe; a QSocketNotifier reads it in the event loop, so
// the close is one more message on the user-interface thread: the close action (the frame's
// Exit) ends the loop, the run step destroys the frame (the engine is stopped and its thread
// joined) and the broadcast channel removes this copy's socket from the folder. The pipe is
// the process's, open until it ends: a handler may still be writing to it as the watcher
// goes, and a later watcher (the tests make several) reads the same pipe.
//
// Exit status: 0 after SIGTERM or SIGHUP, 128 + 2 = 130 after SIGINT (what a shell reports
// for a program ended by Ctrl+C), the event loop's own otherwise.
//
// From the first signal on, and whenever the program is closing by any route (the loop is
// ending), the three signals have their former actions again: a second signal ends the
// program at once, as any signal did before, without the clean close. A signal that was
// ignored when the program started (nohup, a background job) is left ignored.
#pragma once

#include <csignal>
#include <functional>

#include <QObject>
#include <QSocketNotifier>

namespace wintarvo {

class SignalWatcher : public QObject {
  public:
    SignalWatcher();
    // Puts the former actions back; the pipe stays open.
    ~SignalWatcher() override;
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // What the first signal does; without one it ends the event loop.
    void setCloseAction(std::function<void()> close) { close_ = std::move(close); }
    // False when the pipe could not be made; the signals then keep their former actions.
    bool watching() const { return notifier_ != nullptr; }
    // The signal that closed the program, 0 if none did.
    int closingSignal() const { return closingSignal_; }
    // The process's exit status, given the event loop's.
    int exitStatus(int loopStatus) const;

  private:
    static constexpr int WATCHED[] = {SIGTERM, SIGHUP, SIGINT};

    void readSignals();
    void restoreActions();
    [[noreturn]] void endAtOnce(int number);

    int readEnd_ = -1;  // the process's signal pipe; -1 when there is none
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction former_[std::size(WATCHED)] = {};
    bool installed_[std::size(WATCHED)] = {};
    std::function<void()> close_;
    int closingSignal_ = 0;
};

}  // namespace wintarvo
