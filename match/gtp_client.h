// The controller's side of the Go Text Protocol: a command written as one line, and the
// engine's response read back from its lines, "=" or "?", an optional id, the text, and the
// empty line that ends it. The referee asks every question through exchange().
//
// Engine output is untrusted. The reader keeps at most MAX_RESPONSE_BYTES of one response and
// gives a reason in words for anything that is not a response: a line before it that does not
// begin with "=" or "?", an overlong line or response. Carriage returns before a line feed
// are dropped (engines that write CR LF). Empty lines before a response are passed over.
// Plain functions and a small value class; any thread, one channel per call.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "match/engine_channel.h"
#include "model/move.h"
#include "model/side.h"
#include "model/text.h"
#include "model/typed_move.h"

namespace wintarvo::match {

// Longest response kept, all its lines together.
constexpr std::size_t MAX_RESPONSE_BYTES = 65536;

// Reads one response line by line.
class ResponseReader {
  public:
    enum class State { NeedMore, Complete, Malformed };

    // Takes the next line of the engine's output (without its line feed); tooLong when the
    // channel cut it.
    State addLine(std::string_view line, bool tooLong = false);

    bool success() const { return success_; }
    // The response's text without "=", id and the blank after them; lines joined by '\n'.
    const std::string& text() const { return text_; }
    // Why the output is not a response, for a malformed one.
    const std::string& problem() const { return problem_; }

  private:
    State refuse(std::string problem);

    bool started_ = false;
    bool success_ = false;
    std::string text_;
    std::string problem_;
};

enum class ResponseKind {
    Success,    // "= ..."
    Failure,    // "? ..."
    Timeout,    // no whole response by the deadline
    Closed,     // the engine stopped reading or its output ended
    Malformed,  // output that is not a GTP response
};

struct GtpResponse {
    ResponseKind kind = ResponseKind::Closed;
    // The text of a success or failure; for a malformed response, what was wrong.
    std::string text;
    // When the whole response (or the end of the wait) was read, on the channel's clock.
    TimePoint received{};
};

// The sides as the referee numbers them (0 White, 1 Black), named as commands name them
// ("white") and as messages do ("White"); a move as commands write it ("D1-D4-D7").
inline std::string gtpColour(int side) {
    return std::string(wintarvo::gtpColour(sideOf(side)));
}
inline std::string sideName(int side) {
    return std::string(wintarvo::sideName(sideOf(side)));
}
inline std::string gtpMove(const Move& m) {
    return dashedMoveText(m);
}

// Writes the command and reads its response, waiting at most until the deadline.
GtpResponse exchange(EngineChannel& channel, const std::string& command, TimePoint deadline);

// Engine output fit to quote in a message or a tab-separated line (model/text.h): printable
// ASCII kept, every other byte '?', at most 60 characters (then "...").
inline std::string quoted(std::string_view text) {
    return text::quoted(text, 60);
}

// What an engine says of itself when it starts.
struct EngineIdentity {
    bool answered = false;  // false: it did not answer its first command; problem says why
    std::string problem;
    std::string name;  // "NAME VERSION", or the fallback when it does not answer name
    bool knowsSetGame = false;
};

// Asks name, version and whether it knows set_game. `startup` bounds the wait for the first
// answer (the engine may still be loading), `command` each of the others.
EngineIdentity identifyEngine(EngineChannel& channel, const std::string& fallbackName,
                              std::chrono::milliseconds startup, std::chrono::milliseconds command);

}  // namespace wintarvo::match
