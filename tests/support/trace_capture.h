// Captures the debug trace for a test: installs a debugger channel that records every piece
// and silences standard output while it lives. Safe to read while another thread writes.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "diag/trace.h"

namespace wintarvo::testing {

class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // Everything written so far, joined.
    std::string text() const;
    std::vector<std::string> pieces() const;
    // The joined text cut into lines at "\n" (a final line without a line end included).
    std::vector<std::string> lines() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> pieces_;
    TraceSink previous_;
};

}  // namespace wintarvo::testing
