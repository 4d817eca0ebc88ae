#include "ui/job_preview.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "ui/code_bar.h"
#include "ui/preview_marks.h"

namespace plotsend {
namespace {

constexpr int kMargin = 40;
constexpr int kCodeRight = 80;   // code anchor, left of the frame's right edge
constexpr int kCodeBottom = 30;  // code bar top, above the frame's bottom edge

// trunc() of a pixel value, held inside the int range.
int TruncPixel(double v) {
  if (!(v > -1e9)) return -1000000000;  // also NaN
  if (v > 1e9) return 1000000000;
  return static_cast<int>(v);
}

// Collects the screen points of the moves into polylines: a pen-up move
// ends the current one, a long one is passed on in pieces.
class PolylineBatcher {
 public:
  PolylineBatcher(Canvas& canvas, size_t maxPoints, PixelPoint start)
      : canvas_(canvas), max_(maxPoints < 2 ? 2 : maxPoints) {
    line_.reserve(max_);
    line_.push_back(start);
  }

  void MoveTo(PixelPoint p) {
    Flush();
    line_.clear();
    line_.push_back(p);
  }

  void LineTo(PixelPoint p) {
    line_.push_back(p);
    if (line_.size() == max_) {
      Flush();
      line_.erase(line_.begin(), line_.end() - 1);
    }
  }

  void Flush() {
    if (line_.size() >= 2) canvas_.Polyline(line_);
  }

 private:
  Canvas& canvas_;
  const size_t max_;
  std::vector<PixelPoint> line_;
};

}  // namespace

PreviewGeometry ComputePreviewGeometry(PixelSize frame, const Bounds& bounds) {
  PreviewGeometry g;
  g.frame = frame;
  g.W = std::abs(frame.width - 2 * kMargin);
  g.H = std::abs(frame.height - 2 * kMargin);
  const double spanX = static_cast<double>(int64_t{bounds.maxX} - bounds.minX);
  const double spanY = static_cast<double>(int64_t{bounds.maxY} - bounds.minY);
  double s = 0.0;
  if (spanX > 0) s = g.W / spanX;
  if (spanY > 0) s = spanX > 0 ? std::min(s, g.H / spanY) : g.H / spanY;
  g.scaled = spanX > 0 || spanY > 0;
  g.scale = s - s * 0.1;
  g.markBox = {g.W - TruncPixel(spanX * g.scale), g.H - TruncPixel(spanY * g.scale), frame.width, frame.height};
  return g;
}

PixelPoint JobToScreen(const PreviewGeometry& g, int32_t x, int32_t y) {
  return {g.W - TruncPixel(x * g.scale - kMargin), g.H - TruncPixel(y * g.scale) + kMargin};
}

bool DrawJobLines(Canvas& canvas, const PreviewGeometry& g, const CPLTFile& job, size_t maxPolylinePoints) {
  canvas.SelectPen(Pen{});
  PolylineBatcher lines(canvas, maxPolylinePoints, JobToScreen(g, 0, 0));
  const bool read = job.ForEachBatch([&](std::span<const JobPoint> batch) {
    for (const JobPoint& p : batch) {
      if (p.kind == kPenUp) {
        lines.MoveTo(JobToScreen(g, p.x, p.y));
      } else if (p.kind == kCut) {
        lines.LineTo(JobToScreen(g, p.x, p.y));
      }
    }
  });
  lines.Flush();
  return read;
}

PreviewResult DrawJobPreview(Canvas& canvas, PixelSize frame, const PreviewData& data) {
  const PixelRect client{0, 0, frame.width, frame.height};
  canvas.SelectPen(Pen{});
  canvas.SelectBrush(kNoBrush);
  canvas.Rectangle(client);
  canvas.FillRect(client, kPreviewBackground);

  const PreviewGeometry g = ComputePreviewGeometry(frame, data.job.GetBounds());
  PreviewResult result;
  result.scale = g.scale;
  if (g.scaled) DrawMarkSchematic(canvas, g.markBox, data.markRef);
  if (data.CodeMode != 0) {
    DrawCodeBar(canvas, client.right - kCodeRight, client.bottom - kCodeBottom, data.CodeNumber);
  }
  if (g.scaled) result.jobRead = DrawJobLines(canvas, g, data.job);
  return result;
}

}  // namespace plotsend
