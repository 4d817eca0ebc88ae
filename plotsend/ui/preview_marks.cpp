#include "ui/preview_marks.h"

#include <algorithm>
#include <string>

#include "ui/job_preview.h"

namespace plotsend {
namespace {

constexpr int kCircle = 10;  // circle diameter
constexpr int kBarThick = 2;
constexpr int kBarLength = 30;
constexpr int kFrameInset = 38;

class MarkPainter {
 public:
  MarkPainter(Canvas& canvas, const PixelRect& box)
      : c_(canvas), L(box.left), T(box.top), R(box.right), B(box.bottom) {}

  void Bar(int left, int top, int right, int bottom) { c_.FillRect({left, top, right, bottom}, kBlack); }

  // A filled circle with its top left corner at (x, y).
  void Dot(int x, int y) {
    c_.SelectBrush(SolidBrush(kBlack));
    c_.Ellipse({x, y, x + kCircle, y + kCircle});
    c_.SelectBrush(kNoBrush);
  }

  // An open circle with a cross through its centre.
  void CrossedCircle(int x, int y) {
    c_.SelectBrush(kNoBrush);
    c_.Ellipse({x, y, x + kCircle, y + kCircle});
    const int cx = x + kCircle / 2, cy = y + kCircle / 2;
    const PixelPoint across[] = {{x - 4, cy}, {x + kCircle + 4, cy}};
    const PixelPoint down[] = {{cx, y - 4}, {cx, y + kCircle + 4}};
    c_.Polyline(across);
    c_.Polyline(down);
  }

  void RedFrame() {
    c_.SelectPen(Pen{kMarkFrameColour, 1});
    c_.SelectBrush(kNoBrush);
    c_.Rectangle({L + kFrameInset, T + kFrameInset, R - kFrameInset, B - kFrameInset});
    c_.SelectPen(Pen{});
  }

  // An L of two bars with its corner at (x, y); dx and dy (+1 or -1) point
  // along the arms, which are `across` and `along` pixels long.
  void Corner(int x, int y, int dx, int dy, int across, int along) {
    const int x2 = x + dx * kBarThick, y2 = y + dy * along;
    Bar(std::min(x, x2), std::min(y, y2), std::max(x, x2), std::max(y, y2));
    const int x3 = x + dx * across, y3 = y + dy * kBarThick;
    Bar(std::min(x, x3), std::min(y, y3), std::max(x, x3), std::max(y, y3));
  }

  void Text(int left, int top, int right, int bottom, int value) {
    c_.TextInBox({left, top, right, bottom}, std::to_string(value));
  }

  void Type1() {
    CrossedCircle(L + 10, T + 10);
    CrossedCircle(R - 20, T + 10);
    CrossedCircle(L + 10, B - 20);
    CrossedCircle(R - 20, B - 20);
    c_.TextAt({L + 15, T + 22}, "3");
    c_.TextAt({R - 25, T + 22}, "2");
    c_.TextAt({L + 15, B - 35}, "4");
    c_.TextAt({R - 25, B - 35}, "1");
  }

  void Type2() {
    Corner(L + 10, T + 10, 1, 1, kBarLength, kBarLength);
    Corner(R - 10, T + 10, -1, 1, kBarLength, kBarLength);
    Corner(L + 10, B - 10, 1, -1, kBarLength, kBarLength);
    Corner(R - 10, B - 10, -1, -1, kBarLength, kBarLength);
  }

  void FiveDots() {
    Dot(L + 20, T + 35);
    Dot(R - 30, T + 35);
    Dot(R - 30, B - 45);
    Dot(L + 20, B - 45);
    Dot(R - 30, B - 65);
  }

  void Type4() {
    RedFrame();
    Bar(L + 30, T + 90, L + 32, T + 90 + kBarLength);
    Bar(L + 32, T + 104, L + 39, T + 106);
    Bar(R - 32, T + 90, R - 30, T + 90 + kBarLength);
    Bar(R - 38, T + 104, R - 32, T + 106);
    Corner(L + 30, B - 30, 1, -1, kBarLength, kBarLength);
    Corner(R - 30, B - 30, -1, -1, kBarLength, kBarLength);
  }

  void Type5() {
    RedFrame();
    Dot(L + 20, T + 95);
    Dot(R - 30, T + 95);
    Dot(L + 20, B - 45);
    Dot(R - 30, B - 45);
    Dot(R - 30, B - 85);
  }

  void Type6() {
    RedFrame();
    Corner(L + 30, T + 90, 1, 1, 7, kBarLength);
    Corner(R - 30, T + 90, -1, 1, 7, kBarLength);
    Corner(L + 30, B - 45, 1, -1, 7, kBarLength);
    Corner(R - 30, B - 45, -1, -1, 7, kBarLength);
  }

  void Type8(int count) {
    Corner(L + 10, T + 40, 1, 1, kBarLength, kBarLength);
    Corner(R - 10, T + 40, -1, 1, kBarLength, kBarLength);
    Corner(L + 10, B - 39, 1, -1, kBarLength, kBarLength);
    Corner(R - 10, B - 39, -1, -1, kBarLength, kBarLength);
    const int step = (B - T - 80) / count;
    for (int i = 1; i < count; ++i) {
      const int y = T + 55 + i * step;
      Bar(L + 10, y - kBarLength, L + 12, y);
      Bar(L + 10, y - 15, L + 10 + kBarLength, y - 15 + kBarThick);
      Bar(R - 12, y - kBarLength, R - 10, y);
      Bar(R - 10 - kBarLength, y - 15, R - 10, y - 15 + kBarThick);
      Text(R - 30, y - 50, R - 10, y - 30, count - i);
    }
    Text(R - 30, B - 80, R - 10, B - 60, 0);
  }

  void Type9(int count) {
    FiveDots();
    const int step = (B - T - 80) / count;
    for (int i = 1; i < count; ++i) {
      const int y = T + 35 + i * step;
      Dot(L + 20, y);
      Dot(R - 30, y);
      Dot(R - 30, y - 20);
      Text(L + 20, y - 30, L + 40, y - 10, count - i);
    }
    Text(L + 20, B - 80, L + 40, B - 60, 0);
  }

 private:
  Canvas& c_;
  const int L, T, R, B;
};

}  // namespace

void DrawMarkSchematic(Canvas& canvas, const PixelRect& box, const MarkRef& mark) {
  MarkPainter p(canvas, box);
  const int count = mark.Sections();
  switch (mark.MarkType) {
    case 1: p.Type1(); break;
    case 2: p.Type2(); break;
    case 3: p.FiveDots(); break;
    case 4: p.Type4(); break;
    case 5: p.Type5(); break;
    case 6:
    case 7: p.Type6(); break;
    case 8: p.Type8(count); break;
    case 9: p.Type9(count); break;
    default: break;
  }
}

}  // namespace plotsend
