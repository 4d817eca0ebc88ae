#include "import/flatten.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace plotmark {
namespace {

double Length(double x, double y) { return std::hypot(x, y); }

// Chords for a polynomial curve whose second differences of control points
// are at most m: Wang's bound, n = sqrt(k * m / tolerance).
int ChordCount(double k, double m, double tolerance) {
  if (!(tolerance > 0) || !std::isfinite(m)) return 1;
  const double n = std::ceil(std::sqrt(k * m / tolerance));
  if (!(n >= 1)) return 1;
  return static_cast<int>(std::min<double>(n, kMaxChordsPerCurve));
}

}  // namespace

void FlattenQuadratic(Point p0, Point p1, Point p2, double tolerance, std::vector<Point>& out) {
  const double m = Length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
  const int n = ChordCount(0.25, m, tolerance);
  for (int i = 1; i < n; ++i) {
    const double t = static_cast<double>(i) / n, u = 1 - t;
    out.push_back({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x, u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
  }
  out.push_back(p2);
}

void FlattenCubic(Point p0, Point p1, Point p2, Point p3, double tolerance, std::vector<Point>& out) {
  const double m = std::max(Length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                            Length(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
  const int n = ChordCount(0.75, m, tolerance);
  for (int i = 1; i < n; ++i) {
    const double t = static_cast<double>(i) / n, u = 1 - t;
    const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
    out.push_back({w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x, w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y});
  }
  out.push_back(p3);
}

void FlattenEllipseArc(Point c, double rx, double ry, double phi, double theta, double sweep, double tolerance,
                       std::vector<Point>& out) {
  const double r = std::max(std::abs(rx), std::abs(ry));
  // A chord of angle s on a circle of radius r lies r (1 - cos(s / 2)) from
  // it; an ellipse is a circle stretched by at most r.
  double step = std::numbers::pi / 2;
  if (r > tolerance && tolerance > 0) step = std::min(step, 2 * std::acos(1 - tolerance / r));
  double n = std::ceil(std::abs(sweep) / step);
  if (!(n >= 1)) n = 1;
  const int count = static_cast<int>(std::min<double>(n, kMaxChordsPerCurve));
  const double cp = std::cos(phi), sp = std::sin(phi);
  for (int i = 1; i <= count; ++i) {
    const double t = theta + sweep * i / count;
    const double x = rx * std::cos(t), y = ry * std::sin(t);
    out.push_back({c.x + cp * x - sp * y, c.y + sp * x + cp * y});
  }
}

void FlattenSvgArc(Point p0, double rx, double ry, double rotationDeg, bool largeArc, bool sweep, Point p1,
                   double tolerance, std::vector<Point>& out) {
  rx = std::abs(rx);
  ry = std::abs(ry);
  if (p0 == p1) return;
  if (rx == 0 || ry == 0 || !std::isfinite(rx) || !std::isfinite(ry)) {
    out.push_back(p1);
    return;
  }
  // Endpoint to centre parameterisation.
  const double phi = rotationDeg * std::numbers::pi / 180;
  const double cp = std::cos(phi), sp = std::sin(phi);
  const double dx = (p0.x - p1.x) / 2, dy = (p0.y - p1.y) / 2;
  const double x1 = cp * dx + sp * dy, y1 = -sp * dx + cp * dy;
  const double lambda = x1 * x1 / (rx * rx) + y1 * y1 / (ry * ry);
  if (lambda > 1) {
    rx *= std::sqrt(lambda);
    ry *= std::sqrt(lambda);
  }
  const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
  const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
  double k = den > 0 ? std::sqrt(std::max(0.0, num / den)) : 0;
  if (largeArc == sweep) k = -k;
  const double cx1 = k * rx * y1 / ry, cy1 = -k * ry * x1 / rx;
  const Point c{cp * cx1 - sp * cy1 + (p0.x + p1.x) / 2, sp * cx1 + cp * cy1 + (p0.y + p1.y) / 2};
  const double ux = (x1 - cx1) / rx, uy = (y1 - cy1) / ry;
  const double vx = (-x1 - cx1) / rx, vy = (-y1 - cy1) / ry;
  const double theta = std::atan2(uy, ux);
  double delta = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
  if (!sweep && delta > 0) delta -= 2 * std::numbers::pi;
  if (sweep && delta < 0) delta += 2 * std::numbers::pi;
  const size_t first = out.size();
  FlattenEllipseArc(c, rx, ry, phi, theta, delta, tolerance, out);
  if (out.size() > first) out.back() = p1;  // exactly on the end point
}

}  // namespace plotmark
