#pragma once
// The line cutter-emu prints about each job when it ends.
#include <string>

#include "cutter-emu/job_record.h"

namespace cutter_emu {

std::string JobReport(const JobRecord& record, int job);

}  // namespace cutter_emu
