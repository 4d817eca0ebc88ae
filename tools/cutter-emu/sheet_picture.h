#pragma once
// The cut on the printed sheet as a PNG picture: the print (contour and
// marks) in grey, the cut mapped onto the sheet in red, as the sheet looks
// printed (the job's origin at the bottom right). Where the cut came close,
// an inset magnifies the spot where it strays farthest.
#include <string>

#include "cutter-emu/job_record.h"
#include "cutter-emu/sheet_check.h"

namespace cutter_emu {

bool WriteSheetPng(const JobRecord& job, const SheetResult& result, const SheetLayout& layout,
                   const SheetPlacement& placement, const std::string& path);

}  // namespace cutter_emu
