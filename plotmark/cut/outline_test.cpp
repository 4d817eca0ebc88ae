#include "cut/outline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "cut/cut_selection.h"

namespace plotmark {
namespace {

// Distance from p to the segment ab.
double ToSegment(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

double ToPaths(Point p, const std::vector<Point>& pts, const std::vector<Span>& spans) {
  double best = 1e300;
  for (const Span& s : spans)
    for (size_t i = s.begin; i + 1 < s.end; ++i) best = std::min(best, ToSegment(p, pts[i], pts[i + 1]));
  return best;
}

void AddPath(Design& d, std::vector<Point> pts, bool closed, bool filled) {
  DesignPath p{d.points.size(), 0, closed, filled ? std::nullopt : std::optional<Colour>(0), filled, false};
  d.points.insert(d.points.end(), pts.begin(), pts.end());
  p.end = d.points.size();
  d.paths.push_back(p);
}

// The grown outline of a square, a circle overlapping it, an open stroke
// 10 mm away and an invisible path: rings whose every vertex and chord
// midpoint lies the distance from the artwork, within 0.05 mm; every artwork
// vertex lies at least that far inside. The stroke joins the rest once the
// distance bridges the gap.
TEST(Outline, KeepsTheDistanceFromTheArtwork) {
  Design d;
  AddPath(d, {{0, 0}, {30, 0}, {30, 30}, {0, 30}, {0, 0}}, true, true);
  std::vector<Point> circle;
  for (int i = 0; i <= 720; ++i) {
    const double t = 2 * std::numbers::pi * i / 720;
    circle.push_back({40 + 12 * std::cos(t), 15 + 12 * std::sin(t)});
  }
  AddPath(d, circle, true, true);
  AddPath(d, {{0, 40}, {50, 60}}, false, false);  // a stroked line
  DesignPath hidden{d.points.size(), 0, true, std::nullopt, false, false};
  d.points.insert(d.points.end(), {{200, 200}, {210, 200}, {210, 210}, {200, 200}});
  hidden.end = d.points.size();
  d.paths.push_back(hidden);

  std::vector<Span> art(d.paths.size() - 1);
  for (size_t i = 0; i + 1 < d.paths.size(); ++i) art[i] = {d.paths[i].begin, d.paths[i].end, d.paths[i].closed};

  for (const auto& [distance, rings] : {std::pair{0.5, 2u}, {3.0, 2u}, {10.0, 1u}}) {
    const Polylines outline = SelectCut(d, {CutMode::Outline, 0, "", distance});
    ASSERT_EQ(outline.spans.size(), rings) << distance;
    for (const Span& ring : outline.spans) {
      EXPECT_TRUE(ring.closed);
      EXPECT_EQ(outline.points[ring.begin], outline.points[ring.end - 1]);
      for (size_t i = ring.begin; i + 1 < ring.end; ++i) {
        const Point p = outline.points[i], q = outline.points[i + 1];
        const Point mid{(p.x + q.x) / 2, (p.y + q.y) / 2};
        EXPECT_NEAR(ToPaths(p, d.points, art), distance, 0.05) << distance;
        EXPECT_NEAR(ToPaths(mid, d.points, art), distance, 0.05) << distance;
        EXPECT_LT(p.x, 150) << "the invisible path is not printed, so not outlined";
      }
    }
    for (const Span& s : art)
      for (size_t i = s.begin; i < s.end; ++i)
        EXPECT_GE(ToPaths(d.points[i], outline.points, outline.spans), distance - 0.05);
  }
}

TEST(CutSelection, ChoosesByMode) {
  Design d;
  AddPath(d, {{0, 0}, {1, 0}}, false, false);
  d.paths.back().stroke = 0xFF00FF;
  d.paths.back().inCutId = true;
  AddPath(d, {{0, 1}, {1, 1}}, false, false);
  EXPECT_EQ(SelectCut(d, {}).spans.size(), 2u);
  EXPECT_EQ(SelectCut(d, {CutMode::Stroke, 0xFF00FF, "", 0}).spans.size(), 1u);
  EXPECT_EQ(SelectCut(d, {CutMode::Stroke, 0x00FF00, "", 0}).spans.size(), 0u);
  EXPECT_EQ(SelectCut(d, {CutMode::Id, 0, "x", 0}).points.front(), (Point{0, 0}));
}

}  // namespace
}  // namespace plotmark
