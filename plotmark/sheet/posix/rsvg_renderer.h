#pragma once
// The sheet rendered with librsvg onto cairo: a PDF page of the sheet's
// size, and a PNG preview with the cut lines in red.
#include "app/ports.h"

namespace plotmark {

class RsvgRenderer : public SheetRenderer {
 public:
  bool Available() const override { return true; }
  bool RenderPdf(const Sheet& sheet, const std::string& path) override;
  bool RenderPng(const Sheet& sheet, const CutJob& job, const std::string& path) override;
};

// The preview's resolution, and the most pixels along either side.
inline constexpr double kPreviewPxPerMm = 4.0;
inline constexpr double kPreviewMaxPx = 4000.0;

}  // namespace plotmark
