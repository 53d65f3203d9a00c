#include "diag/trace.h"

#include <atomic>
#include <cstdio>
#include <iostream>
#include <memory>
#include <mutex>

namespace wintarvo {
namespace {

// The sink is swapped rarely (start-up, tests) but called from both threads; a shared_ptr
// copied under a mutex keeps a sink alive while another thread replaces it.
std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}
std::shared_ptr<TraceSink>& sinkSlot() {
    static std::shared_ptr<TraceSink> slot;
    return slot;
}
std::atomic<bool> g_stdoutEnabled{true};

}  // namespace

void traceWrite(const std::string& text) {
    if (g_stdoutEnabled.load(std::memory_order_relaxed)) {
        std::cout << text.c_str();
        // Whole lines reach a pipe or a file at once, and none is lost if the process is killed.
        if (!text.empty() && text.back() == '\n') std::cout.flush();
    }
    std::shared_ptr<TraceSink> sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex());
        sink = sinkSlot();
    }
    if (sink && *sink) (*sink)(text);
}

void traceLine(const std::string& text) { traceWrite(text + "\n"); }

std::string intToString(int value) { return std::to_string(value); }

std::string intToString(std::int64_t value) { return std::to_string(value); }

TraceSink setDebuggerChannel(TraceSink sink) {
    auto replacement = sink ? std::make_shared<TraceSink>(std::move(sink)) : nullptr;
    std::lock_guard<std::mutex> lock(sinkMutex());
    auto previous = std::move(sinkSlot());
    sinkSlot() = std::move(replacement);
    return previous ? *previous : TraceSink{};
}

void setStandardOutputEnabled(bool enabled) {
    g_stdoutEnabled.store(enabled, std::memory_order_relaxed);
}

bool standardOutputEnabled() {
    return g_stdoutEnabled.load(std::memory_order_relaxed);
}

StandardOutputOff::StandardOutputOff() : previous_(standardOutputEnabled()) {
    setStandardOutputEnabled(false);
}

StandardOutputOff::~StandardOutputOff() {
    restore();
}

void StandardOutputOff::restore() {
    if (restored_) return;
    restored_ = true;
    setStandardOutputEnabled(previous_);
}

}  // namespace wintarvo
