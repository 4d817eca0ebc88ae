#pragma once
// A set of paths as one flat point list, in millimetres on the page.
#include <vector>

#include "import/design.h"

namespace plotmark {

struct Span {
  size_t begin = 0;
  size_t end = 0;
  bool closed = false;
};

struct Polylines {
  std::vector<Point> points;
  std::vector<Span> spans;

  void Add(const Point* first, const Point* last, bool closed) {
    Span s{points.size(), 0, closed};
    points.insert(points.end(), first, last);
    s.end = points.size();
    spans.push_back(s);
  }
  bool empty() const { return spans.empty(); }
};

}  // namespace plotmark
