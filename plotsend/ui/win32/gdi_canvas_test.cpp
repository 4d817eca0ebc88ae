#include "ui/win32/gdi_canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job/plt_file.h"
#include "ui/job_preview.h"
#include "ui/win32/dib_surface.h"

namespace plotsend::win32 {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGreen{0, 160, 0};

// Pixels of one colour in the rectangle [left, right) x [top, bottom).
int Count(const DibSurface& s, PixelRect r, Rgb colour) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) n += s.At(x, y) == colour;
  }
  return n;
}

// The smallest rectangle holding the pixels for which `drawn` holds.
template <typename Drawn>
PixelRect Bounding(const DibSurface& s, Drawn drawn) {
  PixelRect r{s.Width(), s.Height(), 0, 0};
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (!drawn(s.At(x, y))) continue;
      r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    }
  }
  return r;
}

// Every pixel that is not `background`.
PixelRect Ink(const DibSurface& s, Rgb background) {
  return Bounding(s, [background](Rgb p) { return p != background; });
}

TEST(GdiCanvas, PolylineJoinsThePointsAndLeavesTheLastOneUnset) {
  DibSurface s(40, 40);
  ASSERT_TRUE(s.Ok());
  {
    GdiCanvas c(s.Dc());
    c.SelectPen(Pen{kRed, 1});
    const PixelPoint points[] = {{2, 2}, {10, 2}, {10, 8}};
    c.Polyline(points);
    const PixelPoint single[] = {{20, 20}};
    c.Polyline(single);  // nothing to join
  }
  EXPECT_EQ(Count(s, {2, 2, 11, 3}, kRed), 9);
  EXPECT_EQ(Count(s, {10, 3, 11, 8}, kRed), 5);
  EXPECT_EQ(s.At(10, 8), kWhite);
  EXPECT_EQ(Count(s, {0, 0, 40, 40}, kRed), 14);
}

TEST(GdiCanvas, RectangleIsOutlinedInsideAndFilledWithTheBrush) {
  DibSurface s(40, 40);
  ASSERT_TRUE(s.Ok());
  {
    GdiCanvas c(s.Dc());
    c.SelectPen(Pen{kBlue, 1});
    c.SelectBrush(kNoBrush);
    c.Rectangle({5, 5, 15, 12});
    c.SelectBrush(SolidBrush(kGreen));
    c.Rectangle({20, 20, 30, 26});
  }
  // Hollow: the outline on the first and last column and row, the inside untouched.
  EXPECT_EQ(Count(s, {5, 5, 15, 6}, kBlue), 10);
  EXPECT_EQ(Count(s, {5, 11, 15, 12}, kBlue), 10);
  EXPECT_EQ(Count(s, {5, 5, 6, 12}, kBlue), 7);
  EXPECT_EQ(Count(s, {14, 5, 15, 12}, kBlue), 7);
  EXPECT_EQ(Count(s, {6, 6, 14, 11}, kWhite), 8 * 5);
  EXPECT_EQ(Ink(s, kWhite).left, 5);
  // Filled: the pen round a green inside, nothing past right and bottom.
  EXPECT_EQ(Count(s, {21, 21, 29, 25}, kGreen), 8 * 4);
  EXPECT_EQ(s.At(29, 25), kBlue);
  EXPECT_EQ(Ink(s, kWhite), (PixelRect{5, 5, 30, 26}));
}

TEST(GdiCanvas, FillRectFillsWithoutOutlineAndEllipseFitsItsBox) {
  DibSurface s(40, 40);
  ASSERT_TRUE(s.Ok());
  {
    GdiCanvas c(s.Dc());
    c.SelectPen(Pen{kRed, 1});
    c.FillRect({1, 1, 4, 3}, kGreen);
    c.SelectPen(Pen{});
    c.SelectBrush(SolidBrush(kBlack));
    c.Ellipse({20, 20, 30, 30});
  }
  EXPECT_EQ(Count(s, {0, 0, 10, 10}, kGreen), 3 * 2);
  EXPECT_EQ(Ink(s, kWhite).left, 1);
  EXPECT_EQ(Count(s, {0, 0, 40, 40}, kRed), 0);
  EXPECT_EQ(s.At(25, 25), kBlack);
  EXPECT_EQ(s.At(20, 20), kWhite);  // a circle, not its box
  const PixelRect circle = Bounding(s, [](Rgb p) { return p == kBlack; });
  EXPECT_EQ(circle, (PixelRect{20, 20, 30, 30}));
}

TEST(GdiCanvas, TextIsBlackOnATransparentBackground) {
  DibSurface s(120, 60);
  ASSERT_TRUE(s.Ok());
  s.Fill(kGreen);
  {
    GdiCanvas c(s.Dc());
    c.TextAt({30, 10}, "00007");
  }
  const PixelRect ink = Ink(s, kGreen);
  ASSERT_LT(ink.left, ink.right) << "no text drawn";
  EXPECT_GE(ink.left, 30);
  EXPECT_GE(ink.top, 10);
  EXPECT_LT(ink.bottom, 10 + 30);
  // Black, smoothed onto the green field at most: no opaque text background.
  int darkest = 255;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 120; ++x) {
      const Rgb p = s.At(x, y);
      ASSERT_TRUE(p.r == 0 && p.b == 0 && p.g <= kGreen.g) << x << "," << y;
      darkest = std::min<int>(darkest, p.g);
    }
  }
  EXPECT_LT(darkest, 40);
  EXPECT_GT(Count(s, ink, kGreen), (ink.right - ink.left) * (ink.bottom - ink.top) / 3);
}

