#include "png_canvas.h"

#include <cairo.h>

#include <cmath>

namespace cutter_emu {
namespace {

void SetStyle(cairo_t* cr, SegmentKind kind) {
  static const double kDash[] = {4.0, 3.0};
  switch (kind) {
    case SegmentKind::Cut:
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_set_line_width(cr, 1.2);
      cairo_set_dash(cr, nullptr, 0, 0);
      break;
    case SegmentKind::Travel:
      cairo_set_source_rgb(cr, 0.6, 0.67, 0.73);
      cairo_set_line_width(cr, 0.6);
      cairo_set_dash(cr, kDash, 2, 0);
      break;
    case SegmentKind::Jog:
      cairo_set_source_rgb(cr, 0.85, 0, 0);
      cairo_set_line_width(cr, 0.8);
      cairo_set_dash(cr, nullptr, 0, 0);
      break;
  }
}

}  // namespace

PngCanvas::PngCanvas(int width, int height)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_)) {
  cairo_set_source_rgb(cr_, 1, 1, 1);
  cairo_paint(cr_);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
}

PngCanvas::~PngCanvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

bool PngCanvas::Ok() const {
  return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS &&
         cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}

void PngCanvas::Polyline(std::span<const PixelPoint> points, SegmentKind kind) {
  SetStyle(cr_, kind);
  cairo_move_to(cr_, points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) cairo_line_to(cr_, points[i].x, points[i].y);
  cairo_stroke(cr_);
}

void PngCanvas::Cross(PixelPoint at, double size) {
  cairo_set_dash(cr_, nullptr, 0, 0);
  cairo_set_source_rgb(cr_, 0, 0.4, 0.8);
  cairo_set_line_width(cr_, 1.0);
  cairo_move_to(cr_, at.x - size, at.y);
  cairo_line_to(cr_, at.x + size, at.y);
  cairo_move_to(cr_, at.x, at.y - size);
  cairo_line_to(cr_, at.x, at.y + size);
  cairo_stroke(cr_);
}

void PngCanvas::Text(PixelPoint at, std::string_view text) {
  const std::string s(text);
  cairo_set_source_rgb(cr_, 0, 0, 0);
  cairo_select_font_face(cr_, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, 13.0);
  cairo_move_to(cr_, at.x, at.y);
  cairo_show_text(cr_, s.c_str());
}

bool PngCanvas::Save(const std::string& path) {
  cairo_surface_flush(surface_);
  return Ok() && cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool WritePng(const JobRecord& record, bool showTravel, const std::string& path) {
  const Layout layout = ComputeLayout(record, kDrawingSize);
  PngCanvas canvas(static_cast<int>(std::ceil(layout.width)), static_cast<int>(std::ceil(layout.height)));
  if (!canvas.Ok()) return false;
  DrawJob(record, layout, showTravel, canvas);
  return canvas.Save(path);
}

}  // namespace cutter_emu
