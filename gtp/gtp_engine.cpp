#include "gtp/gtp_engine.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "model/move_generation.h"
#include "model/side.h"
#include "model/text.h"
#include "model/typed_move.h"

namespace wintarvo::gtp {
namespace {

constexpr int BOARD_SIZE = 10;
constexpr const char* GAME_NAME = "Amazons";

// The colour in full or by its first letter, in any case.
std::optional<Side> parseColour(std::string_view word) {
    for (const Side side : {Side::White, Side::Black}) {
        const std::string_view colour = gtpColour(side);
        if (text::equalsIgnoringCase(word, colour) ||
            text::equalsIgnoringCase(word, colour.substr(0, 1)))
            return side;
    }
    return std::nullopt;
}

std::optional<int> parseInteger(std::string_view word) {
    return text::parseInteger(word);
}

std::string joined(const std::vector<std::string>& words, std::size_t from) {
    std::string out;
    for (std::size_t i = from; i < words.size(); ++i) {
        if (!out.empty()) out += ' ';
        out += words[i];
    }
    return out;
}

int emptySquares(const Position& p) {
    return static_cast<int>(std::count(p.cells.begin(), p.cells.end(), Empty));
}

std::string boardText(const Position& p) {
    static constexpr const char* LETTERS = "   A B C D E F G H I J";
    std::string out = "\n";
    out += LETTERS;
    out += '\n';
    for (int row = 0; row < BOARD_SIZE; ++row) {
        const int rank = BOARD_SIZE - row;
        char label[8];
        std::snprintf(label, sizeof label, "%2d ", rank);
        out += label;
        for (int column = 0; column < BOARD_SIZE; ++column) {
            // Empty, arrow, white and black amazon; a game holds no other code.
            const CellCode code = p.cell(10 * row + column);
            out += code >= Empty && code <= BlackAmazon ? ".xWB"[code] : '?';
            out += ' ';
        }
        out += std::to_string(rank);
        out += '\n';
    }
    out += LETTERS;
    out += '\n';
    out += sideName(sideOf(p.sideToMove));
    out += hasNoLegalMove(p) ? " to move, and without a move" : " to move";
    return out;
}

}  // namespace

GtpEngine::GtpEngine(EngineSettings settings, ThinkFunction think)
    : settings_(std::move(settings)), think_(std::move(think)) {
    position_.setStartPosition();
}

const std::vector<GtpEngine::Entry>& GtpEngine::commands() {
    static const std::vector<Entry> table = {
        {"protocol_version", &GtpEngine::protocolVersion},
        {"name", &GtpEngine::name},
        {"version", &GtpEngine::version},
        {"known_command", &GtpEngine::knownCommand},
        {"list_commands", &GtpEngine::listCommands},
        {"quit", &GtpEngine::quit},
        {"boardsize", &GtpEngine::boardSize},
        {"clear_board", &GtpEngine::clearBoard},
        {"list_games", &GtpEngine::listGames},
        {"set_game", &GtpEngine::setGame},
        {"showboard", &GtpEngine::showBoard},
        {"play", &GtpEngine::play},
        {"genmove", &GtpEngine::genMove},
        {"undo", &GtpEngine::undo},
        {"time_settings", &GtpEngine::timeSettings},
        {"time_left", &GtpEngine::timeLeft},
        {"wintarvo-depth", &GtpEngine::depthLimit},
        {"wintarvo-time", &GtpEngine::timeLimit},
        {"wintarvo-limits", &GtpEngine::limits},
    };
    return table;
}

std::string GtpEngine::respond(std::string_view line) {
    return respondAt(line, std::chrono::steady_clock::now());
}

std::string GtpEngine::respondAt(std::string_view line,
                                 std::chrono::steady_clock::time_point read) {
    lineRead_ = read;
    Command command;
    if (line.size() > MAX_LINE_LENGTH) line = line.substr(0, MAX_LINE_LENGTH);
    if (!parseCommand(line, command)) return {};
    if (command.name.empty())
        return failureResponse(command.id, "syntax error: no command after the id");
    for (const Entry& entry : commands()) {
        if (command.name != entry.name) continue;
        const Reply reply = (this->*entry.handler)(command.arguments);
        return reply.ok ? successResponse(command.id, reply.text)
                        : failureResponse(command.id, reply.text);
    }
    return failureResponse(command.id, "unknown command");
}

bool GtpEngine::run(std::istream& in, std::ostream& out) {
    InputLine line;
    while (!quit_ && readLine(in, line)) {
        const auto read = std::chrono::steady_clock::now();
        std::string response;
        if (line.tooLong) {
            // A comment or a line of blanks gets no response, however long it is.
            Command command;
            if (!parseCommand(line.text, command) && !line.commandDropped) continue;
            response =
                failureResponse(command.id, "line too long: more than " +
                                                std::to_string(MAX_LINE_LENGTH) + " characters");
        } else {
            response = respondAt(line.text, read);
        }
        if (response.empty()) continue;
        out << response;
        out.flush();
        if (!out) return false;
        answered(std::chrono::steady_clock::now());
    }
    return true;
}

void GtpEngine::answered(std::chrono::steady_clock::time_point written) {
    if (!pending_) return;
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    overhead_.record(duration_cast<milliseconds>(written - pending_->plannedEnd).count());
    if (timeSettings_)
        spendTime(*timeSettings_, clocks_[pending_->side],
                  duration_cast<milliseconds>(written - lineRead_).count());
    pending_.reset();
}

GtpEngine::Reply GtpEngine::protocolVersion(const std::vector<std::string>&) {
    return {true, "2"};
}

GtpEngine::Reply GtpEngine::name(const std::vector<std::string>&) {
    return {true, "WinTarvo"};
}

GtpEngine::Reply GtpEngine::version(const std::vector<std::string>&) {
    return {true, settings_.version};
}

GtpEngine::Reply GtpEngine::knownCommand(const std::vector<std::string>& args) {
    const bool known =
        args.size() == 1 && std::any_of(commands().begin(), commands().end(),
                                        [&](const Entry& e) { return args[0] == e.name; });
    return {true, known ? "true" : "false"};
}

GtpEngine::Reply GtpEngine::listCommands(const std::vector<std::string>&) {
    std::string text;
    for (const Entry& entry : commands()) {
        if (!text.empty()) text += '\n';
        text += entry.name;
    }
    return {true, text};
}

GtpEngine::Reply GtpEngine::quit(const std::vector<std::string>&) {
    quit_ = true;
    return {};
}

GtpEngine::Reply GtpEngine::boardSize(const std::vector<std::string>& args) {
    if (args.size() != 1 || !parseInteger(args[0]))
        return {false, "syntax error: boardsize needs one integer"};
    if (*parseInteger(args[0]) != BOARD_SIZE) return {false, "unacceptable size"};
    return clearBoard({});
}

GtpEngine::Reply GtpEngine::clearBoard(const std::vector<std::string>&) {
    position_.setStartPosition();
    history_.clear();
    return {};
}

GtpEngine::Reply GtpEngine::listGames(const std::vector<std::string>&) {
    return {true, GAME_NAME};
}

GtpEngine::Reply GtpEngine::setGame(const std::vector<std::string>& args) {
    const std::string game = joined(args, 0);
    if (!text::equalsIgnoringCase(game, GAME_NAME))
        return {false, "unsupported game '" + quotedInput(game) + "': only Amazons is played"};
    return {};
}

GtpEngine::Reply GtpEngine::showBoard(const std::vector<std::string>&) {
    return {true, boardText(position_)};
}

GtpEngine::Reply GtpEngine::play(const std::vector<std::string>& args) {
    if (args.size() < 2) return {false, "syntax error: play needs a colour and a move"};
    const auto side = parseColour(args[0]);
    if (!side) return {false, "syntax error: '" + quotedInput(args[0]) + "' is not a colour"};
    // The move may hold blanks ("D1-D4 (D7)"): it is the rest of the line.
    const std::string text = joined(args, 1);
    Move m;
    if (*side != sideOf(position_.sideToMove) || !parseTypedMove(text, m) ||
        !isLegalMove(position_, m))
        return {false, "illegal move"};
    position_.applyMove(m);
    history_.push_back(m);
    return {};
}

GtpEngine::Reply GtpEngine::genMove(const std::vector<std::string>& args) {
    if (args.size() != 1) return {false, "syntax error: genmove needs one colour"};
    const auto side = parseColour(args[0]);
    if (!side) return {false, "syntax error: '" + quotedInput(args[0]) + "' is not a colour"};
    if (*side != sideOf(position_.sideToMove))
        return {false, "wrong side: " + std::string(sideName(sideOf(position_.sideToMove))) +
                           " is to move"};
    if (hasNoLegalMove(position_)) return {true, "resign"};
    const ThinkRequest request = nextRequest();
    const ThinkAnswer answer = think_(request);
    // The answer is due now: the time from here to its being written is the overhead to keep.
    pending_ =
        PendingAnswer{sideIndex(sideOf(position_.sideToMove)), std::chrono::steady_clock::now()};
    if (request.tournament && answer.stoppedAtDeadline)
        pending_->plannedEnd = request.tournament->clock.origin +
                               std::chrono::milliseconds(request.tournament->clock.hardMs);
    // Whatever the think hands back, the game takes only a legal move.
    if (!answer.found || !isLegalMove(position_, answer.move))
        return {false, "the engine found no move in a position that has one"};
    position_.applyMove(answer.move);
    history_.push_back(answer.move);
    return {true, dashedMoveText(answer.move)};
}

GtpEngine::Reply GtpEngine::undo(const std::vector<std::string>&) {
    if (history_.empty()) return {false, "cannot undo"};
    position_.undoMove(history_.back());
    history_.pop_back();
    return {};
}

GtpEngine::Reply GtpEngine::timeSettings(const std::vector<std::string>& args) {
    std::optional<int> values[3];
    if (args.size() == 3)
        for (std::size_t i = 0; i < 3; ++i)
            values[i] = parseInteger(args[i]);
    if (args.size() != 3 || !values[0] || !values[1] || !values[2] || *values[0] < 0 ||
        *values[1] < 0 || *values[2] < 0)
        return {false,
                "syntax error: time_settings needs main time, byo-yomi time and "
                "byo-yomi stones, three integers of at least 0"};
    timeSettings_ = TimeSettings{*values[0], *values[1], *values[2]};
    clocks_[0] = clocks_[1] = startingClock(*timeSettings_);
    return {};
}

GtpEngine::Reply GtpEngine::timeLeft(const std::vector<std::string>& args) {
    const auto side = args.size() == 3 ? parseColour(args[0]) : std::nullopt;
    const auto seconds = args.size() == 3 ? parseInteger(args[1]) : std::nullopt;
    const auto stones = args.size() == 3 ? parseInteger(args[2]) : std::nullopt;
    if (!side || !seconds || !stones || *stones < 0)
        return {false,
                "syntax error: time_left needs a colour, the seconds left and the "
                "stones left (at least 0)"};
    // A clock already past zero counts as zero.
    clocks_[sideIndex(*side)] = Clock{std::max(*seconds, 0) * std::int64_t{1000}, *stones};
    return {};
}

GtpEngine::Reply GtpEngine::depthLimit(const std::vector<std::string>& args) {
    const auto depth = args.size() == 1 ? parseInteger(args[0]) : std::nullopt;
    if (!depth || (*depth < 1 && *depth != -1))
        return {false, "syntax error: wintarvo-depth needs plies of at least 1, or -1 for none"};
    settings_.depthLimit = *depth;
    return {};
}

GtpEngine::Reply GtpEngine::timeLimit(const std::vector<std::string>& args) {
    const auto seconds = args.size() == 1 ? parseInteger(args[0]) : std::nullopt;
    if (!seconds || *seconds < -1)
        return {false, "syntax error: wintarvo-time needs seconds of at least 0, or -1 for none"};
    settings_.timeLimit = *seconds;
    return {};
}

GtpEngine::Reply GtpEngine::limits(const std::vector<std::string>&) {
    const ThinkRequest request = nextRequest();
    std::string text = "depth " + std::to_string(request.depthLimit);
    if (request.tournament) {
        const ThinkClock& clock = request.tournament->clock;
        return {true, text + " soft " + std::to_string(clock.softMs) + " hard " +
                          std::to_string(clock.hardMs) + " solver " +
                          (request.splitSolver ? "on" : "off")};
    }
    text += " time " + std::to_string(request.timeLimit);
    if (request.deadlineSeconds) {
        char deadline[32];
        std::snprintf(deadline, sizeof deadline, " deadline %.1f", *request.deadlineSeconds);
        text += deadline;
    }
    return {true, text};
}

ThinkRequest GtpEngine::nextRequest() const {
    ThinkRequest request =
        thinkRequest(position_, settings_.depthLimit,
                     settings_.timeLimit.value_or(DEFAULT_TIME_LIMIT), settings_.helperThread);
    const bool clock = timeSettings_ && timeSettings_->limited();
    const int side = position_.sideToMove != 0 ? 1 : 0;
    if (clock && settings_.standardThink) {
        const Budget budget = budgetFor(*timeSettings_, clocks_[side], emptySquares(position_),
                                        settings_.timeLimit.value_or(-1));
        request.timeLimit = budget.timeLimit;
        request.deadlineSeconds = budget.deadline;
    } else if (clock || settings_.moveTimeMs) {
        const MoveBudget budget =
            clock ? clockBudget(*timeSettings_, clocks_[side], position_, settings_.splitSolver,
                                overhead_.marginMs())
                  : budgetForMoveTime(*settings_.moveTimeMs, overhead_.marginMs());
        // --time caps the clock's budget here as well.
        const std::int64_t cap = settings_.timeLimit && *settings_.timeLimit >= 0
                                     ? *settings_.timeLimit * std::int64_t{1000}
                                     : budget.hardMs;
        TournamentThink tournament;
        tournament.clock.origin = lineRead_;
        tournament.clock.softMs = std::min(budget.softMs, cap);
        tournament.clock.hardMs = std::min(budget.hardMs, cap);
        request.tournament = tournament;
        request.splitSolver = settings_.splitSolver;
    }
    return request;
}

}  // namespace wintarvo::gtp
