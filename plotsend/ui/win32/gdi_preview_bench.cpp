// gdi_preview_bench: one repaint of the job preview for a job of 1,000,000
// cut segments on the GDI canvas, into an off-screen 707 x 473 DIB section
// (the dialog's preview frame), best of --runs. The job is the one
// preview_bench draws with cairo, so the two can be set side by side; --bmp
// FILE keeps the last picture for comparing them pixel by pixel.
// Usage: gdi_preview_bench [--runs N] [--segments N] [--bmp FILE]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/preview_job.h"
#include "ui/job_preview.h"
#include "ui/win32/dib_surface.h"
#include "ui/win32/gdi_canvas.h"

namespace fs = std::filesystem;
using namespace plotsend;
using plotsend::win32::DibSurface;
using plotsend::win32::GdiCanvas;

namespace {

constexpr double kGoalMs = 200.0;

void Put(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
}

// A 24-bit bottom-up BMP of the surface.
bool SaveBmp(const DibSurface& s, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  const uint32_t rowBytes = (static_cast<uint32_t>(s.Width()) * 3 + 3) / 4 * 4;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(s.Height());
  out.put('B');
  out.put('M');
  Put(out, 14 + 40 + imageBytes, 4);
  Put(out, 0, 4);
  Put(out, 14 + 40, 4);
  for (uint32_t v : {40u, static_cast<uint32_t>(s.Width()), static_cast<uint32_t>(s.Height())}) Put(out, v, 4);
  Put(out, 1, 2);
  Put(out, 24, 2);
  for (int i = 0; i < 6; ++i) Put(out, 0, 4);
  std::string row(rowBytes, '\0');
  for (int y = s.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < s.Width(); ++x) {
      const Rgb p = s.At(x, y);
      row[3 * x] = static_cast<char>(p.b);
      row[3 * x + 1] = static_cast<char>(p.g);
      row[3 * x + 2] = static_cast<char>(p.r);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  const PreviewBenchOptions options = ParsePreviewBenchOptions(argc, argv, "--bmp");
  const int runs = options.runs;
  const std::string& bmp = options.picture;
  const PixelSize frame{kPreviewFrameWidth, kPreviewFrameHeight};
  DibSurface surface(frame.width, frame.height);
  if (!surface.Ok()) {
    std::fprintf(stderr, "gdi_preview_bench: no DIB section\n");
    return 1;
  }
  PreviewBenchJob job;
  if (!MakePreviewBenchJob(fs::temp_directory_path() / "plotara_gdi_preview_bench.plt", options.segments, job)) {
    return 1;
  }
  const CPLTFile& file = job.file;
  const PreviewData data = job.Data();

  bool ok = true;
  const double readMs = BestMs(
      runs, [&] { return file.ForEachBatch([](std::span<const JobPoint>) {}); }, ok);
  const double gdiMs = BestMs(
      runs,
      [&] {
        GdiCanvas canvas(surface.Dc());
        const bool read = DrawJobPreview(canvas, frame, data).jobRead;
        GdiFlush();  // every call drawn before the clock stops
        return read;
      },
      ok);
  fs::remove(job.path);
  if (!bmp.empty() && !SaveBmp(surface, bmp)) {
    std::fprintf(stderr, "gdi_preview_bench: cannot write %s\n", bmp.c_str());
    ok = false;
  }

  std::printf("preview of %ld segments, %d x %d pixels, best of %d:\n", options.segments, frame.width, frame.height,
              runs);
  std::printf("  reading the job alone      %8.1f ms\n", readMs);
  std::printf("  GDI canvas repaint         %8.1f ms%s\n", gdiMs, gdiMs > kGoalMs ? "  (over 200 ms)" : "");
  if (!ok) std::fprintf(stderr, "gdi_preview_bench: a run failed\n");
  return ok ? 0 : 1;
}
