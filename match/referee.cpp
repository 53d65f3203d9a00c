#include "match/referee.h"

#include <algorithm>
#include <set>
#include <utility>

#include "match/gtp_client.h"
#include "model/move_generation.h"
#include "model/position.h"
#include "model/text.h"
#include "model/typed_move.h"

namespace wintarvo::match {
namespace {

using std::chrono::nanoseconds;

std::string_view trimmed(std::string_view text) {
    return text::trimmed(text, text::GTP_BLANKS);
}

bool answered(const GtpResponse& r) {
    return r.kind == ResponseKind::Success || r.kind == ResponseKind::Failure;
}

// An engine's reason for a refusal, fit to quote.
std::string refusalText(const GtpResponse& r) {
    const std::string_view text = trimmed(r.text);
    return text.empty() ? "(no reason given)" : quoted(text);
}

class Game {
  public:
    Game(const RefereeSettings& settings, const RefereeEngine& white, const RefereeEngine& black)
        : settings_(settings), clock_(settings.clock), engines_{white, black} {
        position_.setStartPosition();
    }

    GameOutcome play(const MoveList& opening) {
        const MoveList legal = legalOpening(opening);
        for (const int side : {0, 1})
            if (!setUp(side, legal)) return outcome_;
        for (const Move& m : legal) {
            position_.applyMove(m);
            outcome_.moves.push_back(m);
        }
        while (!over_)
            ply();
        return outcome_;
    }

  private:
    EngineChannel& channel(int side) { return *engines_[side].channel; }

    void lose(int side, EndReason reason, std::string text, bool spoilt = false) {
        over_ = true;
        outcome_.winner = 1 - side;
        outcome_.reason = reason;
        outcome_.reasonText = std::move(text);
        outcome_.spoilt[side] = spoilt;
    }

    // The loss of an engine that did not answer a command at all.
    void loseUnanswered(int side, const GtpResponse& r, const std::string& command,
                        nanoseconds waited) {
        const std::string who = sideName(side);
        if (r.kind == ResponseKind::Timeout)
            lose(side, EndReason::Silent,
                 who + " gave no answer to '" + command + "' within " + secondsText(waited), true);
        else if (r.kind == ResponseKind::Malformed)
            lose(side, EndReason::Malformed,
                 who + " answered '" + command + "' with output that is not GTP: " + r.text, true);
        else
            lose(side, EndReason::Crashed,
                 who + "'s engine ended or stopped reading at '" + command + "'", true);
    }

    GtpResponse ask(int side, const std::string& command) {
        return exchange(channel(side), command, channel(side).now() + settings_.commandCap);
    }

    // A command the game cannot do without: anything but success loses.
    bool require(int side, const std::string& command, const std::string& refused) {
        const GtpResponse r = ask(side, command);
        if (r.kind == ResponseKind::Success) return true;
        if (r.kind == ResponseKind::Failure)
            lose(side, EndReason::Refused, refused + ": " + refusalText(r));
        else
            loseUnanswered(side, r, command, settings_.commandCap);
        return false;
    }

    // A command the engine may refuse (the clock's): the refusal is noted, once a game.
    bool tolerate(int side, const std::string& command) {
        const GtpResponse r = ask(side, command);
        if (!answered(r)) {
            loseUnanswered(side, r, command, settings_.commandCap);
            return false;
        }
        const std::string name = command.substr(0, command.find(' '));
        if (r.kind == ResponseKind::Failure && noted_.insert({side, name}).second)
            outcome_.notes.push_back(std::string(sideName(side)) + " refused '" + command +
                                     "': " + refusalText(r));
        return true;
    }

    MoveList legalOpening(const MoveList& opening) {
        Position p;
        p.setStartPosition();
        MoveList legal;
        for (const Move& m : opening) {
            if (!isLegalMove(p, m)) {
                outcome_.notes.push_back("opening move " + std::to_string(legal.size() + 1) + ", " +
                                         gtpMove(m) + ", is not legal; the opening ends before it");
                break;
            }
            p.applyMove(m);
            legal.push_back(m);
        }
        return legal;
    }

