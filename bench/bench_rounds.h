// How every benchmark measures: the figure and its baseline in the same
// run, in alternating order over at least five rounds, each reported by
// its median, minimum and maximum, and the ratio of the medians.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

constexpr int kMinRounds = 5;

// Seconds of one round of a figure.
using Round = std::function<double()>;

struct Spread {
    double median, min, max;
};

inline Spread SpreadOf(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    const size_t n = seconds.size();
    const double median = n % 2 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2;
    return {median, seconds.front(), seconds.back()};
}

struct Comparison {
    Spread measured, baseline;
    double Ratio() const { return baseline.median > 0 ? measured.median / baseline.median : 0; }
};

// Runs every figure once a round for rounds (at least kMinRounds), each
// round starting with the next figure, so none always finds the caches
// another left.
inline std::vector<Spread> MeasureInTurns(int rounds, const std::vector<Round>& figures) {
    rounds = std::max(rounds, kMinRounds);
    std::vector<std::vector<double>> seconds(figures.size());
    for (int r = 0; r < rounds; ++r)
        for (size_t i = 0; i < figures.size(); ++i) {
            const size_t f = (static_cast<size_t>(r) + i) % figures.size();
            seconds[f].push_back(figures[f]());
        }
    std::vector<Spread> spreads;
    for (const auto& s : seconds) spreads.push_back(SpreadOf(s));
    return spreads;
}

// The measured figure against its baseline, in alternating order.
inline Comparison Compare(int rounds, const Round& measured, const Round& baseline) {
    const std::vector<Spread> s = MeasureInTurns(rounds, {measured, baseline});
    return {s[0], s[1]};
}

// "name: mediaan x s (min y, max z)" for both, and their ratio.
inline void Print(const std::string& title, const std::string& measuredName, const std::string& baselineName,
                  const Comparison& c) {
    std::printf("%s\n  %-40s mediaan %.3f s (min %.3f, max %.3f)\n  %-40s mediaan %.3f s (min %.3f, max %.3f)\n"
                "  verhouding van de medianen %.2f\n",
                title.c_str(), measuredName.c_str(), c.measured.median, c.measured.min, c.measured.max,
                baselineName.c_str(), c.baseline.median, c.baseline.min, c.baseline.max, c.Ratio());
    std::fflush(stdout);
}

}  // namespace bench
