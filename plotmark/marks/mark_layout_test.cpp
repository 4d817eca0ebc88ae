#include "marks/mark_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "job/cut_job.h"
#include "job/cut_writers.h"
#include "job/job_files.h"
#include "job/multi_section.h"
#include "job/plt_file.h"

namespace plotmark {
namespace {

// Runs Plotsend's own job stage on kavren.plt and markref values as plotmark
// writes them, and returns the device file's header numbers ("TB26,a,b,c" or
// "TB27,a,b,c"), empty for none.
std::vector<int> PlotsendHeader(const CutJob& job, const MarkValues& v, std::string& command) {
  const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "plotmark_marks";
  std::filesystem::create_directories(dir);
  std::ofstream((dir / "kavren.plt").string()) << KavrenPltText(job);
  plotsend::CPltMultiSection sections;
  sections.SetSourcePath((dir / "kavren.plt").string());
  sections.SetSectionCount(v.sections);
  sections.ProcessSections((dir / "kavren_m.plt").string());
  plotsend::CPLTFile plt;
  plt.LoadPlt((dir / "kavren_m.plt").string());
  plt.ComputeBounds();
  plt.MoveToOrigin(plt.GetBounds().minX, plt.GetBounds().minY);
  plotsend::CutParams params;
  params.mark = {v.spanX, v.spanY, v.margin, v.type, v.sections};
  params.window = {1, v.sections};
  params.jobLength = plt.JobLength();
  plotsend::WriteCutFile(plt, params, (dir / "kavren.kv3").string());
  std::stringstream text;
  text << std::ifstream((dir / "kavren.kv3").string()).rdbuf();
  std::smatch m;
  const std::string s = text.str();
  if (!std::regex_search(s, m, std::regex("(TB2[67]),(-?\\d+),(-?\\d+),(-?\\d+);"))) return {};
  command = m[1];
  return {std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
}

// For every mark type: the distances between the printed marks are the ones
// the header Plotsend writes for that type announces to the cutter (type 1:
// the spans of the alignment, mark 1 at the origin corner).
TEST(MarkLayout, PrintedDistancesMatchPlotsendsHeader) {
  // A 100 x 60 mm rectangle cut, 10 mm margin.
  Polylines cut;
  const std::vector<Point> rect = {{0, 0}, {100, 0}, {100, 60}, {0, 60}, {0, 0}};
  cut.Add(rect.data(), rect.data() + rect.size(), true);
  const CutJob job = MakeCutJob(cut, *BoundsOf(cut.points));
  ASSERT_EQ(job.spanX, 4000);
  ASSERT_EQ(job.spanY, 2400);
  for (int type = 0; type <= 9; ++type) {
    for (const uint8_t sections : {uint8_t{1}, uint8_t{3}}) {
      const MarkValues v{job.spanX, job.spanY, 400, static_cast<uint8_t>(type), sections};
      const std::vector<Mark> marks = LayoutMarks(v, MarkSizes{});
      std::string command;
      const std::vector<int> header = PlotsendHeader(job, v, command);
      SCOPED_TRACE("type " + std::to_string(type) + ", " + std::to_string(sections) + " sections");
      if (type == 0) {
        EXPECT_TRUE(marks.empty());
        continue;
      }
      ASSERT_FALSE(marks.empty());
      // The labelled corner marks 1 to 4, and every mark's span.
      double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
      for (const Mark& m : marks) {
        if (m.shape == MarkShape::Dot && m.label < 0 && m.x == -v.margin && m.y == OrientationOffset(MarkSizes{}))
          continue;  // the orientation circle
        minX = std::min(minX, m.x), maxX = std::max(maxX, m.x);
        minY = std::min(minY, m.y), maxY = std::max(maxY, m.y);
      }
      if (type == 1) {
        if (sections == 1) {
          EXPECT_TRUE(header.empty());  // later sections announce themselves with TB27
        }
        // Mark 1 at (-M, -M), 2 at (-M, SpanY - M), 3 at (SpanX - M, SpanY - M), 4 at (SpanX - M, -M).
        const double M = v.margin, sx = v.spanX + 2 * M, sy = v.spanY + 2 * M;
        const double expected[4][2] = {{-M, -M}, {-M, sy - M}, {sx - M, sy - M}, {sx - M, -M}};
        ASSERT_EQ(marks.size(), 4u);
        for (int i = 0; i < 4; ++i) {
          EXPECT_EQ(marks[i].label, i + 1);
          EXPECT_EQ(marks[i].x, expected[i][0]);
          EXPECT_EQ(marks[i].y, expected[i][1]);
        }
        continue;
      }
      ASSERT_EQ(header.size(), 3u);
      EXPECT_EQ(header[0], v.margin);
      EXPECT_EQ(header[2], maxX - minX) << "across the feed";
      if (type >= 2 && type <= 7) {
        EXPECT_EQ(command, "TB26");
        EXPECT_EQ(header[1], maxY - minY) << "along the feed";
      } else {
        EXPECT_EQ(command, "TB27");
        EXPECT_EQ(header[1], SectionWidth(v));
        // Section marks every section width, from the origin on.
        std::vector<double> ys;
        for (const Mark& m : marks)
          if (m.x == -v.margin && m.label >= 0) ys.push_back(m.y);
        ASSERT_EQ(ys.size(), sections + 1u);
        for (size_t k = 0; k < ys.size(); ++k) EXPECT_EQ(ys[k], double(header[1]) * k);
      }
    }
  }
}

}  // namespace
}  // namespace plotmark
