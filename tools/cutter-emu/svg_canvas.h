#pragma once
// A Canvas that writes an SVG document to a stream, a piece at a time.
#include <ostream>
#include <string>

#include "cutter-emu/render_job.h"

namespace cutter_emu {

class SvgCanvas : public Canvas {
 public:
  SvgCanvas(std::ostream& out, double width, double height);
  void Polyline(std::span<const PixelPoint> points, SegmentKind kind) override;
  void Cross(PixelPoint at, double size) override;
  void Text(PixelPoint at, std::string_view text) override;
  // Ends the document; false when any write failed.
  bool Finish();

 private:
  void Flush(bool force);

  std::ostream& stream_;
  std::string out_;
};

// Draws the record and writes it to `path`; false when the file cannot be written.
bool WriteSvg(const JobRecord& record, bool showTravel, const std::string& path);

}  // namespace cutter_emu
