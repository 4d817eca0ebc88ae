// The sheet prints at 1:1: its PDF page has the sheet's size, and the marks
// measured on the PDF (rasterised by pdftoppm) and on the SVG (rendered by
// librsvg) lie the spans plus margins apart.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <regex>
#include <sstream>

#include "import/svg_import.h"
#include "job/cut_job.h"
#include "marks/mark_layout.h"
#include "sheet/posix/rsvg_renderer.h"
#include "sheet/sheet_svg.h"

namespace plotmark {
namespace {

namespace fs = std::filesystem;

struct Blob {
  double x = 0, y = 0, n = 0;
};

// Centroids (mm) of the black blobs of a PNG at pxPerMm at least half a mark
// dot in area; the artwork is light, the cut lines red, the labels small.
std::vector<Point> BlackBlobs(const std::string& png, double pxPerMm) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  EXPECT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS) << png;
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  const int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  std::vector<int> label(size_t(w) * h, -1);
  std::vector<Blob> blobs;
  auto black = [&](int x, int y) {
    const uint32_t p = *reinterpret_cast<const uint32_t*>(data + size_t(y) * stride + size_t(x) * 4);
    return ((p >> 16) & 255) < 100 && ((p >> 8) & 255) < 100 && (p & 255) < 100;
  };
  std::vector<std::pair<int, int>> stack;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (label[size_t(y) * w + x] >= 0 || !black(x, y)) continue;
      Blob b;
      stack.push_back({x, y});
      label[size_t(y) * w + x] = int(blobs.size());
      while (!stack.empty()) {
        const auto [cx, cy] = stack.back();
        stack.pop_back();
        b.x += cx + 0.5, b.y += cy + 0.5, b.n += 1;
        for (const auto& [nx, ny] : {std::pair{cx + 1, cy}, {cx - 1, cy}, {cx, cy + 1}, {cx, cy - 1}})
          if (nx >= 0 && ny >= 0 && nx < w && ny < h && label[size_t(ny) * w + nx] < 0 && black(nx, ny)) {
            label[size_t(ny) * w + nx] = int(blobs.size());
            stack.push_back({nx, ny});
          }
      }
      blobs.push_back(b);
    }
  cairo_surface_destroy(s);
  std::vector<Point> out;
  for (const Blob& b : blobs)
    if (b.n > 0.5 * std::numbers::pi * 2.5 * 2.5 * pxPerMm * pxPerMm)
      out.push_back({b.x / b.n / pxPerMm, b.y / b.n / pxPerMm});
  return out;
}

TEST(SheetScale, MarksAreTheSpansApartInThePdfAndTheSvg) {
  const fs::path dir = fs::path(testing::TempDir()) / "plotmark_sheet";
  fs::create_directories(dir);
  const std::string design =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"120mm\" height=\"80mm\" viewBox=\"0 0 120 80\">"
      "<rect x=\"20\" y=\"15\" width=\"80\" height=\"50\" fill=\"#c0d0ff\" stroke=\"#ff00ff\"/></svg>";
  const ImportResult r = ImportSvg(design, {});
  ASSERT_EQ(r.error, ImportError::None);
  Polylines cut;
  cut.Add(r.design.points.data() + r.design.paths[0].begin, r.design.points.data() + r.design.paths[0].end, true);
  const CutJob job = MakeCutJob(cut, *BoundsOf(cut.points));
  // Type 3: filled circles, (X + 2M) across and Y along the feed, and the fifth.
  const MarkValues v{job.spanX, job.spanY, 400, 3, 1};
  const std::vector<Mark> marks = LayoutMarks(v, MarkSizes{});
  SheetInput in{&r.design, &design, &job, &marks, MarkSizes{}, std::nullopt};
  const std::optional<Sheet> sheet = MakeSheet(in);
  ASSERT_TRUE(sheet);
  std::ofstream((dir / "sheet.svg").string()) << sheet->svg;

  RsvgRenderer renderer;
  const std::string pdf = (dir / "sheet.pdf").string(), png = (dir / "sheet.png").string();
  ASSERT_TRUE(renderer.RenderPdf(*sheet, pdf));
  ASSERT_TRUE(renderer.RenderPng(*sheet, job, png));

  // The page size in points.
  std::stringstream text;
  text << std::ifstream(pdf, std::ios::binary).rdbuf();
  std::smatch m;
  const std::string t = text.str();
  ASSERT_TRUE(std::regex_search(t, m, std::regex("/MediaBox \\[ *0 0 ([0-9.]+) ([0-9.]+) *\\]")));
  EXPECT_NEAR(std::stod(m[1]), sheet->width * 72 / 25.4, 0.01);
  EXPECT_NEAR(std::stod(m[2]), sheet->height * 72 / 25.4, 0.01);

  const double across = (v.spanX + 2.0 * v.margin) / 40, along = v.spanY / 40.0;  // 100 x 50 mm
  ASSERT_EQ(across, 100);
  ASSERT_EQ(along, 50);
  struct Raster {
    std::string what, file;
    double pxPerMm, tolerance;
  };
  std::vector<Raster> rasters = {{"svg", png, kPreviewPxPerMm, 0.1}};
  const std::string raster = (dir / "pdf").string();
  if (std::system(("pdftoppm -r 254 -png -singlefile '" + pdf + "' '" + raster + "' 2>/dev/null").c_str()) == 0)
    rasters.push_back({"pdf", raster + ".png", 10.0, 0.05});
  else ADD_FAILURE() << "pdftoppm (poppler-utils) is missing: the PDF is not measured";
  for (const Raster& ras : rasters) {
    std::vector<Point> dots = BlackBlobs(ras.file, ras.pxPerMm);
    ASSERT_EQ(dots.size(), 5u) << ras.what;
    // Left and right pairs, top and bottom rows (the fifth above the bottom right).
    std::sort(dots.begin(), dots.end(), [](Point a, Point b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    const Point topLeft = dots[0], bottomLeft = dots[1];
    std::sort(dots.begin() + 2, dots.end(), [](Point a, Point b) { return a.y < b.y; });
    const Point topRight = dots[2], fifth = dots[3], bottomRight = dots[4];
    EXPECT_NEAR(topRight.x - topLeft.x, across, ras.tolerance) << ras.what;
    EXPECT_NEAR(bottomRight.x - bottomLeft.x, across, ras.tolerance) << ras.what;
    EXPECT_NEAR(bottomLeft.y - topLeft.y, along, ras.tolerance) << ras.what;
    EXPECT_NEAR(bottomRight.y - topRight.y, along, ras.tolerance) << ras.what;
    EXPECT_NEAR(bottomRight.y - fifth.y, OrientationOffset(MarkSizes{}) / 40, ras.tolerance) << ras.what;
    // The cut's bottom right corner is 10 mm from the origin mark (bottom right) in both directions.
    const double cutRight = sheet->offsetX + 100, cutBottom = sheet->offsetY + 65;
    EXPECT_NEAR(bottomRight.x - cutRight, 10, ras.tolerance) << ras.what;
    EXPECT_NEAR(bottomRight.y - cutBottom, 0, ras.tolerance) << ras.what;
  }
}

}  // namespace
}  // namespace plotmark
