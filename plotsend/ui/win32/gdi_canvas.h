#pragma once
// The preview's canvas on a GDI device context: each call is one GDI call,
// pens and brushes created once per colour and freed with the canvas.
#include <windows.h>

#include "canvas.h"

namespace plotsend::win32 {

class GdiCanvas : public Canvas {
 public:
  explicit GdiCanvas(HDC dc);
  ~GdiCanvas() override;
  void SelectPen(const Pen& pen) override;
  void SelectBrush(const Brush& brush) override;
  void Polyline(std::span<const PixelPoint> points) override;
  void Rectangle(const PixelRect& r) override;
  void Ellipse(const PixelRect& r) override;
  void FillRect(const PixelRect& r, Rgb colour) override;
  void TextAt(PixelPoint at, std::string_view text) override;
  void TextInBox(const PixelRect& box, std::string_view text) override;

 private:
  HDC dc_;
};

}  // namespace plotsend::win32
