#pragma once
// Curves turned into chords that stay within a given distance of the curve.
// Each function appends the points after the start point to `out`.
#include <vector>

#include "import/design.h"

namespace plotmark {

// 1 plotter unit: the largest distance between a curve and its chords.
inline constexpr double kFlatnessMm = 0.025;

// At most this many chords per curve, so that a hostile file cannot ask for
// billions of points.
inline constexpr int kMaxChordsPerCurve = 20000;

void FlattenQuadratic(Point p0, Point p1, Point p2, double tolerance, std::vector<Point>& out);
void FlattenCubic(Point p0, Point p1, Point p2, Point p3, double tolerance, std::vector<Point>& out);

// The arc of the ellipse with centre c, radii rx and ry, x axis turned by
// phi (radians), from parameter angle theta to theta + sweep (radians).
void FlattenEllipseArc(Point c, double rx, double ry, double phi, double theta, double sweep, double tolerance,
                       std::vector<Point>& out);

// An SVG elliptical arc command from p0 to p1 (endpoint form, angles in
// degrees), with out-of-range radii corrected as SVG requires.
void FlattenSvgArc(Point p0, double rx, double ry, double rotationDeg, bool largeArc, bool sweep, Point p1,
                   double tolerance, std::vector<Point>& out);

}  // namespace plotmark
