#pragma once
// A 2D affine transform [a c e; b d f], as SVG writes it.
#include <algorithm>
#include <cmath>

#include "import/design.h"

namespace plotmark {

struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  Point Apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }

  // This transform after `inner`: (this * inner)(p) = this(inner(p)).
  Affine Then(const Affine& inner) const {
    return {a * inner.a + c * inner.b, b * inner.a + d * inner.b,     a * inner.c + c * inner.d,
            b * inner.c + d * inner.d, a * inner.e + c * inner.f + e, b * inner.e + d * inner.f + f};
  }

  static Affine Scale(double s) { return {s, 0, 0, s, 0, 0}; }

  // The largest factor by which the transform stretches a length (the
  // largest singular value of its linear part).
  double MaxStretch() const {
    const double p = a * a + b * b + c * c + d * d;
    const double q = a * d - b * c;
    const double disc = std::sqrt(std::max(0.0, p * p / 4 - q * q));
    return std::sqrt(std::max(0.0, p / 2 + disc));
  }
};

}  // namespace plotmark
