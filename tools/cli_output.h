// The tool's standard output, watched for write errors. Everything goes through std::cout (the
// commands' results and the engine's trace alike); a write that fails there is otherwise
// forgotten, and the stream only says that something failed, not why. While a StandardOutput
// lives, std::cout writes through it, and it keeps the cause of the first failure.
//
// One object in main, on the main thread, the only thread that writes to standard output.
#pragma once

#include <streambuf>

namespace wintarvo::cli {

class StandardOutput : private std::streambuf {
public:
    StandardOutput();
    ~StandardOutput() override;
    StandardOutput(const StandardOutput&) = delete;
    StandardOutput& operator=(const StandardOutput&) = delete;

    // Sends whatever is buffered. Returns status when every write has succeeded or the command
    // has failed (1) already; otherwise writes "wintarvo-cli: cannot write to standard output:
    // CAUSE" to standard error and returns 1.
    int finish(int status);

private:
    int overflow(int c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;
    void noteFailure();

    std::streambuf* inner_;
    bool failed_ = false;
    int error_ = 0;
};

}  // namespace wintarvo::cli
