// What the peer programs share: a clock that reads the same in every process (so an arrival
// time from one copy compares with a sending time from another), report lines on standard
// output, and the median and worst of measured latencies.
#pragma once

#include <string>
#include <vector>

namespace wintarvo::testing {

// Nanoseconds on the monotonic clock, which all processes of the machine share.
long long nowNanoseconds();

// Writes line and a line end to standard output at once, unbuffered; exits if it cannot.
void say(const std::string& line);

struct Figures {
    long long median = 0;
    long long worst = 0;
};
Figures figures(std::vector<long long> samples);

// "12.3 us".
std::string microseconds(long long nanoseconds);

}  // namespace wintarvo::testing
