#pragma once
// The preview's canvas on a GDI device context: each call is one GDI call.
// Pens and brushes are made once per colour and width and kept for the
// canvas's life; the destructor puts the context's own pen, brush, text
// colour, background mode and text alignment back and frees them. Text is
// drawn in the context's current font.
#include <windows.h>

#include <vector>

#include "ui/canvas.h"

namespace plotsend::win32 {

class GdiCanvas : public Canvas {
 public:
  explicit GdiCanvas(HDC dc);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void SelectPen(const Pen& pen) override;
  void SelectBrush(const Brush& brush) override;
  void Polyline(std::span<const PixelPoint> points) override;
  void Rectangle(const PixelRect& r) override;
  void Ellipse(const PixelRect& r) override;
  void FillRect(const PixelRect& r, Rgb colour) override;
  void TextAt(PixelPoint at, std::string_view text) override;
  void TextInBox(const PixelRect& box, std::string_view text) override;

 private:
  struct CachedPen {
    Pen pen;
    HPEN handle;
  };
  struct CachedBrush {
    Rgb colour;
    HBRUSH handle;
  };
  HPEN PenFor(const Pen& pen);
  HBRUSH BrushFor(Rgb colour);

  HDC dc_;
  HGDIOBJ originalPen_;
  HGDIOBJ originalBrush_;
  COLORREF originalTextColour_;
  int originalBackgroundMode_;
  UINT originalTextAlign_;
  // A preview uses a handful of colours, so a short list is searched.
  std::vector<CachedPen> pens_;
  std::vector<CachedBrush> brushes_;
  std::vector<POINT> points_;  // Polyline's points, reused
};

}  // namespace plotsend::win32
