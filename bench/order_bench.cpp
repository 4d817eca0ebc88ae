// order_bench: the cut-order stage on generated sections.
//
// Three jobs: a grid of 10,000 stickers in random order, rows of text-like
// glyphs with counters, and 100,000 short open paths. For each: the pen-up
// travel as drawn, after nearest-neighbour alone and after the improvement
// within the budget (--budget seconds, default 1), both as ratios, the time
// the whole stage took (wall clock and processor time: on a busy machine
// the budget, which is wall clock, buys less processor time) and its memory. The invariants are checked after
// timing (--no-check skips them). The short-path job is also ordered at a
// quarter and at half its size to show how time and memory grow.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "bench/order_jobs.h"
#include "bench/peak_memory.h"
#include "job/path_order.h"
#include "job/path_order_check.h"

using namespace plotsend;

namespace {

struct Options {
  double budget = 1.0;
  bool check = true;
};

double Metres(double units) { return units / 40.0 / 1000.0; }

void Run(const char* name, const SectionPaths& paths, const Options& options) {
  OrderOptions order;
  order.budgetSeconds = options.budget;
  const bool reset = ResetStagePeak();
  const auto begin = std::chrono::steady_clock::now();
  const std::clock_t cpuBegin = std::clock();
  const OrderResult result = OrderPaths(paths, order);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  const double cpu = static_cast<double>(std::clock() - cpuBegin) / CLOCKS_PER_SEC;
  const int64_t peak = reset ? StagePeakRss() : 0;

  const double gainNearest = 1 - result.nearestTravel / result.drawnTravel;
  const double gainOrdered = 1 - result.orderedTravel / result.drawnTravel;
  const double overNearest = 1 - result.orderedTravel / result.nearestTravel;
  std::printf("%-16s %7zu paths %8zu points  travel as drawn %9.2f m\n", name, paths.Count(), paths.PointCount(),
              Metres(result.drawnTravel));
  std::printf("  nearest-neighbour alone  %9.2f m  x%.3f of drawn (%.1f %% shorter)\n", Metres(result.nearestTravel),
              result.nearestTravel / result.drawnTravel, 100 * gainNearest);
  std::printf(
      "  ordered                  %9.2f m  x%.3f of drawn (%.1f %% shorter), x%.3f of nearest (%.1f %% shorter)\n",
      Metres(result.orderedTravel), result.orderedTravel / result.drawnTravel, 100 * gainOrdered,
      result.orderedTravel / result.nearestTravel, 100 * overNearest);
  std::printf("  time %.3f s (processor %.3f s), stage peak memory %.1f MiB (%.0f bytes per point)\n", seconds, cpu,
              static_cast<double>(peak) / (1 << 20),
              static_cast<double>(peak) / static_cast<double>(paths.PointCount()));
  if (options.check) {
    const std::string broken = order_check::Violation(paths, order, result);
    std::printf("  invariants: %s\n", broken.empty() ? "hold" : broken.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--budget") == 0 && i + 1 < argc) {
      options.budget = std::stod(argv[++i]);
    } else if (std::strcmp(argv[i], "--no-check") == 0) {
      options.check = false;
    } else {
      std::fprintf(stderr, "usage: order_bench [--budget SECONDS] [--no-check]\n");
      return 2;
    }
  }
  std::printf("budget %.2f s\n", options.budget);
  Run("stickers", StickerGrid(100, 100, 1), options);
  Run("glyphs", GlyphRows(6000, 2), options);
  Run("short paths 25k", ShortPaths(25000, 3), options);
  Run("short paths 50k", ShortPaths(50000, 3), options);
  Run("short paths 100k", ShortPaths(100000, 3), options);
  return 0;
}
