// Drawings of a job record: orientation, what is drawn how, SVG and PNG files.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "cutter-emu/png_file.h"
#include "cutter-emu/render_job.h"
#include "cutter-emu/svg_canvas.h"
#include "cutter-emu/writer_streams.h"

namespace cutter_emu {
namespace {

using testing::ReadFile;
using testing::ScratchPath;

// A 400 x 800 unit rectangle cut from the origin, then a travel to (2000, 0).
JobRecord Rectangle() {
  JobRecord r;
  r.segments = {{0, 0, 400, 0, SegmentKind::Cut},
                {400, 0, 400, 800, SegmentKind::Cut},
                {400, 800, 0, 800, SegmentKind::Cut},
                {0, 800, 0, 0, SegmentKind::Cut},
                {0, 0, 2000, 0, SegmentKind::Travel}};
  r.summary.bytes = 77;
  r.summary.cuts = 4;
  r.summary.penUps = 1;
  r.summary.cutLength = 2400;
  r.status = JobStatus::Complete;
  return r;
}

size_t Count(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

TEST(RenderTest, OriginBottomRightXGrowsLeftYGrowsUp) {
  const Layout l = ComputeLayout(Rectangle(), 1000);
  EXPECT_DOUBLE_EQ(l.scale, 0.5);  // the longer side, 2000 units, fills 1000 pixels
  const PixelPoint origin = l.At(0, 0), far = l.At(2000, 800);
  EXPECT_DOUBLE_EQ(origin.x, l.margin + 1000);
  EXPECT_DOUBLE_EQ(origin.y, l.margin + 400);
  EXPECT_DOUBLE_EQ(far.x, l.margin);
  EXPECT_DOUBLE_EQ(far.y, l.margin);
  EXPECT_GE(l.width, 1000 + 2 * l.margin);
  EXPECT_GT(l.height, 400 + 2 * l.margin);  // and the summary band
}

TEST(RenderTest, SvgHasOnePathPerJoinedRunAndTheSummary) {
  const std::string path = ScratchPath("job.svg");
  ASSERT_TRUE(WriteSvg(Rectangle(), true, path));
  std::string svg = ReadFile(path);
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_EQ(Count(svg, "<polyline"), 2u);  // the four joined cuts, the travel
  EXPECT_EQ(Count(svg, "stroke-dasharray"), 1u);
  // The rectangle at a scale of 0.6 (2000 units in 1200 pixels), margin 20.
  EXPECT_NE(svg.find("points=\"1220.00,500.00 980.00,500.00 980.00,20.00 1220.00,20.00 1220.00,500.00\""),
            std::string::npos)
      << svg;
  EXPECT_NE(svg.find(">77 bytes, 1 moves, 4 cuts, cut length 60.000 mm, complete</text>"), std::string::npos);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");

  ASSERT_TRUE(WriteSvg(Rectangle(), false, path));
  svg = ReadFile(path);
  EXPECT_EQ(Count(svg, "<polyline"), 1u);
  std::filesystem::remove(path);
  EXPECT_FALSE(WriteSvg(Rectangle(), true, ScratchPath("missing/dir/job.svg")));
}

class PngTest : public ::testing::Test {
 protected:
  struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;
    uint32_t At(PixelPoint p) const {
      return rgb[static_cast<size_t>(p.y) * static_cast<size_t>(width) + static_cast<size_t>(p.x)] & 0xffffff;
    }
  };
  Pixels Load() {
    cairo_surface_t* s = cairo_image_surface_create_from_png(path_.c_str());
    Pixels p;
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
      cairo_surface_flush(s);
      p.width = cairo_image_surface_get_width(s);
      p.height = cairo_image_surface_get_height(s);
      const int stride = cairo_image_surface_get_stride(s);
      const unsigned char* data = cairo_image_surface_get_data(s);
      for (int y = 0; y < p.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        p.rgb.insert(p.rgb.end(), row, row + p.width);
      }
    }
    cairo_surface_destroy(s);
    return p;
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::string path_ = ScratchPath("job.png");
};

TEST_F(PngTest, CutsDarkTravelLightBackgroundWhite) {
  const JobRecord r = Rectangle();
  const Layout l = ComputeLayout(r, kDrawingSize);
  ASSERT_TRUE(WritePng(r, true, path_));
  const Pixels p = Load();
  ASSERT_EQ(p.width, static_cast<int>(std::ceil(l.width)));
  ASSERT_EQ(p.height, static_cast<int>(std::ceil(l.height)));
  const uint32_t white = 0xffffff;
  const uint32_t onCut = p.At(l.At(400, 400));
  EXPECT_LT(onCut & 0xff, 0x80u) << std::hex << onCut;
  EXPECT_EQ(p.At(l.At(200, 400)), white);  // inside the rectangle
  // Somewhere along the dashed travel the line shows, lighter than a cut.
  uint32_t darkest = white;
  for (int32_t x = 800; x < 1600; x += 5) darkest = std::min(darkest, p.At(l.At(x, 0)) & 0xff);
  EXPECT_LT(darkest, 0xffu);
  EXPECT_GT(darkest, onCut & 0xff);

  ASSERT_TRUE(WritePng(r, false, path_));
  const Pixels hidden = Load();
  for (int32_t x = 800; x < 1600; x += 5) ASSERT_EQ(hidden.At(l.At(x, 0)), white) << x;
  EXPECT_FALSE(WritePng(r, true, ScratchPath("missing/dir/job.png")));
}

}  // namespace
}  // namespace cutter_emu
