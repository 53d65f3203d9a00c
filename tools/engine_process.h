// An engine program run for a match: the command line through /bin/sh -c "exec CMD" (so
// quoting and paths work as in a shell), its standard input and output on pipes, the
// referee's EngineChannel over them.
//
// Reads wait with poll() until a deadline; a line longer than MAX_ENGINE_LINE is cut. The
// engine's standard error is read alongside its output: its last lines are kept for messages
// about an engine that fails, and every line goes to the traffic log when there is one (else
// nowhere). Each engine runs in a process group of its own, so that stopping it also stops
// whatever it started; stop() asks it to quit and kills the group when it does not go, and
// every process is reaped. SIGPIPE has its default action again in the engine.
//
// While an interruption (SIGINT, SIGTERM) is pending, receiveLine() returns Closed at once, so
// a game in progress ends quickly and the match can stop its engines.
//
// One object per engine process, used by one thread at a time; the log is shared and locked.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <deque>
#include <fstream>
#include <mutex>
#include <string>

#include "match/engine_channel.h"

namespace wintarvo::cli {

// Longest line of engine output kept.
constexpr std::size_t MAX_ENGINE_LINE = 1 << 17;

// The GTP traffic and the engines' standard error, one line each: "LABEL > command",
// "LABEL < answer", "LABEL ! standard error".
class TrafficLog {
  public:
    // False with error set when the file cannot be opened for appending.
    bool open(const std::string& path, std::string& error);
    void write(const std::string& label, char direction, const std::string& text);

  private:
    std::mutex mutex_;
    std::ofstream file_;
};

// SIGINT and SIGTERM interrupt the match instead of ending the process at once; SIGPIPE is
// ignored, so a write to an engine that has gone fails instead of ending the match.
void installMatchSignalHandlers();
bool matchInterrupted();

class EngineProcess final : public match::EngineChannel {
  public:
    EngineProcess(std::string command, TrafficLog* log);
    ~EngineProcess() override;
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Starts the program (stopping one still running). False, with error set, when not even
    // the shell can be started; a command the shell cannot find shows at the first read.
    bool start(std::string& error);
    bool running();

    bool sendLine(const std::string& line) override;
    match::ReceivedLine receiveLine(match::TimePoint deadline) override;
    match::TimePoint now() override { return match::MatchClock::now(); }

    // Sends quit, closes its input and waits up to `grace` for it to end; then kills it.
    void stop(std::chrono::milliseconds grace);
    // Kills it at once and reaps it.
    void kill();

    // How the last program ended by itself ("it exited with status 127"); empty while it runs
    // and when it had to be killed.
    const std::string& endText() const { return endText_; }
    // Its last lines on standard error, joined by " | ", empty when it wrote none.
    std::string lastErrorLines() const;

    void setLabel(std::string label) { label_ = std::move(label); }

  private:
    void readAvailable(int fd);
    void takeErrorText(bool flush);
    void closeAll();
    void reaped(int status);

    std::string command_;
    TrafficLog* log_;
    std::string label_;
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string outBuffer_;
    std::string errBuffer_;
    bool dropping_ = false;  // the rest of an overlong line
    std::deque<std::string> errorLines_;
    std::string endText_;
};

}  // namespace wintarvo::cli
