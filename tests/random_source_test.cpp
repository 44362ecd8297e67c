#include "random_source.h"

#include <gtest/gtest.h>

#include <vector>

#include "drill.h"
#include "fake_view.h"
#include "temp_files.h"

namespace rekendo {
namespace {

TEST(RandomSource, KnownSequence) {
  RandomSource random;
  random.Reseed(12345);
  std::vector<std::uint32_t> draws;
  for (const std::uint32_t n : {10u, 10u, 1000u, 7u, 0u, 1u, 0xFFFFFFFFu}) {
    draws.push_back(random.RandomBelow(n));
  }
  // state' = state * 134775813 + 1, draw = (n * state') >> 32
  EXPECT_EQ(draws, (std::vector<std::uint32_t>{3, 2, 79, 3, 0, 0, 1889648463}));
  EXPECT_EQ(random.state(), 1889648464u);
}

TEST(RandomSource, EveryDrawIsBelowItsBound) {
  RandomSource random;
  random.Reseed(0xDEADBEEF);
  for (std::uint32_t n = 1; n < 5000; n += 7) {
    EXPECT_LT(random.RandomBelow(n), n);
  }
}

TEST(RandomSource, ClockSeedIsMillisecondsSinceUtcMidnight) {
  EXPECT_LT(RandomSource::MillisecondsSinceUtcMidnight(), 24u * 60 * 60 * 1000);

  // Loading with an empty trivia file draws nothing, so the state is the clock's reading.
  testing::TempDir dir;
  testing::FakeView view;
  Drill drill(view, [] { return 45296789u; });  // 12:34:56.789
  drill.LoadDataFiles(dir.Write("j.han", ""), dir.Write("t.zat", ""));
  EXPECT_EQ(drill.Snapshot().random_state, 45296789u);
}

}  // namespace
}  // namespace rekendo
