// A program run beside a test as a peer: the test writes lines to its standard input and takes
// lines from its standard output, waiting at most a given time; standard error is inherited.
// Used by the interlink tests and by the peer program's own measuring mode. The program starts
// with the default actions for SIGTERM, SIGHUP and SIGINT, whatever the test inherited.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <deque>
#include <string>
#include <vector>

namespace wintarvo::testing {

class PeerProcess {
  public:
    // Starts argv[0] (a path) with the arguments; see started().
    explicit PeerProcess(const std::vector<std::string>& argv);
    // Kills the program if it still runs, and reaps it.
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    bool writeLine(const std::string& line);
    // The first line not yet taken that starts with prefix, without its line end; lines with
    // other beginnings are kept for later takes. False when the output ends or the time runs
    // out first.
    bool take(const std::string& prefix, std::string& line,
              std::chrono::milliseconds timeout = std::chrono::seconds(60));
    void signal(int number);
    // Closes standard input, reads the output to its end and reaps the program. The exit
    // status, or -1 when it did not exit normally or when that took longer than the timeout
    // (it is then killed).
    int finish(std::chrono::milliseconds timeout = std::chrono::seconds(60));
    // After finish: the signal that ended the program, 0 if it exited.
    int endSignal() const { return endSignal_; }
    // The lines read but not taken.
    const std::deque<std::string>& untaken() const { return lines_; }

  private:
    // Reads what is there, waiting at most until the deadline; false at the end of output.
    bool readMore(std::chrono::steady_clock::time_point deadline);
    int reap(bool kill);

    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    int endSignal_ = 0;
    std::string partial_;
    std::deque<std::string> lines_;
};

}  // namespace wintarvo::testing
