#include "ui/code_bar.h"

#include <array>

namespace plotsend {
namespace {

constexpr std::array<DigitPattern, 10> kPatterns{{
    {{9, 2}, {18, 1}},  // 0
    {{6, 2}, {18, 1}},  // 1
    {{6, 1}, {18, 1}},  // 2
    {{3, 4}, {18, 1}},  // 3
    {{3, 1}, {15, 2}},  // 4
    {{3, 2}, {18, 1}},  // 5
    {{3, 1}, {9, 4}},   // 6
    {{3, 3}, {15, 2}},  // 7
    {{3, 2}, {12, 3}},  // 8
    {{9, 1}, {15, 2}},  // 9
}};

constexpr int kGuardGap = 6;
constexpr int kFirstDigit = 9;  // first digit anchor, left of the code anchor
constexpr int kDigitStep = 21;
constexpr int kSecondGuard = 114;
constexpr int kTextLeft = 173;
constexpr int kTextRaise = 3;

// A bar that ends at x and extends to the left.
void DrawBar(Canvas& canvas, int x, int top, int units) {
  canvas.FillRect({x - units * kCodeBarUnit, top, x, top + kCodeBarHeight}, kBlack);
}

void DrawGuard(Canvas& canvas, int x, int top) {
  DrawBar(canvas, x, top, 1);
  DrawBar(canvas, x - kGuardGap, top, 1);
}

}  // namespace

DigitPattern CodeDigitPattern(int digit) { return kPatterns[static_cast<size_t>(digit)]; }

std::string CodeNumberText(int32_t number) {
  if (number < 0 || number >= 100000) return {};
  std::string text = std::to_string(number);
  return std::string(5 - text.size(), '0') + text;
}

void DrawCodeBar(Canvas& canvas, int anchorX, int top, int32_t number) {
  // A negative number has no digits to show.
  std::array<int32_t, 5> digits{-1, -1, -1, -1, -1};
  if (number >= 0) {
    digits = {number / 10000, number % 10000 / 1000, number % 1000 / 100, number % 100 / 10, number % 10};
  }
  DrawGuard(canvas, anchorX, top);
  for (size_t k = 0; k < digits.size(); ++k) {
    if (digits[k] < 0 || digits[k] > 9) continue;
    const int digitAnchor = anchorX - kFirstDigit - kDigitStep * static_cast<int>(k);
    const DigitPattern p = CodeDigitPattern(digits[k]);
    DrawBar(canvas, digitAnchor - p.first.offset, top, p.first.units);
    DrawBar(canvas, digitAnchor - p.second.offset, top, p.second.units);
  }
  DrawGuard(canvas, anchorX - kSecondGuard, top);
  const std::string text = CodeNumberText(number);
  if (!text.empty()) canvas.TextAt({anchorX - kTextLeft, top - kTextRaise}, text);
}

}  // namespace plotsend
