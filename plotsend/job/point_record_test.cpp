// The stages of a run hand the job's points on as a record instead of
// reading back the work file written before. What the record gives must be
// what reading that file gives, point for point and in the bytes of every
// output, whether the record stays in memory or goes on in a scratch file.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "job/cut_writers.h"
#include "job/job_order.h"
#include "job/multi_section.h"
#include "job/plt_file.h"
#include "job/point_record.h"
#include "job/writer_test_support.h"

namespace plotsend {
namespace {

using testing::ReadBack;
using testing::ScratchDir;

// Closed outlines of short segments, long open lines across every band
// border, pen selections, negative and repeated coordinates; some line
// breaks, and more than a few of the pieces the source is read in.
std::string Drawing() {
  std::string text = "IN;SP1;";
  for (int i = 0; i < 3000; ++i) {
    const int x = i % 60 * 700 - 900, y = i / 60 * 600 - 300;
    text += "PU" + std::to_string(x) + "," + std::to_string(y) + (i % 7 == 0 ? ";\r\nP\nD" : ";PD");
    for (int k = 1; k <= 60; ++k) text += std::to_string(x + k * 37 % 400) + "," + std::to_string(y + k * k) + ",";
    text += std::to_string(x) + "," + std::to_string(y) + ";";
    if (i % 50 == 0)
      text +=
          "SP" + std::to_string(i % 8 + 1) + ";PU" + std::to_string(x) + ",0;PD" + std::to_string(x + 300) + ",30000;";
  }
  return text + "PU0,0;@";
}

std::vector<JobPoint> PointsOf(const PointSource& source) {
  std::vector<JobPoint> all;
  EXPECT_TRUE(source.ForEachBatch([&](std::span<const JobPoint> b) { all.insert(all.end(), b.begin(), b.end()); }));
  return all;
}

std::vector<JobPoint> FilePoints(const std::string& path) {
  CPLTFile job;
  EXPECT_EQ(job.LoadPlt(path), 1) << path;
  return job.Points();
}

std::string Compensated(CPLTFile& job, const MarkRef& mark, int32_t jobLength, const std::string& path) {
  job.ApplyOriginOffset(-40, 80);
  CutParams params;
  params.mark = mark;
  params.window = {1, mark.SectionCount};
  params.jobLength = jobLength;
  params.SetCompensation(0.35, 0.5);
  EXPECT_EQ(WriteCompensatedCutFile(job, params, path), 1);
  return ReadBack(path);
}

TEST(PointHandOver, GivesWhatReadingTheWorkFilesBackGives) {
  struct Case {
    int sections;
    bool spilled;  // the record goes on in a scratch file almost at once
    bool ordered;
  };
  for (const Case c : {Case{1, false, false}, Case{4, true, false}, Case{4, false, true}, Case{1, true, true}}) {
    SCOPED_TRACE(::testing::Message() << c.sections << " sections, spilled " << c.spilled << ", ordered " << c.ordered);
    ScratchDir dir;
    ASSERT_GT(Drawing().size(), size_t{2} << 20);
    std::ofstream(dir.Path("kavren.plt"), std::ios::binary) << Drawing();
    PointRecord::Options options;
    options.scratchDir = dir.Path("");
    options.blockSize = 4096;  // many blocks, and windows that start inside a page
    options.memoryLimit = c.spilled ? 0 : size_t{1} << 30;
    MarkRef mark{40000, 30000, 400, c.sections > 1 ? uint8_t{8} : uint8_t{3}, static_cast<uint8_t>(c.sections)};

    CPltMultiSection stage;
    stage.SetSourcePath(dir.Path("kavren.plt"));
    stage.SetSectionCount(c.sections);
    auto sectioned = std::make_shared<PointRecord>(options);
    ASSERT_EQ(stage.ProcessSections(dir.Path("kavren_m.plt"), sectioned.get()), 1);
    EXPECT_EQ(sectioned->Spilled(), c.spilled);
    std::string whole;
    ASSERT_TRUE(stage.Transform(Drawing(), whole));  // the source parsed in memory
    EXPECT_EQ(ReadBack(dir.Path("kavren_m.plt")), whole);
    const std::vector<JobPoint> read = FilePoints(dir.Path("kavren_m.plt"));
    ASSERT_GT(read.size(), 40000u);
    EXPECT_EQ(sectioned->Count(), read.size());
    EXPECT_EQ(PointsOf(*sectioned), read);

    CPLTFile loaded;
    ASSERT_EQ(loaded.LoadPlt(dir.Path("kavren_m.plt")), 1);
    loaded.ComputeBounds();
    CPLTFile job;
    job.SetRecord(sectioned);
    job.ComputeBounds();
    EXPECT_EQ(job.GetBounds(), loaded.GetBounds());
    EXPECT_EQ(job.HasCuttingMove(), loaded.HasCuttingMove());
    job.MoveToOrigin(job.GetBounds().minX, job.GetBounds().minY);
    if (c.ordered) {
      JobOrderOptions order;
      order.mark = mark;
      order.budgetSeconds = 0.05;
      JobOrderStats stats;
      auto ordered = std::make_shared<PointRecord>(options);
      ASSERT_TRUE(OrderJob(job, dir.Path("kavren.kv1"), order, stats, ordered.get()));
      EXPECT_EQ(PointsOf(*ordered), FilePoints(dir.Path("kavren.kv1")));
      EXPECT_EQ(ordered->Spilled(), c.spilled);
      job.SetRecord(std::move(ordered));
    }

    ASSERT_EQ(job.SaveNormalizedPlt(dir.Path("kavren.kv2"), mark), 1);
    CPLTFile fromRecord;
    fromRecord.SetPoints(job.SavedPoints(mark));
    EXPECT_EQ(fromRecord.Points(), FilePoints(dir.Path("kavren.kv2")));
    CPLTFile fromFile;
    ASSERT_EQ(fromFile.LoadPlt(dir.Path("kavren.kv2")), 1);
    const std::string want = Compensated(fromFile, mark, job.JobLength(), dir.Path("file.kv3"));
    EXPECT_GT(want.size(), 500000u);
    EXPECT_EQ(Compensated(fromRecord, mark, job.JobLength(), dir.Path("record.kv3")), want);
  }
}

}  // namespace
}  // namespace plotsend
