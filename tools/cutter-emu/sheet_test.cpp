// The printed sheet on the bed: where a placement puts it, how far a cut
// lies from the contour, where the head is as the stream moves it, and the
// layout file plotmark writes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "cutter-emu/session.h"
#include "cutter-emu/sheet_check.h"
#include "cutter-emu/sheet_geometry.h"
#include "cutter-emu/sheet_layout.h"

namespace cutter_emu {
namespace {

constexpr double kEps = 1e-6;

TEST(SheetGeometry, PlacementMapsSheetToBedAndBack) {
  const Vec origin{1000, 2000};
  struct Case {
    const char* place;
    Vec sheet, bed;
  };
  const Case cases[] = {
      {"0,0,0,0,0", {400, 800}, {1400, 2800}},     {"0,3,4,0,0", {0, 0}, {1120, 2160}},     // shifted 3 and 4 mm
      {"90,0,0,0,0", {400, 0}, {1000, 2400}},                                               // x turns toward +y
      {"90,0,0,0,0", {0, 400}, {600, 2000}},       {"0,0,0,1,0", {4000, 0}, {5040, 2000}},  // 1 % wider across
      {"0,0,0,0,0.5", {0, 4000}, {1000, 6020}},     // 0.5 % longer along the feed
      {"0,0,0,0,0,1", {4000, 0}, {5000, 2000}},     // a trapezoid: as printed at y = 0,
      {"0,0,0,0,0,1", {4000, 4000}, {5040, 6000}},  // 1 % wider 100 mm on
      {"-90,1,0,0,0,0", {400, 0}, {1040, 1600}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.place) + " at " + std::to_string(c.sheet.x) + "," + std::to_string(c.sheet.y));
    const std::optional<Placement> p = ParsePlacement(c.place);
    ASSERT_TRUE(p.has_value());
    const SheetPlacement placement(*p, origin);
    const Vec bed = placement.ToBed(c.sheet);
    EXPECT_NEAR(bed.x, c.bed.x, kEps);
    EXPECT_NEAR(bed.y, c.bed.y, kEps);
    const Vec back = placement.ToSheet(bed);
    EXPECT_NEAR(back.x, c.sheet.x, kEps);
    EXPECT_NEAR(back.y, c.sheet.y, kEps);
  }
  // A placement as a careless load gives: turned, shifted, scaled, and a
  // trapezoid; every point comes back where it was.
  const SheetPlacement askew(*ParsePlacement("1.5,3,4,0.3,0.5,1"), origin);
  for (const Vec s : {Vec{0, 0}, Vec{3700.5, 12.25}, Vec{-800, 9000}, Vec{5000, 5000}}) {
    const Vec back = askew.ToSheet(askew.ToBed(s));
    EXPECT_NEAR(back.x, s.x, kEps);
    EXPECT_NEAR(back.y, s.y, kEps);
  }
}

TEST(SheetGeometry, PlacementText) {
  const std::pair<const char*, bool> cases[] = {
      {"1.5,3,4,0,0.5", true}, {"1.5,3,4,0,0.5,1", true}, {"-2,-3,-4,-1,-1,-49", true},
      {"1,2,3,4", false},      {"1,2,3,4,5,6,7", false},  {"1,2,,4,5", false},
      {"1,2,3,4,5,", false},   {"1,2,3,4,5x", false},     {"", false},
      {"0,0,0,-100,0", false}, {"0,0,0,0,-100", false},   {"0,0,0,0,0,50", false},
      {"nan,0,0,0,0", false},  {"0,inf,0,0,0", false},    {"1e999,0,0,0,0", false},
  };
  for (const auto& [text, valid] : cases) EXPECT_EQ(ParsePlacement(text).has_value(), valid) << text;
}

TEST(SheetGeometry, SegmentDistance) {
  struct Case {
    Vec q, a, b;
    double distance;
    Vec nearest;
  };
  const Case cases[] = {
      {{5, 5}, {0, 0}, {10, 0}, 5, {5, 0}},                    // over the middle
      {{-3, 4}, {0, 0}, {10, 0}, 5, {0, 0}},                   // before the start: to the end point
      {{13, 4}, {0, 0}, {10, 0}, 5, {10, 0}},                  // past the end
      {{3, 4}, {0, 0}, {0, 0}, 5, {0, 0}},                     // a segment of no length
      {{0, 0}, {-10, 0}, {10, 20}, std::sqrt(50.0), {-5, 5}},  // aslant
  };
  for (const Case& c : cases) {
    Vec nearest;
    EXPECT_NEAR(SegmentDistance(c.q, c.a, c.b, &nearest), c.distance, kEps);
    EXPECT_NEAR(nearest.x, c.nearest.x, kEps);
    EXPECT_NEAR(nearest.y, c.nearest.y, kEps);
  }
}

// The grid finds what a look at every segment finds, inside the contour's
// box, outside it, and far away.
TEST(SheetGeometry, SegmentIndexFindsTheNearestSegment) {
  std::vector<SegmentIndex::Segment> segments;
  const Vec centre{3000, 3000};
  Vec previous{centre.x + 2000, centre.y};
  for (int i = 1; i <= 200; ++i) {
    const double a = 2 * 3.141592653589793 * i / 200;
    const Vec p{centre.x + 2000 * std::cos(a), centre.y + 2000 * std::sin(a)};
    segments.push_back({previous, p});
    previous = p;
  }
  segments.push_back({{0, 0}, {8000, 100}});  // one long segment across many cells
  const SegmentIndex index(segments);
  for (double y = -5000; y <= 12000; y += 370) {
    for (double x = -5000; x <= 12000; x += 410) {
      double brute = std::numeric_limits<double>::infinity();
      for (const auto& s : segments) brute = std::min(brute, SegmentDistance({x, y}, s.a, s.b));
      Vec nearest;
      const double found = index.Distance({x, y}, &nearest);
      ASSERT_NEAR(found, brute, kEps) << x << "," << y;
      EXPECT_NEAR(std::hypot(nearest.x - x, nearest.y - y), found, kEps);
    }
  }
  EXPECT_EQ(SegmentIndex({}).Distance({0, 0}), std::numeric_limits<double>::infinity());
}

TEST(SheetGeometry, CutMeasuredAgainstTheContour) {
  const std::vector<std::vector<Vec>> contour{{{0, 0}, {4000, 0}}};
  const SegmentIndex index(ContourSegments(contour));
  struct Case {
    const char* name;
    const char* place;
    std::vector<Segment> segments;
    double max, rms, contourMax;
  };
  const Case cases[] = {
      {"on the contour", "0,0,0,0,0", {{0, 0, 4000, 0, SegmentKind::Cut}}, 0, 0, 0},
      {"0.2 mm beside it", "0,0,0,0,0", {{0, 8, 4000, 8, SegmentKind::Cut}}, 8, 8, 8},
      {"half of it", "0,0,0,0,0", {{0, 0, 2000, 0, SegmentKind::Cut}}, 0, 0, 2000},
      // Half the length 0.2 mm off, half on: the RMS over the length.
      {"in two parts",
       "0,0,0,0,0",
       {{0, 8, 2000, 8, SegmentKind::Cut}, {2000, 0, 4000, 0, SegmentKind::Cut}},
       8,
       std::sqrt(32.0),
       8},
      // Travel and jogs are not cut.
      {"travel ignored",
       "0,0,0,0,0",
       {{0, 800, 4000, 800, SegmentKind::Travel}, {0, 0, 4000, 0, SegmentKind::Cut}, {0, 0, 0, 99, SegmentKind::Jog}},
       0,
       0,
       0},
      // The sheet lies 1 mm further across: a cut 1 mm further lands on it.
      {"a shifted sheet", "0,1,0,0,0", {{40, 0, 4040, 0, SegmentKind::Cut}}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobRecord job;
    job.segments = c.segments;
    const std::optional<Deviation> d = MeasureCut(job, SheetPlacement(*ParsePlacement(c.place), {}), index, contour);
    ASSERT_TRUE(d.has_value());
    EXPECT_NEAR(d->cutMax, c.max, 1e-3);
    EXPECT_NEAR(d->cutRms, c.rms, 1e-3);
    EXPECT_NEAR(d->contourMax, c.contourMax, 1e-3);
  }
  JobRecord travelOnly;
  travelOnly.segments = {{0, 0, 100, 0, SegmentKind::Travel}};
  EXPECT_FALSE(MeasureCut(travelOnly, SheetPlacement({}, {}), index, contour).has_value());
}

constexpr const char* kLayout =
    "# a comment\n"
    "plotmark-layout 1\r\n"
    "marktype 1\n"
    "margin 40\n"
    "span 4000 4000\n"
    "sections 1\n"
    "mark 1 0 0\n"
    "mark 2 0 4000\n"
    "mark 3 4000 4000\n"
    "mark 4 4000 0\n"
    "path 5\n"
    "400 400\n3600 400\n3600 3600\n400 3600\n400 400\n";

TEST(SheetGeometry, ThreeMarksCannotCorrectATrapezoid) {
  SheetLayout layout;
  std::string error;
  ASSERT_TRUE(ParseSheetLayout(kLayout, layout, error)) << error;
  const std::pair<const char*, double> cases[] = {
      {"1.5,3,4,0,0.5", 0},  // affine: three marks are enough
      {"-7,0,0,2,-1", 0},
      // 1 % wider per 100 mm along the feed: the contour's far corner
      // (3600, 3600) lies 3600 x 1 % x 0.9 = 32.4 units from where the
      // marks 1, 2 and 4 put it.
      {"0,0,0,0,0,1", 32.4},
  };
  for (const auto& [place, residual] : cases) {
    const std::optional<double> r = ThreeMarkResidual(layout, SheetPlacement(*ParsePlacement(place), {}));
    ASSERT_TRUE(r.has_value()) << place;
    EXPECT_NEAR(*r, residual, kEps) << place;
  }
}

TEST(SheetGeometry, LayoutFile) {
  SheetLayout layout;
  std::string error;
  ASSERT_TRUE(ParseSheetLayout(kLayout, layout, error)) << error;
  EXPECT_EQ(layout.markType, 1);
  EXPECT_EQ(layout.margin, 40);
  ASSERT_EQ(layout.marks.size(), 4u);
  ASSERT_NE(layout.Mark(3), nullptr);
  EXPECT_EQ(layout.Mark(3)->at.x, 4000);
  ASSERT_EQ(layout.contour.size(), 1u);
  EXPECT_EQ(layout.contour[0].size(), 5u);
  const std::pair<std::string, std::string> bad[] = {
      {"plotmark-layout 2\npath 2\n0 0\n1 1\n", "line 1: not a plotmark sheet layout"},
      {"plotmark-layout 1\nmargin 40\n", "line 2: the layout holds no contour"},
      {"plotmark-layout 1\npath 1\n0 0\n", "line 2: a path needs 2 points or more"},
      {"plotmark-layout 1\npath 3\n0 0\n1 1\n", "line 4: expected \"x y\" of a path point"},
      {"plotmark-layout 1\npath 2\n0 0\n1 x\n", "line 4: expected \"x y\" of a path point"},
      {"plotmark-layout 1\nmark 1.5 0 0\npath 2\n0 0\n1 1\n", "line 2: not understood"},
      {"plotmark-layout 1\nspan 4000\npath 2\n0 0\n1 1\n", "line 2: not understood"},
  };
  for (const auto& [text, message] : bad) {
    SheetLayout untouched;
    EXPECT_FALSE(ParseSheetLayout(text, untouched, error)) << text;
    EXPECT_TRUE(error.starts_with(message)) << error;
    EXPECT_TRUE(untouched.contour.empty());
  }
}

// The head followed through the stream as the cutter reads it: the digit
// exchange of a move's first number undone, jogs included, and each section
// one section width further along the feed.
TEST(SheetGeometry, HeadFollowedThroughTheStream) {
  struct Case {
    const char* stream;
    const char* head;  // mm, x then y
  };
  const Case cases[] = {
      {"", "head 0.000 0.000"},
      // The alignment's opening move goes out as is, so the cutter reads
      // its 400 as 300.
      {"TKN;U0,0;>U400,400;", "head 10.000 7.500"},
      {"TKN;U0,0;>U400,400;U4400,400;", "head 10.000 85.000"},  // a jog to y = 3400
      {">U3420,380;", "head 9.500 110.500"},
      {">U-3400,400;", "head 10.000 -85.000"},  // a minus sign stays
      {">U3400,400;<TKN;U6000,0;D7000,40;", "head 1.000 150.000"},
      {"TKN;TB27,40,1000,4080;D10,0;TB27,40,1000,4080;D10,20;", "head 0.500 25.250"},
  };
  SheetLayout layout;
  std::string error;
  ASSERT_TRUE(ParseSheetLayout(kLayout, layout, error)) << error;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stream);
    EventLog log;
    Session session(1, {}, log);
    SheetWatch watch(&layout, {}, "");
    session.Watch(watch);
    session.BeginConnection();
    // One byte at a time: the head must not depend on how the bytes come.
    for (const char ch : std::string_view(c.stream)) session.Receive(std::string_view(&ch, 1));
    const std::string status = watch.StatusText();
    EXPECT_NE(status.find(std::string("\n") + c.head + "\n"), std::string::npos) << status;
  }
  // On the first mark of a straight sheet (its origin 10 mm + the margin
  // from the bed's), the status says so, and how far the second mark is.
  EventLog log;
  Session session(1, {}, log);
  SheetWatch watch(&layout, {}, "");
  session.Watch(watch);
  session.BeginConnection();
  session.Receive(">U340,440;");  // y = 440 sent exchanged
  const std::string status = watch.StatusText();
  EXPECT_NE(status.find("moves 1\nhead 11.000 11.000\n"), std::string::npos) << status;
  EXPECT_NE(status.find("mark 1 dx=0.000 dy=0.000 distance=0.000\n"), std::string::npos) << status;
  EXPECT_NE(status.find("mark 3 dx=100.000 dy=100.000 distance=141.421\n"), std::string::npos) << status;
}

}  // namespace
}  // namespace cutter_emu
