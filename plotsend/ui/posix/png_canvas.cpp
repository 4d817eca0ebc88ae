#include "ui/posix/png_canvas.h"

#include <cairo.h>

#include <algorithm>

namespace plotsend {

PngCanvas::PngCanvas(int width, int height, double fontSize) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(width, 1), std::max(height, 1));
  cr_ = cairo_create(surface_);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_SQUARE);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
  cairo_select_font_face(cr_, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, fontSize);
  SetColour(kWhite);
  cairo_paint(cr_);
}

PngCanvas::~PngCanvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

bool PngCanvas::Ok() const {
  return cairo_status(cr_) == CAIRO_STATUS_SUCCESS && cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS;
}

void PngCanvas::SetColour(Rgb c) { cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

// An odd pen width is centred on the pixel, as GDI draws it.
void PngCanvas::Polyline(std::span<const PixelPoint> points) {
  if (points.size() < 2) return;
  const double half = pen_.width % 2 != 0 ? 0.5 : 0.0;
  cairo_new_path(cr_);
  cairo_move_to(cr_, points[0].x + half, points[0].y + half);
  for (size_t i = 1; i < points.size(); ++i) cairo_line_to(cr_, points[i].x + half, points[i].y + half);
  SetColour(pen_.colour);
  cairo_set_line_width(cr_, std::max(pen_.width, 1));
  cairo_stroke(cr_);
}

void PngCanvas::FillAndStroke() {
  if (!brush_.hollow) {
    SetColour(brush_.colour);
    cairo_fill_preserve(cr_);
  }
  SetColour(pen_.colour);
  cairo_set_line_width(cr_, std::max(pen_.width, 1));
  cairo_stroke(cr_);
}

void PngCanvas::Rectangle(const PixelRect& r) {
  cairo_new_path(cr_);
  cairo_rectangle(cr_, r.left + 0.5, r.top + 0.5, r.right - r.left - 1, r.bottom - r.top - 1);
  FillAndStroke();
}

void PngCanvas::Ellipse(const PixelRect& r) {
  const double w = r.right - r.left - 1, h = r.bottom - r.top - 1;
  if (w <= 0 || h <= 0) return;
  cairo_new_path(cr_);
  cairo_save(cr_);
  cairo_translate(cr_, r.left + 0.5 + w / 2, r.top + 0.5 + h / 2);
  cairo_scale(cr_, w / 2, h / 2);
  cairo_arc(cr_, 0, 0, 1, 0, 6.283185307179586);
  cairo_restore(cr_);
  FillAndStroke();
}

void PngCanvas::FillRect(const PixelRect& r, Rgb colour) {
  cairo_new_path(cr_);
  cairo_rectangle(cr_, r.left, r.top, r.right - r.left, r.bottom - r.top);
  SetColour(colour);
  cairo_fill(cr_);
}

void PngCanvas::ShowText(double x, double baseline, std::string_view text) {
  const std::string copy(text);
  SetColour(kBlack);
  cairo_move_to(cr_, x, baseline);
  cairo_show_text(cr_, copy.c_str());
}

void PngCanvas::TextAt(PixelPoint at, std::string_view text) {
  cairo_font_extents_t font;
  cairo_font_extents(cr_, &font);
  ShowText(at.x, at.y + font.ascent, text);
}

void PngCanvas::TextInBox(const PixelRect& box, std::string_view text) {
  cairo_font_extents_t font;
  cairo_font_extents(cr_, &font);
  const double lineHeight = font.ascent + font.descent;
  ShowText(box.left, box.top + (box.bottom - box.top - lineHeight) / 2 + font.ascent, text);
}

bool PngCanvas::Save(const std::string& path) {
  cairo_surface_flush(surface_);
  return Ok() && cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace plotsend
