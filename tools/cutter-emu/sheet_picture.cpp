#include "cutter-emu/sheet_picture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "ui/posix/png_canvas.h"

namespace cutter_emu {
namespace {

constexpr double kLongest = 1000;  // pixels of the sheet's longer side
constexpr double kMargin = 20;
constexpr double kTextLine = 20;
constexpr double kFontSize = 13;
constexpr double kMarkRadius = 2.5 * kUnitsPerMm;
constexpr double kInsetSide = 2 * kUnitsPerMm;  // the inset shows 2 x 2 mm
constexpr double kInsetPixels = 360;
// The inset is drawn when the largest deviation would hardly show otherwise.
constexpr double kInsetBelow = kUnitsPerMm;
constexpr plotsend::Pen kPrint{{150, 150, 150}, 2};
constexpr plotsend::Pen kPrintThin{{150, 150, 150}, 1};
constexpr plotsend::Pen kCut{{217, 0, 0}, 1};
constexpr plotsend::Pen kFrame{{0, 102, 204}, 1};

struct Box {
  double minX = std::numeric_limits<double>::infinity(), minY = minX;
  double maxX = -minX, maxY = -minX;
  void Add(Vec p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
};

// A view of the sheet onto pixels: x grows to the left and y upward, as
// the sheet lies printed.
struct View {
  double scale = 1, left = 0, top = 0;
  Box box;
  plotsend::PixelPoint At(Vec p) const {
    return {static_cast<int>(std::floor(left + (box.maxX - p.x) * scale)),
            static_cast<int>(std::floor(top + (box.maxY - p.y) * scale))};
  }
};

// Clips a..b to the box (Liang-Barsky); false when nothing is inside.
bool Clip(Vec& a, Vec& b, const Box& box) {
  double t0 = 0, t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {a.x - box.minX, box.maxX - a.x, a.y - box.minY, box.maxY - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  const Vec a0 = a;
  a = {a0.x + t0 * dx, a0.y + t0 * dy};
  b = {a0.x + t1 * dx, a0.y + t1 * dy};
  return true;
}

class Drawing {
 public:
  Drawing(plotsend::Canvas& canvas, const View& view, bool clip) : canvas_(canvas), view_(view), clip_(clip) {}

  void Line(Vec a, Vec b) {
    if (clip_ && !Clip(a, b, view_.box)) return;
    const plotsend::PixelPoint points[] = {view_.At(a), view_.At(b)};
    canvas_.Polyline(points);
  }
  void Path(const std::vector<Vec>& path) {
    for (size_t i = 1; i < path.size(); ++i) Line(path[i - 1], path[i]);
  }
  void Mark(Vec at) {
    const plotsend::PixelPoint c = view_.At(at);
    const int r = std::max(2, static_cast<int>(kMarkRadius * view_.scale));
    canvas_.Ellipse({c.x - r, c.y - r, c.x + r + 1, c.y + r + 1});
    Line({at.x - kMarkRadius - 60, at.y}, {at.x + kMarkRadius + 60, at.y});
    Line({at.x, at.y - kMarkRadius - 60}, {at.x, at.y + kMarkRadius + 60});
  }

 private:
  plotsend::Canvas& canvas_;
  const View& view_;
  bool clip_;
};

// The cut on the sheet, in pieces of at most a millimetre mapped one by one.
std::vector<std::vector<Vec>> CutOnSheet(const JobRecord& job, const SheetPlacement& placement) {
  std::vector<std::vector<Vec>> out;
  for (const Segment& s : job.segments) {
    if (s.kind != SegmentKind::Cut) continue;
    const Vec a{static_cast<double>(s.x0), static_cast<double>(s.y0)};
    const Vec b{static_cast<double>(s.x1), static_cast<double>(s.y1)};
    const auto n = static_cast<size_t>(std::max(1.0, std::ceil(std::hypot(b.x - a.x, b.y - a.y) / kUnitsPerMm)));
    std::vector<Vec> piece;
    for (size_t i = 0; i <= n; ++i) {
      const double t = static_cast<double>(i) / static_cast<double>(n);
      piece.push_back(placement.ToSheet({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}));
    }
    out.push_back(std::move(piece));
  }
  return out;
}

std::string Mm(double units) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.3f", units / kUnitsPerMm);
  return buffer;
}

}  // namespace

bool WriteSheetPng(const JobRecord& job, const SheetResult& result, const SheetLayout& layout,
                   const SheetPlacement& placement, const std::string& path) {
  const std::vector<std::vector<Vec>> cut = CutOnSheet(job, placement);
  View view;
  for (const auto& p : layout.contour) {
    for (const Vec& v : p) view.box.Add(v);
  }
  for (const SheetMark& m : layout.marks) {
    view.box.Add({m.at.x - kMarkRadius, m.at.y - kMarkRadius});
    view.box.Add({m.at.x + kMarkRadius, m.at.y + kMarkRadius});
  }
  for (const auto& p : cut) {
    for (const Vec& v : p) view.box.Add(v);
  }
  const double w = std::max(1.0, view.box.maxX - view.box.minX), h = std::max(1.0, view.box.maxY - view.box.minY);
  view.scale = kLongest / std::max(w, h);
  view.left = view.top = kMargin;
  const Deviation* d = result.deviation ? &*result.deviation : nullptr;
  const bool inset = d != nullptr && d->cutMax < kInsetBelow;
  std::vector<std::string> text;
  if (d != nullptr) {
    text.push_back("cut within " + Mm(d->cutMax) + " mm of the print (RMS " + Mm(d->cutRms) +
                   " mm); the print within " + Mm(d->contourMax) + " mm of the cut");
  }
  for (const AnnouncedCheck& c : result.checks) {
    if (!c.Ok())
      text.push_back(c.command + " " + c.what + " " + std::to_string(c.announced) + " does not match the marks");
  }
  if (inset) text.push_back("inset: 2 x 2 mm around the largest deviation");
  const double drawingW = w * view.scale, drawingH = h * view.scale;
  const int width = static_cast<int>(std::ceil(drawingW + 2 * kMargin + (inset ? kInsetPixels + kMargin : 0)));
  const int height = static_cast<int>(std::ceil(std::max(drawingH, inset ? kInsetPixels : 0.0) + 2 * kMargin +
                                                kTextLine * static_cast<double>(text.size())));
  plotsend::PngCanvas png(std::max(width, 600), height, kFontSize);
  if (!png.Ok()) return false;

  auto draw = [&](const View& v, bool clip, const plotsend::Pen& printPen) {
    Drawing drawing(png, v, clip);
    png.SelectBrush(plotsend::kNoBrush);
    png.SelectPen(printPen);
    for (const auto& p : layout.contour) drawing.Path(p);
    png.SelectPen(kPrintThin);
    if (!clip) {
      for (const SheetMark& m : layout.marks) drawing.Mark(m.at);
    }
    png.SelectPen(kCut);
    for (const auto& p : cut) drawing.Path(p);
  };
  draw(view, false, kPrint);
  if (inset) {
    View zoom;
    zoom.box = {d->worst.x - kInsetSide / 2, d->worst.y - kInsetSide / 2, d->worst.x + kInsetSide / 2,
                d->worst.y + kInsetSide / 2};
    zoom.scale = kInsetPixels / kInsetSide;
    zoom.left = drawingW + 2 * kMargin;
    zoom.top = kMargin;
    png.SelectBrush(plotsend::kNoBrush);
    png.SelectPen(kFrame);
    const plotsend::PixelPoint tl = view.At({zoom.box.maxX, zoom.box.maxY});
    const plotsend::PixelPoint br = view.At({zoom.box.minX, zoom.box.minY});
    png.Rectangle({tl.x - 3, tl.y - 3, br.x + 4, br.y + 4});
    const int x0 = static_cast<int>(zoom.left), y0 = static_cast<int>(zoom.top);
    png.Rectangle({x0 - 1, y0 - 1, x0 + static_cast<int>(kInsetPixels) + 2, y0 + static_cast<int>(kInsetPixels) + 2});
    draw(zoom, true, kPrint);
  }
  int y = static_cast<int>(std::ceil(std::max(drawingH, inset ? kInsetPixels : 0.0) + 2 * kMargin));
  for (const std::string& line : text) {
    png.TextInBox({static_cast<int>(kMargin), y, width, y + static_cast<int>(kTextLine)}, line);
    y += static_cast<int>(kTextLine);
  }
  return png.Save(path);
}

}  // namespace cutter_emu
