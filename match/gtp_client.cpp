#include "match/gtp_client.h"

#include <cstdio>

#include "model/text.h"

namespace wintarvo::match {
namespace {

std::string_view trimmed(std::string_view text) {
    return text::trimmed(text, text::GTP_BLANKS);
}

std::string_view firstLine(std::string_view text) {
    return trimmed(text.substr(0, text.find('\n')));
}

// Whether an exchange left the engine able to answer at all.
bool answered(const GtpResponse& r) {
    return r.kind == ResponseKind::Success || r.kind == ResponseKind::Failure;
}

std::string secondsText(std::chrono::milliseconds waited) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(waited.count()) / 1000.0);
    return text;
}

// Why an exchange that was not answered failed, for the engine that could not be started.
std::string unansweredText(const GtpResponse& r, const std::string& command,
                           std::chrono::milliseconds waited) {
    switch (r.kind) {
        case ResponseKind::Timeout:
            return "no answer to '" + command + "' within " + secondsText(waited);
        case ResponseKind::Malformed:
            return "its answer to '" + command + "' is not GTP: " + r.text;
        default:
            return "its output ended before it answered '" + command + "'";
    }
}

}  // namespace

ResponseReader::State ResponseReader::refuse(std::string problem) {
    problem_ = std::move(problem);
    return State::Malformed;
}

ResponseReader::State ResponseReader::addLine(std::string_view line, bool tooLong) {
    while (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (tooLong) return refuse("a line too long to be an answer ('" + quoted(line) + "')");
    if (!started_) {
        if (line.empty()) return State::NeedMore;
        if (line[0] != '=' && line[0] != '?')
            return refuse("'" + quoted(line) + "' where a response (\"=\" or \"?\") begins");
        started_ = true;
        success_ = line[0] == '=';
        std::size_t at = 1;
        while (at < line.size() && line[at] >= '0' && line[at] <= '9')
            ++at;
        line.remove_prefix(at);
        if (line.size() > MAX_RESPONSE_BYTES)
            return refuse("a response of more than " + std::to_string(MAX_RESPONSE_BYTES) +
                          " bytes");
        text_ = trimmed(line);
        return State::NeedMore;
    }
    if (line.empty()) return State::Complete;
    if (text_.size() + line.size() + 1 > MAX_RESPONSE_BYTES)
        return refuse("a response of more than " + std::to_string(MAX_RESPONSE_BYTES) + " bytes");
    text_ += '\n';
    text_ += line;
    return State::NeedMore;
}

GtpResponse exchange(EngineChannel& channel, const std::string& command, TimePoint deadline) {
    GtpResponse r;
    if (!channel.sendLine(command)) {
        r.kind = ResponseKind::Closed;
        r.received = channel.now();
        return r;
    }
    ResponseReader reader;
    for (;;) {
        const ReceivedLine line = channel.receiveLine(deadline);
        r.received = channel.now();
        if (line.arrival == Arrival::Timeout) {
            r.kind = ResponseKind::Timeout;
            return r;
        }
        if (line.arrival == Arrival::Closed) {
            r.kind = ResponseKind::Closed;
            return r;
        }
        switch (reader.addLine(line.text, line.tooLong)) {
            case ResponseReader::State::NeedMore:
                continue;
            case ResponseReader::State::Complete:
                r.kind = reader.success() ? ResponseKind::Success : ResponseKind::Failure;
                r.text = reader.text();
                return r;
            case ResponseReader::State::Malformed:
                r.kind = ResponseKind::Malformed;
                r.text = reader.problem();
                return r;
        }
    }
}

EngineIdentity identifyEngine(EngineChannel& channel, const std::string& fallbackName,
                              std::chrono::milliseconds startup,
                              std::chrono::milliseconds command) {
    EngineIdentity id;
    id.name = fallbackName;
    const GtpResponse name = exchange(channel, "name", channel.now() + startup);
    if (!answered(name)) {
        id.problem = unansweredText(name, "name", startup);
        return id;
    }
    if (name.kind == ResponseKind::Success && !firstLine(name.text).empty()) {
        id.name = quoted(firstLine(name.text));
        const GtpResponse version = exchange(channel, "version", channel.now() + command);
        if (!answered(version)) {
            id.problem = unansweredText(version, "version", command);
            return id;
        }
        if (version.kind == ResponseKind::Success && !firstLine(version.text).empty())
            id.name += " " + quoted(firstLine(version.text));
    }
    const GtpResponse known = exchange(channel, "known_command set_game", channel.now() + command);
    if (!answered(known)) {
        id.problem = unansweredText(known, "known_command set_game", command);
        return id;
    }
    id.knowsSetGame = known.kind == ResponseKind::Success && trimmed(known.text) == "true";
    id.answered = true;
    return id;
}

}  // namespace wintarvo::match
