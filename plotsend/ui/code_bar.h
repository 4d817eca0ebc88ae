#pragma once
// The code bar of a coded job: guard bars, five digit patterns and the
// number, drawn right to left.
#include <cstdint>
#include <string>

#include "ui/canvas.h"

namespace plotsend {

// A bar: distance to the left of its anchor and width in units of 3 pixels.
struct CodeBar {
  int offset = 0;
  int units = 0;
};

struct DigitPattern {
  CodeBar first, second;
};

inline constexpr int kCodeBarHeight = 12;
inline constexpr int kCodeBarUnit = 3;

// The pattern of a digit 0..9.
DigitPattern CodeDigitPattern(int digit);

// The five-digit text of a number 0..99999 ("00007"); empty for any other.
std::string CodeNumberText(int32_t number);

// Draws the code bar of `number` right to left from `anchorX`, bars from
// `top` down. Digits outside 0..9 (a number of 100000 or more, or below 0)
// draw no pattern.
void DrawCodeBar(Canvas& canvas, int anchorX, int top, int32_t number);

}  // namespace plotsend
