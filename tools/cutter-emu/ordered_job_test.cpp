// Jobs through the cut-order stage, the real writers and back through the
// decoder: what the cutter is told to cut is what it was told without the
// stage, contours inside others come first, the header and the section
// frame are the same, and the head travels no further.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "cutter-emu/job_record.h"
#include "cutter-emu/writer_streams.h"
#include "job/job_order.h"

namespace cutter_emu {
namespace {

using plotsend::CPLTFile;
using plotsend::JobPoint;
using plotsend::MarkRef;
using testing::ReadFile;
using testing::ScratchPath;

struct Pt {
  int32_t x, y;
  auto operator<=>(const Pt&) const = default;
};
using Path = std::vector<Pt>;

Path Square(int32_t x, int32_t y, int32_t side) {
  return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}, {x, y}};
}

// Commands as the section stage writes them: "U<y>,<x>;" then "D..." points.
std::string Plt(const std::vector<Path>& paths) {
  std::string text;
  for (const Path& path : paths) {
    for (size_t i = 0; i < path.size(); ++i) {
      text += (i == 0 ? "U" : "D") + std::to_string(path[i].y) + "," + std::to_string(path[i].x) + ";";
    }
  }
  return text;
}

// Stickers drawn far from each other's neighbours, a letter drawn outline
// first with its two counters after it, and open strokes, starting at `y`.
std::vector<Path> Artwork(int32_t y) {
  std::vector<Path> paths;
  for (const int k : {7, 2, 9, 4, 0, 5, 8, 3, 6, 1})
    paths.push_back(Square(3000 + (k % 5) * 700, y + (k / 5) * 700, 500));
  paths.push_back(Square(0, y + 100, 1200));
  paths.push_back(Square(200, y + 300, 300));
  paths.push_back(Square(700, y + 300, 300));
  paths.push_back({{6800, y + 50}, {7800, y + 60}, {7900, y + 900}});
  paths.push_back({{1500, y + 1500}, {1510, y + 400}});
  return paths;
}

// The letters' outlines, each followed by its two counters.
std::vector<std::array<Path, 3>> Letters(const std::vector<Path>& paths) {
  std::vector<std::array<Path, 3>> out;
  for (size_t i = 0; i + 2 < paths.size(); ++i) {
    if (paths[i].size() == 5 && paths[i][1].x - paths[i][0].x == 1200)
      out.push_back({paths[i], paths[i + 1], paths[i + 2]});
  }
  return out;
}

struct Decoded {
  std::multiset<std::tuple<int, Pt, Pt>> cuts;  // section, undirected segment
  std::vector<std::string> frame;               // every event but the moves inside sections
  std::vector<Pt> downs;                        // each cut's end, in order
  double travel = 0;
  size_t unknown = 0;
};

Decoded Decode(const std::string& bytes) {
  Decoded d;
  JobRecorder recorder;
  int section = 0;
  for (StreamEvent e : testing::DecodeEvents(bytes)) {
    recorder.OnEvent(e);
    if (e.kind == EventKind::Section) ++section;
    if (e.kind != EventKind::PenUp && e.kind != EventKind::Cut) {
      d.frame.push_back(std::to_string(static_cast<int>(e.kind)) + " " + std::to_string(e.args[0]) + "," +
                        std::to_string(e.args[1]) + "," + std::to_string(e.args[2]));
      d.unknown += e.kind == EventKind::Unknown ? 1 : 0;
    }
  }
  section = 0;
  size_t events = 0;
  const auto segments = recorder.Record().segments;
  for (const StreamEvent& e : testing::DecodeEvents(bytes)) {
    if (e.kind == EventKind::Section) ++section;
    if (e.kind != EventKind::PenUp && e.kind != EventKind::Cut) continue;
    const Segment& s = segments[events++];
    Pt a{s.x0, s.y0}, b{s.x1, s.y1};
    if (s.kind == SegmentKind::Travel) {
      d.travel += std::hypot(double(b.x) - a.x, double(b.y) - a.y);
      continue;
    }
    d.downs.push_back(b);
    if (b < a) std::swap(a, b);
    d.cuts.insert({section, a, b});
  }
  return d;
}

struct OrderSetup {
  std::string plt;          // the job, its corner at (0, 0)
  std::vector<Path> paths;  // its paths
  MarkRef mark;
  bool dashed = false;
  bool compensated = false;
};

