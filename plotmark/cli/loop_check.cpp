// Checks what the stand-in cutter decoded from a job made of testdata/loop.svg
// (cutter-emu's --log listing): every cut lies on the design's cut contour,
// a 60 x 40 mm rectangle at (10, 10) and a circle of 15 mm round (90, 40),
// within 0.05 mm once taken back from the cutter's axes to the page, and
// the whole contour is cut.
//   plotmark_loop_check LOG
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>

namespace {

constexpr double kTolerance = 0.05;
// The contour's bounding box on the page: x 10..105, y 10..55 (y down).
constexpr double kRight = 105, kBottom = 55;

double ToRectangle(double x, double y) {
  const double dx = std::max({10 - x, 0.0, x - 70}), dy = std::max({10 - y, 0.0, y - 50});
  if (dx > 0 || dy > 0) return std::hypot(dx, dy);
  return std::min({x - 10, 70 - x, y - 10, 50 - y});  // inside: to the nearest side
}

double ToContour(double x, double y) { return std::min(ToRectangle(x, y), std::abs(std::hypot(x - 90, y - 40) - 15)); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return std::fprintf(stderr, "usage: plotmark_loop_check LOG\n"), 2;
  std::ifstream log(argv[1]);
  std::string line;
  double px = 0, py = 0, cut = 0, worst = 0;
  int cuts = 0;
  while (std::getline(log, line)) {
    std::istringstream in(line);
    std::string kind, xs, ys;
    in >> kind >> xs >> ys;
    if ((kind != "up" && kind != "cut") || xs.rfind("x=", 0) != 0 || ys.rfind("y=", 0) != 0) continue;
    // Job x runs leftward from the contour's right edge, job y up from its bottom.
    const double x = kRight - std::stod(xs.substr(2)) / 40, y = kBottom - std::stod(ys.substr(2)) / 40;
    if (kind == "cut") {
      ++cuts;
      cut += std::hypot(x - px, y - py);
      worst = std::max({worst, ToContour(x, y), ToContour((x + px) / 2, (y + py) / 2)});
    }
    px = x, py = y;
  }
  const double expected = 200 + 2 * std::numbers::pi * 15;
  std::printf("%d cuts, %.3f mm of %.3f mm, farthest %.4f mm from the contour\n", cuts, cut, expected, worst);
  if (cuts == 0 || worst > kTolerance || std::abs(cut - expected) > expected * 0.002) return 1;
  return 0;
}
