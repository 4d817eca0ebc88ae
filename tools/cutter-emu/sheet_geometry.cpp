#include "cutter-emu/sheet_geometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

namespace cutter_emu {
namespace {

// Grid cells at least a millimetre wide, about four segments a cell.
constexpr double kMinCell = kUnitsPerMm;
constexpr long kMaxCellsPerSide = 1024;

bool ReadNumber(std::string_view& text, double& value) {
  const size_t comma = text.find(',');
  const std::string_view item = text.substr(0, comma);
  const char* end = item.data() + item.size();
  const auto [p, ec] = std::from_chars(item.data(), end, value);
  if (item.empty() || ec != std::errc() || p != end || !std::isfinite(value)) return false;
  text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  return comma == std::string_view::npos || !text.empty();
}

}  // namespace

std::optional<Placement> ParsePlacement(std::string_view text) {
  double v[6] = {};
  size_t n = 0;
  while (!text.empty() && n < 6) {
    if (!ReadNumber(text, v[n])) return std::nullopt;
    ++n;
  }
  if (!text.empty() || n < 5) return std::nullopt;
  const Placement p{v[0], v[1], v[2], v[3], v[4], v[5]};
  if (p.scaleXPct <= -100 || p.scaleYPct <= -100 || std::abs(p.keystonePct) >= 50) return std::nullopt;
  return p;
}

SheetPlacement::SheetPlacement(const Placement& p, Vec origin)
    : origin_{origin.x + p.shiftXMm * kUnitsPerMm, origin.y + p.shiftYMm * kUnitsPerMm},
      cos_(std::cos(p.rotationDeg * std::numbers::pi / 180)),
      sin_(std::sin(p.rotationDeg * std::numbers::pi / 180)),
      sx_(1 + p.scaleXPct / 100),
      sy_(1 + p.scaleYPct / 100),
      keystone_(p.keystonePct / 100 / (100 * kUnitsPerMm)) {}

Vec SheetPlacement::ToBed(Vec s) const {
  const double x = s.x * sx_ * (1 + keystone_ * s.y), y = s.y * sy_;
  return {origin_.x + cos_ * x - sin_ * y, origin_.y + sin_ * x + cos_ * y};
}

Vec SheetPlacement::ToSheet(Vec b) const {
  const double dx = b.x - origin_.x, dy = b.y - origin_.y;
  const double x = cos_ * dx + sin_ * dy, y = -sin_ * dx + cos_ * dy;
  const double sheetY = y / sy_;
  const double across = sx_ * (1 + keystone_ * sheetY);
  // Beyond where the trapezoid's width reaches zero nothing is printed.
  return {across > 0 ? x / across : std::numeric_limits<double>::infinity(), sheetY};
}

double SegmentDistance(Vec q, Vec a, Vec b, Vec* nearest) {
  const double ux = b.x - a.x, uy = b.y - a.y;
  const double len2 = ux * ux + uy * uy;
  double t = len2 > 0 ? ((q.x - a.x) * ux + (q.y - a.y) * uy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const Vec p{a.x + t * ux, a.y + t * uy};
  if (nearest != nullptr) *nearest = p;
  return std::hypot(q.x - p.x, q.y - p.y);
}

SegmentIndex::SegmentIndex(std::vector<Segment> segments) : segments_(std::move(segments)) {
  if (segments_.empty()) return;
  Vec lo{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
  Vec hi{-lo.x, -lo.y};
  for (const Segment& s : segments_) {
    lo = {std::min({lo.x, s.a.x, s.b.x}), std::min({lo.y, s.a.y, s.b.y})};
    hi = {std::max({hi.x, s.a.x, s.b.x}), std::max({hi.y, s.a.y, s.b.y})};
  }
  min_ = lo;
  const double w = hi.x - lo.x, h = hi.y - lo.y;
  // Cells for about four segments each, but never more than the grid's cap.
  const double cells = std::max(1.0, static_cast<double>(segments_.size()) / 4);
  cell_ = std::max({kMinCell, std::sqrt(std::max(w * h, 1.0) / cells), std::max(w, h) / kMaxCellsPerSide});
  nx_ = static_cast<long>(w / cell_) + 1;
  ny_ = static_cast<long>(h / cell_) + 1;
  cells_.assign(static_cast<size_t>(nx_ * ny_), {});
  for (size_t i = 0; i < segments_.size(); ++i) {
    const Segment& s = segments_[i];
    // Every cell the segment's box touches: exact enough, and long
    // segments are few.
    const long x0 = static_cast<long>((std::min(s.a.x, s.b.x) - min_.x) / cell_);
    const long x1 = static_cast<long>((std::max(s.a.x, s.b.x) - min_.x) / cell_);
    const long y0 = static_cast<long>((std::min(s.a.y, s.b.y) - min_.y) / cell_);
    const long y1 = static_cast<long>((std::max(s.a.y, s.b.y) - min_.y) / cell_);
    for (long cy = y0; cy <= y1; ++cy) {
      for (long cx = x0; cx <= x1; ++cx) cells_[CellOf(cx, cy)].push_back(i);
    }
  }
}

double SegmentIndex::Distance(Vec q, Vec* nearest) const {
  double best = std::numeric_limits<double>::infinity();
  if (segments_.empty() || !std::isfinite(q.x) || !std::isfinite(q.y)) return best;
  // The cell of q, clamped onto the grid; rings of cells around it until no
  // unsearched cell can hold anything nearer.
  const double fx = (q.x - min_.x) / cell_, fy = (q.y - min_.y) / cell_;
  const long qx = static_cast<long>(std::clamp(std::floor(fx), 0.0, static_cast<double>(nx_ - 1)));
  const long qy = static_cast<long>(std::clamp(std::floor(fy), 0.0, static_cast<double>(ny_ - 1)));
  // How far q lies outside the grid: nothing on it is nearer.
  const double outside = std::hypot(std::max({0.0, -fx, fx - static_cast<double>(nx_)}),
                                    std::max({0.0, -fy, fy - static_cast<double>(ny_)})) *
                         cell_;
  const long rings = std::max(nx_, ny_);
  for (long r = 0; r <= rings; ++r) {
    if (best <= std::max(outside, (static_cast<double>(r) - 1) * cell_)) break;
    for (long cy = qy - r; cy <= qy + r; ++cy) {
      if (cy < 0 || cy >= ny_) continue;
      const bool edgeRow = cy == qy - r || cy == qy + r;
      for (long cx = qx - r; cx <= qx + r; cx += edgeRow ? 1 : 2 * r) {
        if (cx >= 0 && cx < nx_) {
          for (size_t i : cells_[CellOf(cx, cy)]) {
            Vec p;
            const double d = SegmentDistance(q, segments_[i].a, segments_[i].b, &p);
            if (d < best) {
              best = d;
              if (nearest != nullptr) *nearest = p;
            }
          }
        }
        if (r == 0) break;
      }
    }
  }
  return best;
}

}  // namespace cutter_emu