TEST(GdiCanvas, TextInBoxIsAtTheLeftAndVerticallyCentred) {
  DibSurface s(100, 100);
  ASSERT_TRUE(s.Ok());
  {
    GdiCanvas c(s.Dc());
    c.TextInBox({20, 20, 60, 80}, "8");
    c.TextInBox({70, 0, 90, 20}, "&1");  // shown as written
  }
  PixelRect ink{100, 100, 0, 0};
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 65; ++x) {
      if (s.At(x, y) == kWhite) continue;
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
    }
  }
  ASSERT_LT(ink.left, ink.right) << "no text drawn";
  EXPECT_GE(ink.left, 20);
  EXPECT_LT(ink.left, 30);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 50.0, 4.0);
  // "&1" is two glyphs: wider than "1" alone would be.
  DibSurface one(40, 40);
  ASSERT_TRUE(one.Ok());
  {
    GdiCanvas c(one.Dc());
    c.TextInBox({0, 0, 20, 20}, "1");
  }
  const PixelRect both = Ink(s, kWhite);
  EXPECT_GT(both.right - 70, Ink(one, kWhite).right + 1);
}

TEST(GdiCanvas, ObjectsAreKeptPerColourAndTheContextIsGivenBack) {
  DibSurface s(10, 10);
  ASSERT_TRUE(s.Ok());
  HDC dc = s.Dc();
  const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  SetBkMode(dc, OPAQUE);
  SetTextColor(dc, RGB(1, 2, 3));
  HGDIOBJ redPen = nullptr, greenBrush = nullptr;
  {
    GdiCanvas c(dc);
    c.SelectPen(Pen{kRed, 1});
    redPen = GetCurrentObject(dc, OBJ_PEN);
    c.SelectPen(Pen{kRed, 2});
    EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), redPen);
    c.SelectPen(Pen{kRed, 1});
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), redPen);
    c.SelectBrush(SolidBrush(kGreen));
    greenBrush = GetCurrentObject(dc, OBJ_BRUSH);
    c.SelectBrush(kNoBrush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(NULL_BRUSH));
    c.FillRect({0, 0, 2, 2}, kGreen);
    c.SelectBrush(SolidBrush(kGreen));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), greenBrush);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  // Freed with the canvas.
  EXPECT_EQ(GetObjectType(redPen), 0u);
  EXPECT_EQ(GetObjectType(greenBrush), 0u);
}

// ---- The preview drawn with GDI ----

struct Job {
  explicit Job(std::string_view text) {
    job.ParsePlt(text);
    job.ComputeBounds();
  }
  CPLTFile job;
};

constexpr PixelSize kFrame{kPreviewFrameWidth, kPreviewFrameHeight};

TEST(GdiPreview, FieldJobEdgesMarksAndCodeBar) {
  // A square of 1000 units ("U y,x"): its x = 0 and y = 0 edges lie 40 pixels
  // from the frame's right and bottom edges.
  Job j("U0,0;D0,1000;D1000,1000;D1000,0;D0,0;");
  MarkRef ref;
  ref.MarkType = 3;
  DibSurface s(kFrame.width, kFrame.height);
  ASSERT_TRUE(s.Ok());
  PreviewResult r;
  {
    GdiCanvas c(s.Dc());
    r = DrawJobPreview(c, kFrame, PreviewData{j.job, ref, 1, 7});
  }
  ASSERT_TRUE(r.jobRead);
  const Rgb field = kPreviewBackground;
  EXPECT_EQ(s.At(0, 0), field);
  EXPECT_EQ(s.At(3, 3), field);
  EXPECT_EQ(s.At(706, 472), field);
  EXPECT_EQ(s.At(667, 260), kBlack);
  EXPECT_EQ(s.At(668, 260), field);
  EXPECT_EQ(s.At(666, 260), field);
  EXPECT_EQ(s.At(380, 433), kBlack);
  EXPECT_EQ(s.At(380, 434), field);
  EXPECT_EQ(s.At(380, 432), field);
  // The square's far corner: 1000 units at 0.9 x 393 / 1000 pixels a unit.
  const PixelPoint corner = JobToScreen(ComputePreviewGeometry(kFrame, j.job.GetBounds()), 1000, 1000);
  EXPECT_EQ(s.At(corner.x, corner.y), kBlack);
  EXPECT_EQ(s.At(corner.x - 1, corner.y), field);
  EXPECT_EQ(s.At(corner.x, corner.y - 1), field);
  // Type 3: a filled circle 30 pixels in from the right of the mark box,
  // 35 down from its top (the box's top is the job's top less 40).
  const int markTop = corner.y - 40;
  EXPECT_EQ(s.At(707 - 25, markTop + 40), kBlack);
  EXPECT_EQ(s.At(707 - 33, markTop + 40), field);
  // The code bar's right guard bar: 3 pixels wide left of x = 627, from 443 down.
  EXPECT_EQ(Count(s, {624, 443, 627, 455}, kBlack), 3 * 12);
  EXPECT_EQ(s.At(627, 450), field);
  EXPECT_EQ(s.At(625, 442), field);
}

TEST(GdiPreview, AJobWithNoSizeDrawsOnlyTheField) {
  Job j("U5,5;");
  MarkRef ref;
  ref.MarkType = 1;
  DibSurface s(kFrame.width, kFrame.height);
  ASSERT_TRUE(s.Ok());
  {
    GdiCanvas c(s.Dc());
    DrawJobPreview(c, kFrame, PreviewData{j.job, ref, 0, 0});
  }
  EXPECT_EQ(Count(s, {0, 0, kFrame.width, kFrame.height}, kPreviewBackground), kFrame.width * kFrame.height);
}

}  // namespace
}  // namespace plotsend::win32
