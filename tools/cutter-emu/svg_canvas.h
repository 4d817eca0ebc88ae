#pragma once
// A Canvas that builds an SVG document as text.
#include <string>

#include "render_job.h"

namespace cutter_emu {

class SvgCanvas : public Canvas {
 public:
  SvgCanvas(double width, double height);
  void Polyline(std::span<const PixelPoint> points, SegmentKind kind) override;
  void Cross(PixelPoint at, double size) override;
  void Text(PixelPoint at, std::string_view text) override;
  // The finished document.
  std::string Finish();

 private:
  std::string out_;
};

// Draws the record and writes it to `path`; false when the file cannot be written.
bool WriteSvg(const JobRecord& record, bool showTravel, const std::string& path);

}  // namespace cutter_emu
