#pragma once
// The median and the quartiles of a benchmark's samples, and the line every launch benchmark
// prints for one program: "result NAME LAUNCH_MEDIAN Q1 Q3 MEMORY_MEDIAN Q1 Q3" (ms, KiB), which
// scripts/bench gathers into one table.
#include <algorithm>
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

inline void PrintResult(const std::string& name, const std::vector<double>& launchMs,
                        const std::vector<double>& peakKib) {
  const Quartiles launch = QuartilesOf(launchMs), memory = QuartilesOf(peakKib);
  std::printf("result %s %.1f %.1f %.1f %.0f %.0f %.0f\n", name.c_str(), launch.median, launch.q1, launch.q3,
              memory.median, memory.q1, memory.q3);
}

}  // namespace velmora::bench
