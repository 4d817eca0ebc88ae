#pragma once
// The cut-order stage for a whole job: reads the prepared job one section
// at a time (only one section's paths are held), orders each section's
// paths and writes the job in the new order as a PLT work file, and the
// points the reader reads back from it as a record. Section markers stay
// where they are; nothing moves across them. A section's cuts before its first pen-up move continue from
// where the head stands, so they stay first; pen-up moves that lead to no
// cut are left out.
#include <cstdint>
#include <string>

#include "job/mark_ref.h"
#include "job/path_order.h"
#include "job/plt_file.h"

namespace plotsend {

struct JobOrderOptions {
  // Where the cutter's origin lies in the job's coordinates (the job moved
  // by the origin offset puts the origin at minus that offset).
  OrderPoint origin;
  // The job's sections and its closing move.
  MarkRef mark;
  double budgetSeconds = 1.0;  // for the whole job, shared out by section
  bool turnPaths = true;
};

struct JobOrderStats {
  double cutLength = 0;      // units
  double travelBefore = 0;   // pen-up travel in units, the job as it was
  double travelAfter = 0;    // and as ordered
  double travelNearest = 0;  // nearest-neighbour alone (for comparison)
};

// Each section starts where the head stands when it begins: the origin
// for the first, one section width further along y for each later one; it
// ends where the next begins, the last at the job's closing move. False
// when the job could not be read or `path` not written (nothing is then in
// its place). `ordered`, when given, receives the ordered job's points.
bool OrderJob(const CPLTFile& job, const std::string& path, const JobOrderOptions& options, JobOrderStats& stats,
              PointRecord* ordered = nullptr);

// "12.34": units as metres with two decimals.
std::string Metres(double units);

}  // namespace plotsend
