#include "cutter-emu/png_file.h"

#include <cmath>
#include <vector>

#include "ui/posix/png_canvas.h"

namespace cutter_emu {
namespace {

// The pens of the picture, one pixel wide.
plotsend::Pen PenOf(SegmentKind kind) {
  switch (kind) {
    case SegmentKind::Cut: return {plotsend::kBlack, 1};
    case SegmentKind::Travel: return {{153, 171, 186}, 1};
    case SegmentKind::Jog: return {{217, 0, 0}, 1};
  }
  return {};
}
constexpr plotsend::Pen kCrossPen{{0, 102, 204}, 1};
constexpr double kFontSize = 13.0;
// Travel is dashed: 4 pixels drawn, 3 left out, running on over the corners.
constexpr double kDashOn = 4.0;
constexpr double kDashOff = 3.0;

// The pixel a point lies in.
plotsend::PixelPoint PixelOf(PixelPoint p) {
  return {static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y))};
}

// The record's drawing on a canvas of the preview.
class PreviewPortCanvas final : public Canvas {
 public:
  PreviewPortCanvas(plotsend::Canvas& target, int width) : target_(target), width_(width) {}

  void Polyline(std::span<const PixelPoint> points, SegmentKind kind) override {
    target_.SelectPen(PenOf(kind));
    if (kind == SegmentKind::Travel) {
      Dashed(points);
    } else {
      Draw(points);
    }
  }

  void Cross(PixelPoint at, double size) override {
    target_.SelectPen(kCrossPen);
    const PixelPoint across[] = {{at.x - size, at.y}, {at.x + size, at.y}};
    const PixelPoint down[] = {{at.x, at.y - size}, {at.x, at.y + size}};
    Draw(across);
    Draw(down);
  }

  // The summary's band is the picture's last kTextBand pixels; its line is
  // centred there, close to the baseline it is given.
  void Text(PixelPoint at, std::string_view text) override {
    const int bottom = static_cast<int>(std::floor(at.y + kTextBaseline));
    target_.TextInBox({static_cast<int>(std::floor(at.x)), bottom - static_cast<int>(kTextBand), width_, bottom}, text);
  }

 private:
  void Draw(std::span<const PixelPoint> points) {
    pixels_.clear();
    for (const PixelPoint& p : points) pixels_.push_back(PixelOf(p));
    target_.Polyline(pixels_);
  }

  void Dashed(std::span<const PixelPoint> points) {
    std::vector<PixelPoint> dash{points[0]};
    bool on = true;
    double left = kDashOn;  // of the dash or gap under way
    for (size_t i = 1; i < points.size(); ++i) {
      PixelPoint from = points[i - 1];
      const PixelPoint to = points[i];
      double length = std::hypot(to.x - from.x, to.y - from.y);
      while (length > left) {
        const double t = left / length;
        const PixelPoint end{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t};
        if (on) {
          dash.push_back(end);
          Draw(dash);
        }
        dash.assign(1, end);
        on = !on;
        length -= left;
        from = end;
        left = on ? kDashOn : kDashOff;
      }
      left -= length;
      if (on) dash.push_back(to);
    }
    if (on && dash.size() >= 2) Draw(dash);
  }

  plotsend::Canvas& target_;
  int width_;
  std::vector<plotsend::PixelPoint> pixels_;
};

}  // namespace

bool WritePng(const JobRecord& record, bool showTravel, const std::string& path) {
  const Layout layout = ComputeLayout(record, kDrawingSize);
  const int width = static_cast<int>(std::ceil(layout.width));
  plotsend::PngCanvas png(width, static_cast<int>(std::ceil(layout.height)), kFontSize);
  if (!png.Ok()) return false;
  PreviewPortCanvas canvas(png, width);
  DrawJob(record, layout, showTravel, canvas);
  return png.Save(path);
}

}  // namespace cutter_emu
