#pragma once
// The statistics of the launch benchmarks, and the lines they print for scripts/bench.
// Per program: "result NAME LAUNCH_MEDIAN Q1 Q3 MEMORY_MEDIAN Q1 Q3" (ms, KiB). For the program
// against its floor, started back to back in every round: "paired NAME FLOOR DIFF LOW HIGH RATIO
// LOW HIGH", the median of the per-round launch differences (program minus floor, ms) with its
// 95 % confidence interval, and the launch ratio to the floor derived from them.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace velmora::bench {

struct Quartiles {
  double q1 = 0, median = 0, q3 = 0;
};

// Linear between the closest ranks, as spreadsheets compute them.
inline Quartiles QuartilesOf(std::vector<double> values) {
  if (values.empty()) {
    return {};
  }
  std::sort(values.begin(), values.end());
  const auto at = [&](double fraction) {
    const double rank = fraction * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(rank);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (rank - static_cast<double>(below));
  };
  return {at(0.25), at(0.5), at(0.75)};
}

// The rank k of the sign test's 95 % interval for a median of n samples, [x(k), x(n+1-k)] in
// sorted order: the largest k with 2 P(Binomial(n, 1/2) <= k-1) <= 0.05, so that the interval
// covers the true median at least 95 % of the time whatever the samples' distribution. 0 when
// n is too small (under 6) for any interval to be that sure.
inline std::size_t SignTestRank(std::size_t n) {
  double below = 0;  // P(Binomial(n, 1/2) <= k-1)
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double di = static_cast<double>(i), dn = static_cast<double>(n);
    below += std::exp(std::lgamma(dn + 1) - std::lgamma(di + 1) - std::lgamma(dn - di + 1) - dn * std::log(2.0));
    if (2 * below > 0.05) {
      break;
    }
    k = i + 1;
  }
  return k;
}

struct MedianInterval {
  double median = 0, low = 0, high = 0;  // without an interval, low and high are the median
};

// The median of the samples and its 95 % interval (SignTestRank).
inline MedianInterval MedianWithInterval(std::vector<double> values) {
  if (values.empty()) {
    return {};
  }
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  const std::size_t k = SignTestRank(n);
  if (k == 0) {
    return {median, median, median};
  }
  return {median, values[k - 1], values[n - k]};
}

// Program minus floor, round by round (the two lists in the same order of rounds).
inline std::vector<double> Differences(const std::vector<double>& program, const std::vector<double>& floor) {
  std::vector<double> differences;
  for (std::size_t i = 0; i < std::min(program.size(), floor.size()); ++i) {
    differences.push_back(program[i] - floor[i]);
  }
  return differences;
}

// The launch against the floor's: 1 + difference / the floor's median launch, for the median and
// each end of its interval.
inline MedianInterval RatioToFloor(const MedianInterval& difference, double floorMedian) {
  return {1 + difference.median / floorMedian, 1 + difference.low / floorMedian, 1 + difference.high / floorMedian};
}

// Which program starts at each turn of a round, programs[0] being the program and programs[1]
// its floor: the others (the bare window) first, then the program and the floor back to back,
// the program first in odd rounds and the floor first in even ones.
inline std::vector<std::size_t> RoundOrder(int round, std::size_t count) {
  std::vector<std::size_t> order;
  for (std::size_t i = 2; i < count; ++i) {
    order.push_back(i);
  }
  if (round % 2 != 0) {
    order.insert(order.end(), {0, 1});
  } else {
    order.insert(order.end(), {1, 0});
  }
  return order;
}

inline void PrintResult(const std::string& name, const std::vector<double>& launchMs,
                        const std::vector<double>& peakKib) {
  const Quartiles launch = QuartilesOf(launchMs), memory = QuartilesOf(peakKib);
  std::printf("result %s %.1f %.1f %.1f %.0f %.0f %.0f\n", name.c_str(), launch.median, launch.q1, launch.q3,
              memory.median, memory.q1, memory.q3);
}

inline void PrintPaired(const std::string& name, const std::vector<double>& launchMs, const std::string& floorName,
                        const std::vector<double>& floorLaunchMs) {
  const MedianInterval difference = MedianWithInterval(Differences(launchMs, floorLaunchMs));
  const MedianInterval ratio = RatioToFloor(difference, QuartilesOf(floorLaunchMs).median);
  std::printf("paired %s %s %.1f %.1f %.1f %.3f %.3f %.3f\n", name.c_str(), floorName.c_str(), difference.median,
              difference.low, difference.high, ratio.median, ratio.low, ratio.high);
}

}  // namespace velmora::bench
