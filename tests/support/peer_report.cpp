#include "support/peer_report.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace wintarvo::testing {

long long nowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void say(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(1, text.data(), text.size()) < 0) std::_Exit(3);
}

Figures figures(std::vector<long long> samples) {
    if (samples.empty()) return {};
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.back()};
}

std::string microseconds(long long nanoseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f us", static_cast<double>(nanoseconds) / 1000.0);
    return text;
}

}  // namespace wintarvo::testing
