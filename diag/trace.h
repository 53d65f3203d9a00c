// The debug trace: the program's only log.
//
// Every piece of text goes first to standard output and then, unchanged, to the debugger
// channel: a second sink that the program may install (the desktop program and the tests do;
// by default there is none). Nothing is added or buffered here; a caller that wants several
// pieces on one line writes all but the last with traceWrite. Both threads write without a
// lock, so pieces of lines from the two threads may interleave; within one thread every piece
// reaches both channels in call order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace wintarvo {

// Receives each piece of trace text exactly as it was written.
using TraceSink = std::function<void(std::string_view)>;

void traceWrite(const std::string& text);
void traceLine(const std::string& text);

// "%d" formatting.
std::string intToString(int value);
// The same for the 64-bit evaluation counter; identical to intToString for every int value.
std::string intToString(std::int64_t value);

// Installs (or, with an empty function, removes) the debugger channel. Returns the previous
// sink so that a caller such as a test can put it back.
TraceSink setDebuggerChannel(TraceSink sink);

// Standard output can be switched off, for instance by a benchmark that only wants timings.
void setStandardOutputEnabled(bool enabled);
bool standardOutputEnabled();

// Keeps the trace off standard output while it lives (or until restore), then puts back what
// was there before, on every way out of the scope. One thread's use; it switches the
// process-wide setting.
class StandardOutputOff {
  public:
    StandardOutputOff();
    ~StandardOutputOff();
    StandardOutputOff(const StandardOutputOff&) = delete;
    StandardOutputOff& operator=(const StandardOutputOff&) = delete;

    // Puts the former setting back now; the destructor then leaves it alone.
    void restore();

  private:
    bool previous_;
    bool restored_ = false;
};

}  // namespace wintarvo
