#include "job/path_order.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "job/path_nesting.h"
#include "job/path_order_check.h"
#include "job/point_index.h"

namespace plotsend {
namespace {

using Points = std::vector<OrderPoint>;

SectionPaths Paths(const std::vector<Points>& list) {
  SectionPaths paths;
  for (const Points& path : list) {
    paths.StartPath(path[0]);
    for (size_t i = 1; i < path.size(); ++i) paths.AddPoint(path[i]);
  }
  return paths;
}

// A closed square with corners (x, y) and (x + side, y + side), drawn from (x, y).
Points Square(int32_t x, int32_t y, int32_t side) {
  return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}, {x, y}};
}

TEST(PointIndexTest, NearestAndKNearestMatchAScan) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int32_t> coordinate(-50, 50);  // many equal distances
  std::vector<PointIndex::Entry> entries;
  for (uint32_t i = 0; i < 500; ++i) entries.push_back({coordinate(random), coordinate(random), i % 97});
  PointIndex index(entries);
  std::vector<bool> active(entries.size(), false);
  std::vector<size_t> found;
  for (int round = 0; round < 400; ++round) {
    const size_t given = random() % entries.size();
    active[given] = !active[given];
    index.SetActive(index.SlotOf(given), active[given]);
    const int32_t x = coordinate(random), y = coordinate(random);
    std::vector<double> scan;
    double nearest = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
      if (!active[i]) continue;
      const double d = SquaredDistance(x, y, entries[i].x, entries[i].y);
      if (nearest < 0 || d < nearest) nearest = d;
      if (entries[i].id != 5) scan.push_back(d);
    }
    const size_t slot = index.Nearest(x, y);
    if (nearest < 0) {
      EXPECT_EQ(slot, PointIndex::kNone);
      continue;
    }
    ASSERT_NE(slot, PointIndex::kNone);
    EXPECT_TRUE(index.Active(slot));
    EXPECT_EQ(SquaredDistance(x, y, index.At(slot).x, index.At(slot).y), nearest);
    std::sort(scan.begin(), scan.end());
    scan.resize(std::min<size_t>(scan.size(), 6));
    index.KNearest(x, y, 6, 5, found);
    std::vector<double> got;
    for (const size_t s : found) got.push_back(SquaredDistance(x, y, index.At(s).x, index.At(s).y));
    EXPECT_EQ(got, scan) << "round " << round;
  }
}

TEST(SideOfRingTest, InsideOutsideAndOnTheOutline) {
  // A concave ring: a square with a notch cut into its top.
  const Points ring{{0, 0}, {100, 0}, {100, 100}, {60, 100}, {50, 50}, {40, 100}, {0, 100}, {0, 0}};
  const struct {
    OrderPoint q;
    RingSide side;
  } cases[] = {
      {{10, 10}, RingSide::Inside},     {{50, 80}, RingSide::Outside},   {{50, 40}, RingSide::Inside},
      {{150, 0}, RingSide::Outside},    {{-1, 50}, RingSide::Outside},   {{50, 0}, RingSide::Boundary},
      {{100, 100}, RingSide::Boundary}, {{50, 50}, RingSide::Boundary},  {{20, 100}, RingSide::Boundary},
      {{80, 100}, RingSide::Boundary},  {{200, 100}, RingSide::Outside}, {{50, 100}, RingSide::Outside},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SideOfRing(ring, c.q), c.side) << c.q.x << "," << c.q.y;
  }
}

TEST(NestingTest, EnclosersAtAnyDepthButNotNeighboursOrCrossings) {
  const SectionPaths paths = Paths({
      Square(0, 0, 1000),     // 0: outermost
      Square(100, 100, 800),  // 1: inside 0
      Square(200, 200, 100),  // 2: inside 1 and 0
      Square(2000, 0, 100),   // 3: apart
      {{10, 10}, {20, 20}},   // 4: open, never nested
      Square(2000, 50, 100),  // 5: overlaps 3 without being inside it
      Square(100, 100, 800),  // 6: the same outline as 1: neither holds the other
  });
  const Nesting nesting = FindNesting(paths);
  const auto enclosers = [&](size_t p) {
    const auto s = nesting.Enclosers(p);
    return std::vector<uint32_t>(s.begin(), s.end());
  };
  EXPECT_EQ(enclosers(0), (std::vector<uint32_t>{}));
  EXPECT_EQ(enclosers(1), (std::vector<uint32_t>{0}));
  EXPECT_EQ(enclosers(2), (std::vector<uint32_t>{1, 6, 0}));  // innermost first
  EXPECT_EQ(enclosers(3), (std::vector<uint32_t>{}));
  EXPECT_EQ(enclosers(4), (std::vector<uint32_t>{}));
  EXPECT_EQ(enclosers(5), (std::vector<uint32_t>{}));
  EXPECT_EQ(enclosers(6), (std::vector<uint32_t>{0}));
}

