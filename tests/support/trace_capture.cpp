#include "support/trace_capture.h"

namespace wintarvo::testing {

TraceCapture::TraceCapture() {
    setStandardOutputEnabled(false);
    previous_ = setDebuggerChannel([this](std::string_view piece) {
        std::lock_guard<std::mutex> lock(mutex_);
        pieces_.emplace_back(piece);
    });
}

TraceCapture::~TraceCapture() {
    setDebuggerChannel(previous_);
    setStandardOutputEnabled(true);
}

std::vector<std::string> TraceCapture::pieces() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pieces_;
}

void TraceCapture::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    pieces_.clear();
}

std::string TraceCapture::text() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string all;
    for (const auto& p : pieces_) all += p;
    return all;
}

std::vector<std::string> TraceCapture::lines() const {
    std::vector<std::string> out;
    const std::string all = text();
    std::size_t start = 0;
    while (start < all.size()) {
        const auto end = all.find('\n', start);
        if (end == std::string::npos) {
            out.push_back(all.substr(start));
            break;
        }
        out.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

}  // namespace wintarvo::testing
