#include "import/svg_import.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "import/flatten.h"
#include "import/svg_colour.h"

namespace plotmark {
namespace {

std::string Svg(const std::string& root, const std::string& body) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" " + root + ">" + body + "</svg>";
}

Point First(const Design& d, size_t path = 0) { return d.points[d.paths.at(path).begin]; }

// Units, viewBox and nested transforms: where the first point of a shape
// lands on the page, in mm.
TEST(SvgImport, PlacesShapesInMillimetres) {
  struct Case {
    const char* what;
    std::string root, body;
    Point expected;
  };
  const Case cases[] = {
      {"mm with viewBox",
       "width=\"100mm\" height=\"50mm\" viewBox=\"0 0 100 50\"",
       "<path d=\"M10 20L30 20\"/>",
       {10, 20}},
      {"cm", "width=\"10cm\" height=\"5cm\" viewBox=\"0 0 10 5\"", "<path d=\"M1 2L3 2\"/>", {10, 20}},
      {"in", "width=\"1in\" height=\"1in\" viewBox=\"0 0 1 1\"", "<path d=\"M0.5 0.25L1 1\"/>", {12.7, 6.35}},
      {"pt", "width=\"72pt\" height=\"72pt\" viewBox=\"0 0 72 72\"", "<path d=\"M36 0L72 0\"/>", {12.7, 0}},
      {"px at 96 per inch", "width=\"96\" height=\"96\"", "<path d=\"M48 96L0 0\"/>", {12.7, 25.4}},
      {"viewBox scales",
       "width=\"200mm\" height=\"100mm\" viewBox=\"0 0 100 50\"",
       "<path d=\"M10 20L0 0\"/>",
       {20, 40}},
      {"viewBox origin",
       "width=\"100mm\" height=\"100mm\" viewBox=\"-50 -50 100 100\"",
       "<path d=\"M0 0L1 1\"/>",
       {50, 50}},
      {"nested transforms",
       "width=\"100mm\" height=\"100mm\" viewBox=\"0 0 100 100\"",
       "<g transform=\"translate(10 5)\"><g transform=\"scale(2)\"><rect x=\"3\" y=\"4\" width=\"1\" height=\"1\"/></g></g>",
       {16, 13}},
      {"rotate",
       "width=\"100mm\" height=\"100mm\" viewBox=\"0 0 100 100\"",
       "<g transform=\"rotate(90)\"><path d=\"M10 0L20 0\"/></g>",
       {0, 10}},
      {"nested svg",
       "width=\"100mm\" height=\"100mm\" viewBox=\"0 0 100 100\"",
       "<svg x=\"20\" y=\"10\" width=\"50\" height=\"50\" viewBox=\"0 0 10 10\"><path d=\"M1 1L2 2\"/></svg>",
       {25, 15}},
  };
  for (const Case& c : cases) {
    const ImportResult r = ImportSvg(Svg(c.root, c.body), {});
    ASSERT_EQ(r.error, ImportError::None) << c.what << ": " << r.detail;
    ASSERT_FALSE(r.design.paths.empty()) << c.what;
    EXPECT_NEAR(First(r.design).x, c.expected.x, 1e-9) << c.what;
    EXPECT_NEAR(First(r.design).y, c.expected.y, 1e-9) << c.what;
  }
}

TEST(SvgImport, ReadsEveryShapeAndItsPage) {
  const ImportResult r = ImportSvg(
      Svg("width=\"100mm\" height=\"60mm\" viewBox=\"0 0 100 60\"",
          "<rect x=\"1\" y=\"1\" width=\"5\" height=\"5\"/><circle cx=\"20\" cy=\"20\" r=\"5\"/>"
          "<ellipse cx=\"40\" cy=\"20\" rx=\"5\" ry=\"3\"/><line x1=\"0\" y1=\"0\" x2=\"9\" y2=\"9\"/>"
          "<polyline points=\"0,0 5,5 10,0\"/><polygon points=\"0,0 5,5 10,0\"/>"
          "<path d=\"M0 0 10 0 10 10Z M20 20 h5 v5\"/><text>T</text><g style=\"display:none\"><path d=\"M0 0L1 1\"/></g>"),
      {});
  ASSERT_EQ(r.error, ImportError::None) << r.detail;
  // rect, circle, ellipse, line, polyline, polygon, two subpaths; the hidden group and the text do not count.
  ASSERT_EQ(r.design.paths.size(), 8u);
  EXPECT_EQ(r.design.textCount, 1u);
  EXPECT_DOUBLE_EQ(r.design.pageWidth, 100);
  EXPECT_DOUBLE_EQ(r.design.pageHeight, 60);
  const bool closed[] = {true, true, true, false, false, true, true, false};
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(r.design.paths[i].closed, closed[i]) << i;
  // A closed path ends where it starts.
  const DesignPath& rect = r.design.paths[0];
  EXPECT_EQ(r.design.points[rect.begin], r.design.points[rect.end - 1]);
}

// Every chord of a flattened circle, arc or curve stays within a plotter
// unit of the true shape, also under a scaling transform.
TEST(SvgImport, FlattensCurvesWithinOnePlotterUnit) {
  struct Case {
    const char* what;
    std::string body;
  };
  const Case cases[] = {
      {"circle", "<circle cx=\"50\" cy=\"50\" r=\"40\"/>"},
      {"arc", "<path d=\"M10 50 A40 40 0 1 1 90 50\"/>"},
      {"scaled circle", "<g transform=\"scale(8)\"><circle cx=\"6.25\" cy=\"6.25\" r=\"5\"/></g>"},
      {"cubic quarter", "<path d=\"M90 50 C90 72.0914 72.0914 90 50 90\"/>"},
  };
  for (const Case& c : cases) {
    const ImportResult r = ImportSvg(Svg("width=\"100mm\" height=\"100mm\" viewBox=\"0 0 100 100\"", c.body), {});
    ASSERT_EQ(r.error, ImportError::None) << c.what;
    const Design& d = r.design;
    ASSERT_EQ(d.paths.size(), 1u) << c.what;
    const double radius = 40;  // every case is (part of) a circle of 40 mm round (50, 50)
    double worst = 0;
    const double cubicError = std::string(c.what) == "cubic quarter" ? 0.011 : 0;  // the cubic is not a true arc
    for (size_t i = d.paths[0].begin; i < d.paths[0].end; ++i) {
      const Point p = d.points[i];
      worst = std::max(worst, std::abs(std::hypot(p.x - 50, p.y - 50) - radius));
      if (i + 1 < d.paths[0].end) {
        const Point q = d.points[i + 1];
        const Point mid{(p.x + q.x) / 2, (p.y + q.y) / 2};
        worst = std::max(worst, std::abs(std::hypot(mid.x - 50, mid.y - 50) - radius));
      }
    }
    EXPECT_LE(worst, kFlatnessMm + cubicError) << c.what;
    EXPECT_LT(d.paths[0].end - d.paths[0].begin, 400u) << c.what << ": no more chords than needed";
  }
}

TEST(SvgImport, SelectsByStrokeAndId) {
  const ImportResult r = ImportSvg(
      Svg("width=\"10mm\" height=\"10mm\" viewBox=\"0 0 10 10\"",
          "<g id=\"CutContour\" stroke=\"#FF00FF\"><path d=\"M0 0L1 1\"/><path style=\"stroke:red\" d=\"M0 0L2 2\"/></g>"
          "<path stroke=\"currentColor\" color=\"blue\" d=\"M0 0L3 3\"/><path d=\"M0 0L4 4\"/>"),
      {"CutContour"});
  ASSERT_EQ(r.design.paths.size(), 4u);
  // An Inkscape layer is found by its label.
  const ImportResult layer =
      ImportSvg(Svg("xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"",
                    "<g id=\"layer2\" inkscape:label=\"CutContour\"><path d=\"M0 0L1 1\"/></g><path d=\"M0 0L2 2\"/>"),
                {"CutContour"});
  ASSERT_EQ(layer.design.paths.size(), 2u);
  EXPECT_TRUE(layer.design.cutIdFound);
  EXPECT_TRUE(layer.design.paths[0].inCutId && !layer.design.paths[1].inCutId);
  EXPECT_TRUE(r.design.cutIdFound);
  EXPECT_EQ(r.design.paths[0].stroke, 0xFF00FFu);
  EXPECT_EQ(r.design.paths[1].stroke, 0xFF0000u);
  EXPECT_EQ(r.design.paths[2].stroke, 0x0000FFu);
  EXPECT_FALSE(r.design.paths[3].stroke.has_value());
  EXPECT_TRUE(r.design.paths[0].inCutId && r.design.paths[1].inCutId);
  EXPECT_FALSE(r.design.paths[2].inCutId || r.design.paths[3].inCutId);
  EXPECT_EQ(ParseSvgColour("magenta"), 0xFF00FFu);
  EXPECT_EQ(ParseSvgColour("#f0f"), 0xFF00FFu);
  EXPECT_EQ(ParseSvgColour("rgb(255,0,255)"), 0xFF00FFu);
  EXPECT_FALSE(ParseSvgColour("notacolour").has_value());
  EXPECT_FALSE(ParseSvgColour("red\"/><x").has_value());
}

TEST(SvgImport, RefusesBrokenDocuments) {
  std::string nested;
  for (int i = 0; i < 2000; ++i) nested += "<g>";
  const std::string cases[] = {
      "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\"M0 0L1 1\"/>",  // unclosed
      "<html><body/></html>",
      "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect width=\"oops\" height=\"1\"/></svg>",
      "<svg xmlns=\"http://www.w3.org/2000/svg\">" + nested,
  };
  for (const std::string& text : cases) {
    const ImportResult r = ImportSvg(text, {});
    EXPECT_EQ(r.error, ImportError::BrokenSvg) << text.substr(0, 80);
    EXPECT_FALSE(r.detail.empty());
  }
}

}  // namespace
}  // namespace plotmark
