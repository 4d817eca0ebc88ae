// preview_bench: one repaint of the job preview for a job of 1,000,000 cut
// segments, on the recording canvas and on the cairo PNG canvas.
//
// Writes the job as a prepared work file (preview_job.h), loads it like the
// dialog does and times, best of --runs: reading the job alone, the preview
// on the recording canvas, the preview on the PNG canvas, and the PNG file's
// save.
// Usage: preview_bench [--runs N] [--segments N] [--png FILE]
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/preview_job.h"
#include "job/plt_file.h"
#include "ui/job_preview.h"
#include "ui/posix/png_canvas.h"
#include "ui/recording_canvas.h"

namespace fs = std::filesystem;
using namespace plotsend;

namespace {

constexpr double kGoalMs = 200.0;

}  // namespace

int main(int argc, char** argv) {
  const PreviewBenchOptions options = ParsePreviewBenchOptions(argc, argv, "--png");
  const int runs = options.runs;
  PreviewBenchJob job;
  if (!MakePreviewBenchJob(fs::temp_directory_path() / "plotara_preview_bench.plt", options.segments, job)) return 1;
  const CPLTFile& file = job.file;
  const PreviewData data = job.Data();
  const PixelSize frame{kPreviewFrameWidth, kPreviewFrameHeight};

  bool ok = true;
  const double readMs = BestMs(
      runs, [&] { return file.ForEachBatch([](std::span<const JobPoint>) {}); }, ok);
  size_t polylines = 0;
  const double recordMs = BestMs(
      runs,
      [&] {
        RecordingCanvas canvas;
        const bool read = DrawJobPreview(canvas, frame, data).jobRead;
        polylines = canvas.OfKind(CanvasOp::Kind::Polyline).size();
        return read;
      },
      ok);
  PngCanvas last(frame.width, frame.height);
  const double pngMs = BestMs(
      runs,
      [&] {
        PngCanvas canvas(frame.width, frame.height);
        return DrawJobPreview(canvas, frame, data).jobRead && canvas.Ok();
      },
      ok);
  DrawJobPreview(last, frame, data);
  const std::string out =
      options.picture.empty() ? (fs::temp_directory_path() / "plotara_preview_bench.png").string() : options.picture;
  const double saveMs = BestMs(
      runs, [&] { return last.Save(out); }, ok);
  if (options.picture.empty()) fs::remove(out);
  fs::remove(job.path);

  std::printf("preview of %ld segments (%zu polylines), %d x %d pixels, best of %d:\n", options.segments, polylines,
              frame.width, frame.height, runs);
  std::printf("  reading the job alone      %8.1f ms\n", readMs);
  std::printf("  recording canvas repaint   %8.1f ms%s\n", recordMs, recordMs > kGoalMs ? "  (over 200 ms)" : "");
  std::printf("  cairo canvas repaint       %8.1f ms%s\n", pngMs, pngMs > kGoalMs ? "  (over 200 ms)" : "");
  std::printf("  PNG save                   %8.1f ms\n", saveMs);
  if (!ok) std::fprintf(stderr, "preview_bench: a run failed\n");
  return ok ? 0 : 1;
}
