#pragma once
// A job record drawn as a PNG picture, through the preview's Canvas port
// onto its cairo canvas: whole pixels, no antialiasing.
#include <string>

#include "cutter-emu/render_job.h"

namespace cutter_emu {

// Draws the record and writes it to `path`; false when that fails.
bool WritePng(const JobRecord& record, bool showTravel, const std::string& path);

}  // namespace cutter_emu
