#pragma once
// A Canvas on a cairo image surface, saved as PNG. Drawn without
// antialiasing, one pixel per GDI pixel.
#include <string>

#include "ui/canvas.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace plotsend {

class PngCanvas : public Canvas {
 public:
  // A white surface of the given size; text in a sans-serif font of
  // `fontSize` pixels.
  PngCanvas(int width, int height, double fontSize = 12.0);
  ~PngCanvas() override;
  PngCanvas(const PngCanvas&) = delete;
  PngCanvas& operator=(const PngCanvas&) = delete;

  bool Ok() const;
  void SelectPen(const Pen& pen) override { pen_ = pen; }
  void SelectBrush(const Brush& brush) override { brush_ = brush; }
  void Polyline(std::span<const PixelPoint> points) override;
  void Rectangle(const PixelRect& r) override;
  void Ellipse(const PixelRect& r) override;
  void FillRect(const PixelRect& r, Rgb colour) override;
  void TextAt(PixelPoint at, std::string_view text) override;
  void TextInBox(const PixelRect& box, std::string_view text) override;
  // False when the file cannot be written.
  bool Save(const std::string& path);

 private:
  void SetColour(Rgb c);
  void FillAndStroke();
  void ShowText(double x, double baseline, std::string_view text);

  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  Pen pen_;
  Brush brush_;
};

}  // namespace plotsend
