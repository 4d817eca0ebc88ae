#pragma once
// A print sheet as plotmark describes it beside the sheet's SVG (the file
// NAME.layout.txt): the registration marks and the cut contour in the job's
// coordinates, plotter units.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cutter-emu/sheet_geometry.h"

namespace cutter_emu {

struct SheetMark {
  int label = -1;  // as printed beside the mark; -1 for none
  Vec at;
};

struct SheetLayout {
  int markType = 0;
  int32_t margin = 0;
  int32_t spanX = 0, spanY = 0;
  int sections = 1;
  std::vector<SheetMark> marks;
  std::vector<std::vector<Vec>> contour;  // paths of two points or more
  // The mark with this label, or null.
  const SheetMark* Mark(int label) const;
};

// False with a message naming the line for anything that is not a layout.
bool ParseSheetLayout(std::string_view text, SheetLayout& layout, std::string& error);

// Reads NAME.layout.txt; given the sheet NAME.svg, reads the layout beside it.
bool LoadSheetLayout(const std::string& path, SheetLayout& layout, std::string& error);

}  // namespace cutter_emu
