#include "bench/preview_job.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace plotsend {
namespace {

constexpr int kSegmentsPerPath = 250;

// "U y,x;" or "D y,x;", appended piece by piece (no temporaries to join).
void AppendPoint(std::string& text, char command, int32_t x, int32_t y) {
  text += command;
  text += std::to_string(y);
  text += ',';
  text += std::to_string(x);
  text += ';';
}

// Deterministic steps of up to +-60 units (1.5 mm), kept on the sheet.
bool WriteJob(const std::filesystem::path& path, long segments) {
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
      AppendPoint(text, 'U', x, y);
    }
    x = std::clamp(x + next(121) - 60, 0, 30000);
    y = std::clamp(y + next(121) - 60, 0, 50000);
    AppendPoint(text, 'D', x, y);
    if (text.size() > (1 << 20)) {
      out << text;
      text.clear();
    }
  }
  out << text << "U0,0;@";
  return static_cast<bool>(out);
}

}  // namespace

PreviewBenchOptions ParsePreviewBenchOptions(int argc, char** argv, const std::string& pictureFlag) {
  PreviewBenchOptions options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--runs") options.runs = std::max(1, std::atoi(argv[i + 1]));
    else if (arg == "--segments") options.segments = std::max(1L, std::atol(argv[i + 1]));
    else if (arg == pictureFlag) options.picture = argv[i + 1];
  }
  return options;
}

bool MakePreviewBenchJob(const std::filesystem::path& path, long segments, PreviewBenchJob& job) {
  job.path = path;
  if (!WriteJob(path, segments)) {
    std::fprintf(stderr, "cannot write the job %s\n", path.string().c_str());
    return false;
  }
  if (job.file.LoadPlt(path.string()) != 1) {
    std::fprintf(stderr, "cannot read the job %s\n", path.string().c_str());
    return false;
  }
  job.file.ComputeBounds();
  job.file.MoveToOrigin(job.file.GetBounds().minX, job.file.GetBounds().minY);
  job.file.ComputeBounds();
  job.markRef.MarkType = 3;
  return true;
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

}  // namespace plotsend
