// Placeholder: the GDI canvas is being written.
#include "gdi_canvas.h"

namespace plotsend::win32 {
GdiCanvas::GdiCanvas(HDC dc) : dc_(dc) {}
GdiCanvas::~GdiCanvas() = default;
void GdiCanvas::SelectPen(const Pen&) {}
void GdiCanvas::SelectBrush(const Brush&) {}
void GdiCanvas::Polyline(std::span<const PixelPoint>) {}
void GdiCanvas::Rectangle(const PixelRect&) {}
void GdiCanvas::Ellipse(const PixelRect&) {}
void GdiCanvas::FillRect(const PixelRect&, Rgb) {}
void GdiCanvas::TextAt(PixelPoint, std::string_view) {}
void GdiCanvas::TextInBox(const PixelRect&, std::string_view) {}
}  // namespace plotsend::win32