// The device file for the setup, as Plotsend writes it, with or without
// the cut-order stage between preparation and writing.
std::string Output(const OrderSetup& s, bool ordered, plotsend::JobOrderStats* stats = nullptr) {
  const std::string source = ScratchPath("job.plt"), kv1 = ScratchPath("job.kv1"), kv2 = ScratchPath("job.kv2"),
                    kv3 = ScratchPath("job.kv3");
  { std::ofstream(source, std::ios::binary) << s.plt; }
  const bool sectioned = s.mark.IsSectioned();
  auto prepared = std::make_unique<CPLTFile>();
  EXPECT_EQ(prepared->LoadPlt(source), 1);
  prepared->ComputeBounds();
  prepared->MoveToOrigin(prepared->GetBounds().minX, prepared->GetBounds().minY);
  if (ordered) {
    plotsend::JobOrderOptions options;
    options.origin = {sectioned ? -s.mark.MarkMargin : 0, 0};
    options.mark = s.mark;
    options.budgetSeconds = 0.2;
    options.turnPaths = !s.dashed;
    plotsend::JobOrderStats ignored;
    EXPECT_TRUE(plotsend::OrderJob(*prepared, kv1, options, stats != nullptr ? *stats : ignored));
    const int32_t length = prepared->JobLength();
    prepared = std::make_unique<CPLTFile>();
    EXPECT_EQ(prepared->LoadPlt(kv1), 1);
    prepared->SetJobLength(length);
  }
  EXPECT_EQ(prepared->SaveNormalizedPlt(kv2, s.mark), 1);
  CPLTFile written;
  CPLTFile& job = s.compensated ? written : *prepared;
  plotsend::CutParams params;
  params.mark = s.mark;
  params.jobLength = prepared->JobLength();
  if (s.compensated) {
    EXPECT_EQ(written.LoadPlt(kv2), 1);
    params.SetCompensation(0.35, 0.35);
  }
  params.SetDashedLine(s.dashed, 1.0, 0.5);
  job.ApplyOriginOffset(sectioned ? s.mark.MarkMargin : 0, 0);
  EXPECT_TRUE(s.compensated ? plotsend::WriteCompensatedCutFile(job, params, kv3) == 1
                            : plotsend::WriteCutFile(job, params, kv3));
  std::string bytes = ReadFile(kv3);
  for (const auto& f : {source, kv1, kv2, kv3}) std::filesystem::remove(f);
  return bytes;
}

// Where in the cut order the last and the first cut to a vertex of `path` come.
std::pair<size_t, size_t> Span(const Decoded& d, const Path& path, int32_t dx) {
  std::set<Pt> vertices;
  for (const Pt& p : path) vertices.insert({p.x + dx, p.y});
  size_t first = SIZE_MAX, last = 0;
  for (size_t i = 0; i < d.downs.size(); ++i) {
    if (vertices.count(d.downs[i]) == 0) continue;
    first = std::min(first, i);
    last = std::max(last, i);
  }
  return {first, last};
}

TEST(OrderedJobTest, CutsTheSameSegmentsInsideFirstWithinTheFrameAndTravelsLess) {
  const std::vector<Path> art = Artwork(0);
  std::vector<Path> all = art;
  for (const int32_t y : {3000, 6200}) {
    for (const Path& p : Artwork(y)) all.push_back(p);
  }
  // The third section goes on cutting from the marker before its first pen-up.
  const std::string sections = Plt(art) + "TM2;" + Plt(Artwork(3000)) + "TM3;D6300,5100;" + Plt(Artwork(6200));
  const MarkRef three{8000, 9000, 400, 0, 3}, type8{8000, 9000, 400, 8, 3};
  const struct {
    const char* name;
    OrderSetup setup;
  } cases[] = {
      {"plain", {Plt(art), art, {}}},
      {"compensated", {Plt(art), art, {}, false, true}},
      {"dashed", {Plt(art), art, {}, true, false}},
      {"three sections", {sections, all, three}},
      {"type 8 in three sections", {sections, all, type8}},
      {"type 8 compensated", {sections, all, type8, false, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const OrderSetup& s = c.setup;
    plotsend::JobOrderStats stats;
    const Decoded before = Decode(Output(s, false));
    const Decoded after = Decode(Output(s, true, &stats));
    const int32_t dx = s.mark.IsSectioned() ? s.mark.MarkMargin : 0;
    EXPECT_EQ(after.unknown, 0u);
    EXPECT_EQ(after.frame, before.frame);
    if (s.compensated) {
      // Compensation shapes each corner by the way it is cut and moves the
      // start of a closed path by the blade offset (14 units): every corner
      // is still cut.
      for (const Path& p : s.paths) EXPECT_NE(Span(after, p, dx).first, SIZE_MAX);
    } else {
      EXPECT_EQ(after.cuts, before.cuts);
    }
    // With compensation each path begins a blade offset from where it was
    // ordered to begin and ends after an overcut of 1 mm (40 units).
    const double slack = s.compensated ? 2 * (14.0 + 40.0) * static_cast<double>(s.paths.size()) : 1e-6;
    EXPECT_LE(after.travel, before.travel + slack);
    EXPECT_LT(after.travel, 0.8 * before.travel);
    // The stage's figures leave out the gaps between dashes, the same in both.
    EXPECT_NEAR(stats.travelBefore - stats.travelAfter, before.travel - after.travel, 2 * slack);
    for (const auto& [outline, counter1, counter2] : Letters(s.paths)) {
      const size_t outlineFirst = Span(after, outline, dx).first;
      EXPECT_LT(Span(after, counter1, dx).second, outlineFirst);
      EXPECT_LT(Span(after, counter2, dx).second, outlineFirst);
    }
  }
}

}  // namespace
}  // namespace cutter_emu
