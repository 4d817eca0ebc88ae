// A loaded job is read from its file again for every pass, a piece at a
// time, with the geometry applied as it goes. Every writer must give the
// same bytes as for the same job parsed into memory, and a file that changes
// or goes away under a loaded job must fail the pass, never give a shorter job.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "job/cut_writers.h"
#include "job/plt_file.h"
#include "job/writer_test_support.h"

namespace plotsend {
namespace {

using testing::ReadBack;
using testing::ScratchDir;

// Several MiB of closed and open paths, axis-parallel runs (dashes), a few
// sections: the streamed passes cross many piece boundaries mid-path.
std::string BigJob() {
  std::string text = "IN;PA;";
  for (int i = 0; text.size() < (3u << 20); ++i) {
    const int x = i % 4000 * 10, y = i / 4000 * 500;
    text += "U" + std::to_string(y) + "," + std::to_string(x) + ";";
    text += "D" + std::to_string(y) + "," + std::to_string(x + 400) + ";";
    text += "D" + std::to_string(y + 300) + "," + std::to_string(x + 400) + ";";
    text += "D" + std::to_string(y + 170) + "," + std::to_string(x + 33) + ";";
    if (i % 3 != 0) text += "D" + std::to_string(y) + "," + std::to_string(x) + ";";
    if (i % 25000 == 24999) text += "TM" + std::to_string(i / 25000 % 9 + 1) + ";";
  }
  return text;
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct Geometry {
  bool markCorrection = false;
  bool dashed = false;
  double offsetMm = 0.0;
};

// The dialog's order of steps on one job: bounds, origin, then marks.
CutParams Prepare(CPLTFile& job, const Geometry& g) {
  job.ComputeBounds();
  job.MoveToOrigin(job.GetBounds().minX, job.GetBounds().minY);
  CutParams params;
  params.mark.MarkSpanY = 20000;
  params.mark.SectionCount = 3;
  params.window = {2, 3};
  params.jobLength = job.JobLength();
  if (g.markCorrection) {
    const MarkCorrection marks{100, 200, 130, 40180, 20090, 40230, 20050, 190};
    job.ApplyMarkCorrection(MeasuredMarks{marks, 20000, 40000}, 140, 260, 400, 400);
  } else {
    job.ApplyOriginOffset(-40, 80);
  }
  params.SetDashedLine(g.dashed, 2.0, 1.5);
  if (g.offsetMm > 0.0) params.SetCompensation(g.offsetMm, 2.0);
  return params;
}

std::string Output(const CPLTFile& job, const CutParams& params, const Geometry& g, const std::string& path) {
  const bool ok = g.offsetMm > 0.0 ? WriteCompensatedCutFile(job, params, path) == 1 : WriteCutFile(job, params, path);
  EXPECT_TRUE(ok) << path;
  return ReadBack(path);
}

TEST(StreamedJob, EveryPassGivesTheBytesOfTheJobHeldInMemory) {
  ScratchDir dir;
  const std::string text = BigJob();
  const std::string source = dir.Path("job.plt");
  Write(source, text);
  const Geometry cases[] = {
      {false, false, 0.0}, {true, false, 0.0}, {false, true, 0.0}, {true, false, 0.5}, {false, false, 0.25}};
  for (const Geometry& g : cases) {
    SCOPED_TRACE(::testing::Message() << "marks " << g.markCorrection << " dashed " << g.dashed << " offset "
                                      << g.offsetMm);
    CPLTFile held;
    held.ParsePlt(text);
    CPLTFile streamed;
    ASSERT_EQ(streamed.LoadPlt(source), 1);
    EXPECT_EQ(streamed.HasCuttingMove(), held.HasCuttingMove());
    const CutParams heldParams = Prepare(held, g);
    const CutParams streamedParams = Prepare(streamed, g);
    EXPECT_EQ(streamed.JobLength(), held.JobLength());
    EXPECT_EQ(streamed.GetBounds().maxX, held.GetBounds().maxX);
    const std::string want = Output(held, heldParams, g, dir.Path("held.out"));
    EXPECT_GT(want.size(), text.size() / 4);
    EXPECT_EQ(Output(streamed, streamedParams, g, dir.Path("streamed.out")), want);
    ASSERT_EQ(streamed.SaveNormalizedPlt(dir.Path("streamed.kv2"), streamedParams.mark), 1);
    ASSERT_EQ(held.SaveNormalizedPlt(dir.Path("held.kv2"), heldParams.mark), 1);
    EXPECT_EQ(ReadBack(dir.Path("streamed.kv2")), ReadBack(dir.Path("held.kv2")));
  }
}

TEST(StreamedJob, LoadingAgainStartsFromTheNewFileWithoutTheOldSteps) {
  ScratchDir dir;
  Write(dir.Path("a.plt"), "U10,20;D30,40;");
  CPLTFile job;
  ASSERT_EQ(job.LoadPlt(dir.Path("a.plt")), 1);
  job.MoveToOrigin(5, 5);
  ASSERT_EQ(job.LoadPlt(dir.Path("a.plt")), 1);
  EXPECT_EQ(job.Points(), (std::vector<JobPoint>{{20, 10, kPenUp}, {40, 30, kCut}}));
  // A failed load keeps the job and its steps as they were.
  job.ApplyOriginOffset(1, 2);
  EXPECT_EQ(job.LoadPlt(dir.Path("missing.plt")), 0);
  EXPECT_EQ(job.Points(), (std::vector<JobPoint>{{21, 12, kPenUp}, {41, 32, kCut}}));
}

TEST(StreamedJob, AJobFileThatChangesOrGoesAwayFailsThePassAndKeepsTheOldOutput) {
  ScratchDir dir;
  const std::string source = dir.Path("job.plt");
  const std::string out = dir.Path("out.plt");
  Write(source, BigJob());
  Write(out, "previous output");
  for (int change = 0; change < 3; ++change) {
    SCOPED_TRACE(change);
    CPLTFile job;
    ASSERT_EQ(job.LoadPlt(source), 1);
    job.ComputeBounds();
    CutParams params;
    params.jobLength = job.JobLength();
    params.SetCompensation(0.5, 1.0);
    if (change == 0) Write(source, "U1,1;D2,2;");  // replaced by a shorter job
    if (change == 1) std::filesystem::remove(source);
    if (change == 2) std::ofstream(source, std::ios::binary | std::ios::app) << "D5,5;";  // grown
    EXPECT_FALSE(WriteCutFile(job, params, out));
    EXPECT_EQ(WriteCompensatedCutFile(job, params, out), 0);
    EXPECT_EQ(job.SaveNormalizedPlt(out, params.mark), 0);
    EXPECT_EQ(ReadBack(out), "previous output");
    Write(source, BigJob());
  }
}

}  // namespace
}  // namespace plotsend
