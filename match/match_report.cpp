#include "match/match_report.h"

#include <cmath>
#include <cstdio>

#include "match/match_statistics.h"

namespace wintarvo::match {
namespace {

// Tabs and line ends would split or break a line.
std::string oneField(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
}

std::string formatted(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string eloText(double elo) {
    if (std::isinf(elo)) return elo > 0 ? "+inf" : "-inf";
    return formatted("%+.1f", elo);
}

std::string percent(double rate) {
    return formatted("%.1f%%", 100.0 * rate);
}

}  // namespace

std::string headerLines(const MatchDescription& match) {
    std::string out;
    for (int e = 0; e < 2; ++e)
        out += "engine\t" + std::to_string(e + 1) + "\tname=" + oneField(match.names[e]) +
               "\tcommand=" + oneField(match.commands[e]) + "\n";
    out += "match\tgames=" + std::to_string(match.games) +
           "\topenings=" + std::to_string(match.openings) +
           "\topening_plies=" + std::to_string(match.openingPlies) +
           "\tseed=" + std::to_string(match.seed) + "\tclock=" + clockText(match.clock) +
           "\tconcurrency=" + std::to_string(match.concurrency) + "\n";
    return out;
}

std::string sgfResult(const GameOutcome& outcome) {
    std::string result = outcome.winner == 0 ? "W+" : "B+";
    switch (outcome.reason) {
        case EndReason::NoMove:
            break;
        case EndReason::Resigned:
            result += 'R';
            break;
        case EndReason::TimeOverrun:
            result += 'T';
            break;
        default:
            result += 'F';
            break;
    }
    return result;
}

std::string gameLine(int number, bool engineOneWhite, const GameOutcome& outcome) {
    const int whiteEngine = engineOneWhite ? 1 : 2;
    const int winner = outcome.winner == 0 ? whiteEngine : 3 - whiteEngine;
    std::string out = "game\t" + std::to_string(number) + "\twhite=" + std::to_string(whiteEngine) +
                      "\tresult=" + sgfResult(outcome) + "\twinner=" + std::to_string(winner) +
                      "\tplies=" + std::to_string(outcome.moves.size());
    for (int engine = 1; engine <= 2; ++engine) {
        const ThinkStats& think = outcome.think[engine == whiteEngine ? 0 : 1];
        const std::string n = std::to_string(engine);
        // An engine that answered no genmove has no think to report.
        const bool none = think.moves == 0;
        out += "\tavg" + n + "=" + (none ? "-" : formatted("%.3f", think.averageSeconds())) +
               "\tmax" + n + "=" + (none ? "-" : formatted("%.3f", think.largestSeconds()));
    }
    return out + "\treason=" + oneField(outcome.reasonText) + "\n";
}

std::string scoreLine(int wins, int losses) {
    std::string out = "score\twins=" + std::to_string(wins) + "\tlosses=" + std::to_string(losses) +
                      "\tgames=" + std::to_string(wins + losses);
    if (wins + losses == 0) return out + "\n";
    const ScoreEstimate e = estimateScore(wins, losses);
    const std::string margin = std::isinf(e.eloMargin) ? "inf" : formatted("%.1f", e.eloMargin);
    return out + "\twin_rate=" + percent(e.rate) + "\tinterval=" + percent(e.rateInterval.low) +
           ".." + percent(e.rateInterval.high) + "\telo=" + eloText(e.elo) + "\tmargin=" + margin +
           "\telo_interval=" + eloText(e.eloInterval.low) + ".." + eloText(e.eloInterval.high) +
           "\n";
}

SgfGameInfo sgfGameInfo(const MatchDescription& match, bool engineOneWhite,
                        const GameOutcome& outcome) {
    SgfGameInfo info;
    info.white = match.names[engineOneWhite ? 0 : 1];
    info.black = match.names[engineOneWhite ? 1 : 0];
    info.date = sgfDateToday();
    info.result = sgfResult(outcome);
    return info;
}

}  // namespace wintarvo::match
