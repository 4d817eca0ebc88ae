#pragma once
// The drawing surface of the job preview: a pen and a brush selected into it,
// lines, rectangles, ellipses, fills and text, in whole pixels with x to the
// right and y downward. Shaped like a GDI device context, so that each call
// is one GDI call there.
#include <cstdint>
#include <span>
#include <string_view>

namespace plotsend {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

struct PixelPoint {
  int x = 0, y = 0;
  bool operator==(const PixelPoint&) const = default;
};

// Right and bottom are exclusive, as in GDI.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// A solid pen; the default is a surface's own pen, black and one pixel wide.
struct Pen {
  Rgb colour = kBlack;
  int width = 1;
  bool operator==(const Pen&) const = default;
};

// A solid brush, or none (shapes are outlined only).
struct Brush {
  Rgb colour = kWhite;
  bool hollow = true;
  bool operator==(const Brush&) const = default;
};

inline constexpr Brush kNoBrush{};
inline constexpr Brush SolidBrush(Rgb colour) { return Brush{colour, false}; }

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void SelectPen(const Pen& pen) = 0;
  virtual void SelectBrush(const Brush& brush) = 0;
  // Joined lines through the points with the pen; the last point is not set.
  virtual void Polyline(std::span<const PixelPoint> points) = 0;
  // Outlined with the pen inside the rectangle and filled with the brush.
  virtual void Rectangle(const PixelRect& r) = 0;
  // The ellipse that fits the rectangle, outlined and filled like Rectangle.
  virtual void Ellipse(const PixelRect& r) = 0;
  // Fills the rectangle with a colour, no outline.
  virtual void FillRect(const PixelRect& r, Rgb colour) = 0;
  // Black text, transparent background, its top left corner at `at`.
  virtual void TextAt(PixelPoint at, std::string_view text) = 0;
  // One line of black text at the left of the box, vertically centred.
  virtual void TextInBox(const PixelRect& box, std::string_view text) = 0;
};

}  // namespace plotsend
