#pragma once
// The print sheet: the design's printed part and the registration marks at
// 1:1, as an SVG document whose user unit is the millimetre.
#include <optional>
#include <string>
#include <vector>

#include "import/design.h"
#include "job/cut_job.h"
#include "marks/mark_layout.h"

namespace plotmark {

struct PageSize {
  double width = 0;  // mm
  double height = 0;
};

// "A4", "A3" or "WxH" in millimetres; nullopt for anything else.
std::optional<PageSize> ParsePageSize(const std::string& text);

struct SheetInput {
  const Design* design = nullptr;
  const std::string* svgSource = nullptr;  // the SVG file, embedded as it is; null for HP-GL
  const CutJob* job = nullptr;
  const std::vector<Mark>* marks = nullptr;
  MarkSizes sizes;
  std::optional<PageSize> page;  // none: a page that fits
};

struct Sheet {
  double width = 0, height = 0;     // the page, mm
  double offsetX = 0, offsetY = 0;  // where the design's page origin lies on the sheet
  bool landscape = false;           // the requested page turned to fit
  std::string svg;
};

// The space kept around the content on a fitted page, mm.
inline constexpr double kSheetBorderMm = 10.0;

// nullopt when the content does not fit the requested page either way round.
std::optional<Sheet> MakeSheet(const SheetInput& in);

}  // namespace plotmark
