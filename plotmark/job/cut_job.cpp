#include "job/cut_job.h"

#include <algorithm>
#include <cmath>

namespace plotmark {

std::optional<Box> BoundsOf(const std::vector<Point>& points) {
  if (points.empty()) return std::nullopt;
  Box b{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const Point& p : points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return std::nullopt;
    b.minX = std::min(b.minX, p.x);
    b.maxX = std::max(b.maxX, p.x);
    b.minY = std::min(b.minY, p.y);
    b.maxY = std::max(b.maxY, p.y);
  }
  return b;
}

CutJob MakeCutJob(const Polylines& cut, const Box& box) {
  CutJob job;
  job.box = box;
  job.points.reserve(cut.points.size());
  job.paths.reserve(cut.spans.size());
  auto toUnits = [&](const Point& p) {
    return UnitPoint{static_cast<int32_t>(std::lround((p.x - box.minX) * kUnitsPerMm)),
                     static_cast<int32_t>(std::lround((box.maxY - p.y) * kUnitsPerMm))};
  };
  job.spanX = static_cast<int32_t>(std::lround(box.Width() * kUnitsPerMm));
  job.spanY = static_cast<int32_t>(std::lround(box.Height() * kUnitsPerMm));
  // The cutter starts at the job's origin: a = spanX, b = 0.
  UnitPoint pen{job.spanX, 0};
  double cutUnits = 0, travelUnits = 0;
  for (const Span& s : cut.spans) {
    UnitPath path{job.points.size(), 0};
    const UnitPoint penBefore = pen;
    const double travelBefore = travelUnits, cutBefore = cutUnits;
    for (size_t i = s.begin; i < s.end; ++i) {
      const UnitPoint q = toUnits(cut.points[i]);
      if (job.points.size() > path.begin && job.points.back() == q) continue;
      const double d = std::hypot(double(q.a) - pen.a, double(q.b) - pen.b);
      (job.points.size() == path.begin ? travelUnits : cutUnits) += d;
      job.points.push_back(q);
      pen = q;
    }
    if (job.points.size() - path.begin < 2) {
      job.points.resize(path.begin);  // shorter than a plotter unit: nothing to cut
      pen = penBefore;
      travelUnits = travelBefore;
      cutUnits = cutBefore;
      continue;
    }
    path.end = job.points.size();
    job.paths.push_back(path);
  }
  job.cutLengthMm = cutUnits / kUnitsPerMm;
  job.travelMm = travelUnits / kUnitsPerMm;
  return job;
}

Point JobToPage(const CutJob& job, double x, double y) {
  return {job.box.minX + (job.spanX - x) / kUnitsPerMm, job.box.maxY - y / kUnitsPerMm};
}

}  // namespace plotmark