    bool setUp(int side, const MoveList& opening) {
        const std::string who = sideName(side);
        const auto needed = [&](const std::string& command) {
            return require(side, command, who + " refused '" + command + "'");
        };
        if (engines_[side].knowsSetGame && !needed("set_game Amazons")) return false;
        if (!needed("boardsize 10") || !needed("clear_board")) return false;
        const std::string settings = clock_.timeSettingsCommand();
        if (!settings.empty() && !tolerate(side, settings)) return false;
        for (std::size_t i = 0; i < opening.size(); ++i) {
            const std::string move = gtpMove(opening[i]);
            if (!require(side,
                         std::string("play ") + gtpColour(static_cast<int>(i % 2)) + " " + move,
                         who + " refused the opening move " + move))
                return false;
        }
        return true;
    }

    void ply() {
        const int side = position_.sideToMove != 0 ? 1 : 0;
        const std::string who = sideName(side);
        if (hasNoLegalMove(position_)) {
            lose(side, EndReason::NoMove, who + " has no move left");
            return;
        }
        const std::string timeLeft = clock_.timeLeftCommand(side);
        if (!timeLeft.empty() && !tolerate(side, timeLeft)) return;

        // 1. The move, within the allowance and the grace after it.
        const std::string command = std::string("genmove ") + gtpColour(side);
        const auto allowance = clock_.allowance(side);
        const nanoseconds wait =
            allowance ? *allowance + settings_.grace : nanoseconds(settings_.moveCap);
        const TimePoint start = channel(side).now();
        const GtpResponse r = exchange(channel(side), command, start + wait);
        if (r.kind == ResponseKind::Timeout && allowance) {
            lose(side, EndReason::TimeOverrun,
                 who + " gave no move within " + secondsText(wait) +
                     " (its time: " + secondsText(*allowance) + "); stopped",
                 true);
            return;
        }
        if (!answered(r)) {
            loseUnanswered(side, r, command, wait);
            return;
        }
        // 2. Time first: a late answer has lost, whatever it says.
        const nanoseconds think = r.received - start;
        outcome_.think[side].add(think);
        std::string overrun;
        if (!clock_.charge(side, think, overrun)) {
            lose(side, EndReason::TimeOverrun, overrun);
            return;
        }
        // 3. The answer.
        if (r.kind == ResponseKind::Failure) {
            lose(side, EndReason::ErrorAnswer,
                 who + " answered genmove with an error: " + refusalText(r));
            return;
        }
        const std::string_view answer = trimmed(r.text);
        const std::string word = text::lowerCase(answer);
        Move m;
        if (word == "resign") {
            lose(side, EndReason::Resigned, who + " resigned");
        } else if (word == "pass") {
            lose(side, EndReason::IllegalMove, who + " passed, and Amazons has no pass");
        } else if (!parseTypedMove(answer, m)) {
            lose(side, EndReason::NotAMove,
                 who + " answered genmove with '" + quoted(answer) + "', which is not a move");
        } else if (!isLegalMove(position_, m)) {
            lose(side, EndReason::IllegalMove,
                 who + " played " + gtpMove(m) + ", which is not legal here");
        } else {
            played(side, m);
        }
    }

    // 4. The move goes to the other engine, unless it has ended the game.
    void played(int side, const Move& m) {
        position_.applyMove(m);
        outcome_.moves.push_back(m);
        if (hasNoLegalMove(position_)) return;
        const std::string move = gtpMove(m);
        require(1 - side, std::string("play ") + gtpColour(side) + " " + move,
                std::string(sideName(1 - side)) + " refused " + sideName(side) + "'s legal move " +
                    move);
    }

    const RefereeSettings& settings_;
    GameClock clock_;
    RefereeEngine engines_[2];
    Position position_;
    GameOutcome outcome_;
    bool over_ = false;
    std::set<std::pair<int, std::string>> noted_;
};

}  // namespace

void ThinkStats::add(std::chrono::nanoseconds think) {
    ++moves;
    total += think;
    largest = std::max(largest, think);
}

double ThinkStats::averageSeconds() const {
    return moves == 0 ? 0.0 : std::chrono::duration<double>(total).count() / moves;
}

double ThinkStats::largestSeconds() const {
    return std::chrono::duration<double>(largest).count();
}

GameOutcome playGame(const MoveList& opening, const RefereeSettings& settings,
                     const RefereeEngine& white, const RefereeEngine& black) {
    Game game(settings, white, black);
    return game.play(opening);
}

}  // namespace wintarvo::match
