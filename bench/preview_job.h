#pragma once
// The job and the options of the preview benchmarks (cairo and recording
// canvases natively, GDI under Windows): paths of 250 short segments each,
// spread over a 1.25 x 0.75 m sheet, the same bytes on every platform.
#include <filesystem>
#include <functional>
#include <string>

#include "job/plt_file.h"
#include "ui/job_preview.h"

namespace plotsend {

// --runs N, --segments N and `pictureFlag` FILE (where the last picture is kept).
struct PreviewBenchOptions {
  int runs = 3;
  long segments = 1000000;
  std::string picture;
};
PreviewBenchOptions ParsePreviewBenchOptions(int argc, char** argv, const std::string& pictureFlag);

// The job as the dialog has it for the preview (bounds computed, moved to
// its own origin), drawn with mark type 3 and code number 12345.
struct PreviewBenchJob {
  std::filesystem::path path;
  CPLTFile file;
  MarkRef markRef;
  PreviewData Data() const { return PreviewData{file, markRef, 1, 12345}; }
};

// Writes a job of `segments` cut segments to `path` and loads it; false,
// with the reason on stderr, when it cannot.
bool MakePreviewBenchJob(const std::filesystem::path& path, long segments, PreviewBenchJob& job);

// The best time in milliseconds of `runs` calls; `ok` is cleared when a call fails.
double BestMs(int runs, const std::function<bool()>& fn, bool& ok);

}  // namespace plotsend
