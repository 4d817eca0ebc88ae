#pragma once
// A Canvas on a cairo image surface, saved as PNG.
#include <string>

#include "render_job.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace cutter_emu {

class PngCanvas : public Canvas {
 public:
  PngCanvas(int width, int height);
  ~PngCanvas() override;
  PngCanvas(const PngCanvas&) = delete;
  PngCanvas& operator=(const PngCanvas&) = delete;

  bool Ok() const;
  void Polyline(std::span<const PixelPoint> points, SegmentKind kind) override;
  void Cross(PixelPoint at, double size) override;
  void Text(PixelPoint at, std::string_view text) override;
  bool Save(const std::string& path);

 private:
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
};

// Draws the record and writes it to `path`; false when that fails.
bool WritePng(const JobRecord& record, bool showTravel, const std::string& path);

}  // namespace cutter_emu
