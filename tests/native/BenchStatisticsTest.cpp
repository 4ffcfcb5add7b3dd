// The launch benchmarks' statistics (bench/Statistics.h), over known samples.
#include <gtest/gtest.h>

#include <cstddef>
#include <tuple>
#include <utility>
#include <vector>

#include "bench/Statistics.h"

namespace velmora::bench {
namespace {

TEST(BenchStatistics, SignTestRankIsTheBinomialTablesRank) {
  // n: the published ranks of the 95 % interval for a median; under 6 there is none.
  const std::pair<std::size_t, std::size_t> table[] = {{0, 0},  {1, 0},   {5, 0},   {6, 1},  {7, 1},
                                                       {10, 2}, {15, 4},  {20, 6},  {30, 10}, {41, 14},
                                                       {100, 40}};
  for (const auto& [n, rank] : table) {
    EXPECT_EQ(SignTestRank(n), rank) << n;
  }
}

TEST(BenchStatistics, MedianAndItsIntervalAreOrderStatistics) {
  // 1..41 shuffled: the median is the 21st, the interval the 14th and the 28th.
  std::vector<double> values;
  for (int i = 0; i < 41; ++i) {
    values.push_back(static_cast<double>((i * 17) % 41 + 1));
  }
  const MedianInterval m = MedianWithInterval(values);
  EXPECT_EQ(m.median, 21);
  EXPECT_EQ(m.low, 14);
  EXPECT_EQ(m.high, 28);

  const MedianInterval even = MedianWithInterval({4, 1, 3, 2, 10, 6, 5, 8, 7, 9});  // ranks 2 and 9
  EXPECT_EQ(even.median, 5.5);
  EXPECT_EQ(even.low, 2);
  EXPECT_EQ(even.high, 9);

  const MedianInterval few = MedianWithInterval({3, -1, 2});  // too few for an interval
  EXPECT_EQ(few.median, 2);
  EXPECT_EQ(few.low, 2);
  EXPECT_EQ(few.high, 2);
  const MedianInterval none = MedianWithInterval({});
  EXPECT_EQ(none.median, 0);
  EXPECT_EQ(none.low, 0);
  EXPECT_EQ(none.high, 0);
}

TEST(BenchStatistics, DifferencesPairTheSameRoundAndRatiosFollowTheFloorsMedian) {
  EXPECT_EQ(Differences({52, 50, 61}, {50, 53, 55}), (std::vector<double>{2, -3, 6}));
  const MedianInterval ratio = RatioToFloor({2.5, -1, 4}, 50);
  EXPECT_DOUBLE_EQ(ratio.median, 1.05);
  EXPECT_DOUBLE_EQ(ratio.low, 0.98);
  EXPECT_DOUBLE_EQ(ratio.high, 1.08);
}

TEST(BenchStatistics, QuartilesAreLinearBetweenRanksAndNoughtWithoutSamples) {
  const Quartiles q = QuartilesOf({7, 1, 3, 5});
  EXPECT_DOUBLE_EQ(q.q1, 2.5);
  EXPECT_DOUBLE_EQ(q.median, 4);
  EXPECT_DOUBLE_EQ(q.q3, 5.5);
  const Quartiles one = QuartilesOf({5});
  EXPECT_EQ(one.q1, 5);
  EXPECT_EQ(one.median, 5);
  EXPECT_EQ(one.q3, 5);
  const Quartiles none = QuartilesOf({});
  EXPECT_EQ(none.q1, 0);
  EXPECT_EQ(none.median, 0);
  EXPECT_EQ(none.q3, 0);
}

TEST(BenchStatistics, EachRoundStartsTheProgramAndItsFloorBackToBackInAlternatingOrder) {
  const std::tuple<int, std::size_t, std::vector<std::size_t>> table[] = {
      {1, 3, {2, 0, 1}}, {2, 3, {2, 1, 0}}, {3, 3, {2, 0, 1}}, {1, 2, {0, 1}}, {4, 2, {1, 0}}, {5, 4, {2, 3, 0, 1}}};
  for (const auto& [round, count, order] : table) {
    EXPECT_EQ(RoundOrder(round, count), order) << round << " of " << count;
  }
}

}  // namespace
}  // namespace velmora::bench