TEST(OrderPathsTest, PromisesHoldAndEachCaseIsCutAsExpected) {
  const struct {
    std::string name;
    std::vector<Points> paths;
    OrderPoint from, to;
    bool turn;
    std::vector<PathCut> expected;  // empty: only the promises are checked
  } cases[] = {
      {"no paths", {}, {0, 0}, {5, 0}, true, {}},
      {"no paths and nowhere to go", {}, {3, 3}, {3, 3}, true, {}},
      {"an open path is cut from its nearer end", {{{900, 0}, {500, 0}, {10, 0}}}, {0, 0}, {1000, 0}, true, {{0, 2}}},
      {"unless paths keep their direction", {{{900, 0}, {500, 0}, {10, 0}}}, {0, 0}, {1000, 0}, false, {{0, 0}}},
      {"a closed path starts at its vertex nearest the head",
       {Square(100, 100, 50)},
       {300, 300},
       {300, 300},
       true,
       {{0, 2}}},
      {"nested squares drawn outermost first are cut innermost first",
       {Square(0, 0, 1000), Square(100, 100, 800), Square(200, 200, 100)},
       {0, 0},
       {0, 0},
       true,
       {{2, 0}, {1, 0}, {0, 0}}},
      {"far paths drawn in the shortest order stay in it",
       {{{0, 0}, {10, 0}}, {{1000, 0}, {1010, 0}}, {{2000, 0}, {2010, 0}}},
       {0, 0},
       {3000, 0},
       true,
       {{0, 0}, {1, 0}, {2, 0}}},
      {"single points and two-point loops",
       {{{5, 5}}, {{7, 7}, {9, 9}, {7, 7}}, {{5, 5}}, {{1, 1}, {2, 2}}},
       {0, 0},
       {0, 0},
       true,
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SectionPaths paths = Paths(c.paths);
    OrderOptions options{c.from, c.to, 0.05, c.turn};
    const OrderResult result = OrderPaths(paths, options);
    EXPECT_EQ(order_check::Violation(paths, options, result), "");
    if (!c.expected.empty()) {
      EXPECT_EQ(result.order, c.expected);
    }
  }
}

// Random sections of stickers, nested contours and open strokes: the
// promises hold with and without time to improve, and the improvement
// finds a shorter order than nearest-neighbour alone.
TEST(OrderPathsTest, RandomSectionsKeepThePromisesAndGainOverNearestNeighbour) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int32_t> at(0, 20000), step(-300, 300), size(50, 400);
  for (int round = 0; round < 6; ++round) {
    std::vector<Points> list;
    for (int k = 0; k < 300; ++k) {
      const int32_t x = at(random), y = at(random), s = size(random);
      switch (random() % 3) {
        case 0: list.push_back(Square(x, y, s)); break;
        case 1:
          list.push_back(Square(x, y, 4 * s));
          list.push_back(Square(x + s, y + s, s));
          break;
        default: list.push_back({{x, y}, {x + step(random), y + step(random)}, {x + step(random), y}}); break;
      }
    }
    const SectionPaths paths = Paths(list);
    for (const double budget : {0.0, 0.2}) {
      for (const bool turn : {true, false}) {
        const OrderOptions options{{0, 0}, {0, 30000}, budget, turn};
        const OrderResult result = OrderPaths(paths, options);
        EXPECT_EQ(order_check::Violation(paths, options, result), "") << round << " " << budget << " " << turn;
        if (budget > 0) {
          EXPECT_LT(result.orderedTravel, result.nearestTravel);
        }
      }
    }
  }
}

}  // namespace
}  // namespace plotsend
