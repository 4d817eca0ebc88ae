#include "sheet/posix/rsvg_renderer.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <gio/gio.h>
#include <librsvg/rsvg.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace plotmark {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

struct GObjectFree {
  void operator()(void* p) const { g_object_unref(p); }
};
using HandlePtr = std::unique_ptr<RsvgHandle, GObjectFree>;

// The sheet's SVG, without libxml2's limits on a large embedded design.
HandlePtr Load(const Sheet& sheet) {
  GInputStream* stream =
      g_memory_input_stream_new_from_data(sheet.svg.data(), static_cast<gssize>(sheet.svg.size()), nullptr);
  GError* error = nullptr;
  RsvgHandle* handle = rsvg_handle_new_from_stream_sync(stream, nullptr, RSVG_HANDLE_FLAG_UNLIMITED, nullptr, &error);
  g_object_unref(stream);
  if (error != nullptr) g_error_free(error);
  return HandlePtr(handle);
}

bool Render(RsvgHandle* handle, cairo_t* cr, double width, double height) {
  const RsvgRectangle viewport{0, 0, width, height};
  GError* error = nullptr;
  const bool ok = rsvg_handle_render_document(handle, cr, &viewport, &error) != FALSE;
  if (error != nullptr) g_error_free(error);
  return ok;
}

}  // namespace

bool RsvgRenderer::RenderPdf(const Sheet& sheet, const std::string& path) {
  HandlePtr handle = Load(sheet);
  if (!handle) return false;
  const double w = sheet.width * kPointsPerMm, h = sheet.height * kPointsPerMm;
  cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), w, h);
  cairo_t* cr = cairo_create(surface);
  const bool rendered = Render(handle.get(), cr, w, h);
  cairo_show_page(cr);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool ok = rendered && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

bool RsvgRenderer::RenderPng(const Sheet& sheet, const CutJob& job, const std::string& path) {
  HandlePtr handle = Load(sheet);
  if (!handle) return false;
  const double scale = std::min(kPreviewPxPerMm, kPreviewMaxPx / std::max(sheet.width, sheet.height));
  const int w = std::max(1, static_cast<int>(std::lround(sheet.width * scale)));
  const int h = std::max(1, static_cast<int>(std::lround(sheet.height * scale)));
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  bool ok = Render(handle.get(), cr, w, h);
  // The cut in red: a = (x - minX) * 40, b = (maxY - y) * 40 on the page.
  cairo_set_source_rgb(cr, 0.9, 0, 0);
  cairo_set_line_width(cr, 1.5);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (const UnitPath& p : job.paths) {
    for (size_t i = p.begin; i < p.end; ++i) {
      const double x = (job.box.minX + job.points[i].a / kUnitsPerMm + sheet.offsetX) * scale;
      const double y = (job.box.maxY - job.points[i].b / kUnitsPerMm + sheet.offsetY) * scale;
      if (i == p.begin) cairo_move_to(cr, x, y);
      else cairo_line_to(cr, x, y);
    }
    cairo_stroke(cr);
  }
  cairo_destroy(cr);
  ok = ok && cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

}  // namespace plotmark
