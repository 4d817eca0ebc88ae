// preview_bench: one repaint of the job preview for a job of 1,000,000 cut
// segments, on the recording canvas and on the cairo PNG canvas.
//
// Writes the job as a prepared work file (paths of 250 short segments each,
// spread over a 1.25 x 0.75 m sheet), loads it like the dialog does and
// times, best of --runs: reading the job alone, the preview on the recording
// canvas, the preview on the PNG canvas, and the PNG file's save.
// Usage: preview_bench [--runs N] [--segments N] [--png FILE]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "job_preview.h"
#include "plt_file.h"
#include "posix/png_canvas.h"
#include "recording_canvas.h"

namespace fs = std::filesystem;
using namespace plotsend;

namespace {

constexpr double kGoalMs = 200.0;
constexpr int kSegmentsPerPath = 250;

// Deterministic steps of up to +-60 units (1.5 mm), kept on the sheet.
bool WriteJob(const fs::path& path, long segments) {
  std::ofstream out(path, std::ios::binary);
  uint32_t state = 12345;
  auto next = [&state](int range) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 8) % static_cast<uint32_t>(range));
  };
  std::string text = "IN;PA;U0,0;";
  int32_t x = 0, y = 0;
  for (long i = 0; i < segments; ++i) {
    if (i % kSegmentsPerPath == 0) {
      x = next(30000);
      y = next(50000);
      text += "U" + std::to_string(y) + "," + std::to_string(x) + ";";
    }
    x = std::clamp(x + next(121) - 60, 0, 30000);
    y = std::clamp(y + next(121) - 60, 0, 50000);
    text += "D" + std::to_string(y) + "," + std::to_string(x) + ";";
    if (text.size() > (1 << 20)) {
      out << text;
      text.clear();
    }
  }
  out << text << "U0,0;@";
  return static_cast<bool>(out);
}

double BestMs(int runs, const std::function<bool()>& fn, bool& ok) {
  double best = 1e300;
  for (int r = 0; r < runs; ++r) {
    const auto start = std::chrono::steady_clock::now();
    ok = fn() && ok;
    const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - start;
    best = std::min(best, ms.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  long segments = 1000000;
  std::string png;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    else if (arg == "--segments") segments = std::max(1L, std::atol(argv[i + 1]));
    else if (arg == "--png") png = argv[i + 1];
  }
  const fs::path job = fs::temp_directory_path() / "plotara_preview_bench.plt";
  if (!WriteJob(job, segments)) {
    std::fprintf(stderr, "preview_bench: cannot write %s\n", job.c_str());
    return 1;
  }
  CPLTFile file;
  if (file.LoadPlt(job.string()) != 1) return 1;
  file.ComputeBounds();
  file.MoveToOrigin(file.GetBounds().minX, file.GetBounds().minY);
  file.ComputeBounds();
  MarkRef ref;
  ref.MarkType = 3;
  const PreviewData data{file, ref, 1, 12345};
  const PixelSize frame{kPreviewFrameWidth, kPreviewFrameHeight};

  bool ok = true;
  const double readMs = BestMs(runs, [&] { return file.ForEachBatch([](std::span<const JobPoint>) {}); }, ok);
  size_t polylines = 0;
  const double recordMs = BestMs(runs, [&] {
    RecordingCanvas canvas;
    const bool read = DrawJobPreview(canvas, frame, data).jobRead;
    polylines = canvas.OfKind(CanvasOp::Kind::Polyline).size();
    return read;
  }, ok);
  PngCanvas last(frame.width, frame.height);
  const double pngMs = BestMs(runs, [&] {
    PngCanvas canvas(frame.width, frame.height);
    return DrawJobPreview(canvas, frame, data).jobRead && canvas.Ok();
  }, ok);
  DrawJobPreview(last, frame, data);
  const std::string out = png.empty() ? (fs::temp_directory_path() / "plotara_preview_bench.png").string() : png;
  const double saveMs = BestMs(runs, [&] { return last.Save(out); }, ok);
  if (png.empty()) fs::remove(out);
  fs::remove(job);

  std::printf("preview of %ld segments (%zu polylines), %d x %d pixels, best of %d:\n", segments, polylines,
              frame.width, frame.height, runs);
  std::printf("  reading the job alone      %8.1f ms\n", readMs);
  std::printf("  recording canvas repaint   %8.1f ms%s\n", recordMs, recordMs > kGoalMs ? "  (over 200 ms)" : "");
  std::printf("  cairo canvas repaint       %8.1f ms%s\n", pngMs, pngMs > kGoalMs ? "  (over 200 ms)" : "");
  std::printf("  PNG save                   %8.1f ms\n", saveMs);
  if (!ok) std::fprintf(stderr, "preview_bench: a run failed\n");
  return ok ? 0 : 1;
}
