#include "match/match_statistics.h"

#include <cmath>
#include <limits>

namespace wintarvo::match {

Interval wilsonInterval(int wins, int games, double z) {
    const double n = games;
    const double p = wins / n;
    const double z2 = z * z;
    const double denominator = 1.0 + z2 / n;
    const double centre = (p + z2 / (2.0 * n)) / denominator;
    const double half = z / denominator * std::sqrt(p * (1.0 - p) / n + z2 / (4.0 * n * n));
    // At 0 or all wins one end is exact; rounding must not move it off 0 or 1 (an Elo bound
    // of thousands instead of infinity).
    Interval interval{centre - half, centre + half};
    if (wins == 0) interval.low = 0.0;
    if (wins == games) interval.high = 1.0;
    return interval;
}

double eloDifference(double rate) {
    constexpr double INF = std::numeric_limits<double>::infinity();
    if (rate <= 0.0) return -INF;
    if (rate >= 1.0) return INF;
    // + 0.0 turns the -0 of an even score into 0.
    return 400.0 * std::log10(rate / (1.0 - rate)) + 0.0;
}

ScoreEstimate estimateScore(int wins, int losses) {
    ScoreEstimate e;
    e.wins = wins;
    e.losses = losses;
    const int games = wins + losses;
    e.rate = static_cast<double>(wins) / games;
    e.rateInterval = wilsonInterval(wins, games);
    e.elo = eloDifference(e.rate);
    e.eloInterval = {eloDifference(e.rateInterval.low), eloDifference(e.rateInterval.high)};
    e.eloMargin = (e.eloInterval.high - e.eloInterval.low) / 2.0;
    return e;
}

}  // namespace wintarvo::match
