#include "tests/support/scripted_engine.h"

#include <algorithm>

#include "model/move_generation.h"

namespace wintarvo::testing {
namespace {

ThinkAnswer firstLegalMove(const ThinkRequest& request) {
    MoveList moves;
    generateMoves(request.position, moves);
    ThinkAnswer answer;
    answer.found = !moves.empty();
    if (answer.found) answer.move = moves.front();
    return answer;
}

// The lines of the text; a last piece without '\n' is a line too.
std::deque<std::string> linesOf(const std::string& text) {
    std::deque<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

}  // namespace

EngineScript atGenmove(int n, ScriptedAnswer answer) {
    return [n, answer](const std::string& command, int genmoves) -> std::optional<ScriptedAnswer> {
        if (command.rfind("genmove", 0) == 0 && genmoves == n) return answer;
        return std::nullopt;
    };
}

namespace {

gtp::EngineSettings scriptedSettings() {
    gtp::EngineSettings settings;
    settings.version = "1.0";
    return settings;
}

}  // namespace

ScriptedEngine::ScriptedEngine(match::TimePoint& clock, EngineScript script,
                               std::chrono::milliseconds think)
    : clock_(clock),
      script_(std::move(script)),
      think_(think),
      engine_(scriptedSettings(), firstLegalMove) {}

bool ScriptedEngine::sendLine(const std::string& line) {
    if (closed_) return false;
    sent_.push_back(line);
    const bool genmove = line.rfind("genmove", 0) == 0;
    std::optional<ScriptedAnswer> answer = script_ ? script_(line, genmoves_) : std::nullopt;
    if (genmove) ++genmoves_;
    if (!answer)
        answer = ScriptedAnswer{ScriptedAnswer::Kind::Output, std::nullopt,
                                genmove ? think_ : std::chrono::milliseconds(0)};
    pending_.clear();
    if (answer->kind == ScriptedAnswer::Kind::Close) closed_ = true;
    if (answer->kind != ScriptedAnswer::Kind::Output) return true;
    // The engine hears every command, so that its game goes on as the referee's does.
    const std::string own = engine_.respond(line);
    pending_ = linesOf(answer->output.value_or(own));
    readyAt_ = clock_ + answer->think;
    return true;
}

match::ReceivedLine ScriptedEngine::receiveLine(match::TimePoint deadline) {
    match::ReceivedLine line;
    if (pending_.empty() || readyAt_ > deadline) {
        line.arrival =
            closed_ && pending_.empty() ? match::Arrival::Closed : match::Arrival::Timeout;
        if (line.arrival == match::Arrival::Timeout) clock_ = std::max(clock_, deadline);
        return line;
    }
    clock_ = std::max(clock_, readyAt_);
    line.arrival = match::Arrival::Line;
    line.text = pending_.front();
    pending_.pop_front();
    return line;
}

ReplayedOutput::ReplayedOutput(match::TimePoint& clock, const std::string& bytes)
    : clock_(clock), lines_(linesOf(bytes)) {}

match::ReceivedLine ReplayedOutput::receiveLine(match::TimePoint deadline) {
    match::ReceivedLine line;
    clock_ += std::chrono::milliseconds(1);
    if (clock_ > deadline) {
        line.arrival = match::Arrival::Timeout;
        return line;
    }
    if (lines_.empty()) {
        line.arrival = match::Arrival::Closed;
        return line;
    }
    line.arrival = match::Arrival::Line;
    line.text = lines_.front();
    line.tooLong = line.text.size() > 4096;
    lines_.pop_front();
    return line;
}

}  // namespace wintarvo::testing
