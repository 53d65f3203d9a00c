// What a match's score says: the win rate of engine 1 with its 95% Wilson interval, and the
// Elo difference it stands for, with the interval turned into Elo as its margin.
//
// Amazons has no draws, so the score is wins and losses alone. The Wilson interval keeps inside
// 0..1 and behaves at small counts and at 0 or all wins, where the normal approximation does
// not; a rate of 0 or 1 is an infinite Elo difference and is reported as such. Plain functions.
#pragma once

namespace wintarvo::match {

// z of a two-sided 95% interval.
constexpr double Z_95 = 1.959963984540054;

struct Interval {
    double low = 0.0;
    double high = 0.0;
};

// The Wilson score interval of `wins` in `games` (games > 0).
Interval wilsonInterval(int wins, int games, double z = Z_95);

// 400 log10(p / (1 - p)): minus infinity at 0, infinity at 1.
double eloDifference(double rate);

struct ScoreEstimate {
    int wins = 0;
    int losses = 0;
    double rate = 0.0;
    Interval rateInterval;
    double elo = 0.0;
    Interval eloInterval;
    // Half the Elo interval's width (the interval is not symmetric about elo).
    double eloMargin = 0.0;
};

// The estimate of engine 1's strength from its wins and losses (at least one game).
ScoreEstimate estimateScore(int wins, int losses);

}  // namespace wintarvo::match
