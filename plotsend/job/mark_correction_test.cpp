// ApplyMarkCorrection: the job mapped onto the measured marks.
#include <gtest/gtest.h>

#include "job/plt_file.h"

namespace plotsend {
namespace {

// P1 (100, 200), P2 (110, 2210), P3 (1120, 2190), P4 (1100, 205) for spans
// 1000 x 2000: V2 = (10, 2010), V3 = (1020, 1990), V4 = (1000, 5).
constexpr MarkCorrection kSkewed{100, 200, 110, 2210, 1120, 2190, 1100, 205};

JobPoint Corrected(const MarkCorrection& marks, int32_t spanX, int32_t spanY, const char* plt, int32_t x0, int32_t y0,
                   int32_t c) {
  CPLTFile job;
  job.ParsePlt(plt);
  EXPECT_TRUE(job.ApplyMarkCorrection(MeasuredMarks{marks, spanX, spanY}, x0, y0, c, c));
  EXPECT_EQ(job.Points().size(), 1u);
  return job.Points().empty() ? JobPoint{} : job.Points().front();
}

TEST(MarkCorrection, BilinearMapOntoTheMeasuredMarks) {
  // (400, 1000): e = 0.4, d = 0.5 -> dx = 0.5 (6 + 408) + 0.5 (400) = 407,
  // dy = 0.5 (1206 + 796) + 0.5 (2) = 1002 (each + 0.5, truncated).
  EXPECT_EQ(Corrected(kSkewed, 1000, 2000, "U1000,400;", 100, 200, 0), (JobPoint{507, 1202, kPenUp}));
  // Offsets by the margin: e = 0.45, d = 0.525 -> dx = 458.11, dy = 1052.09.
  EXPECT_EQ(Corrected(kSkewed, 1000, 2000, "D1000,400;", 100, 200, 50), (JobPoint{558, 1252, kCut}));
  // x = -100: dx = trunc(-100 + 0.5) = -99 (toward zero), dy = trunc(-0.5 + 0.5) = 0.
  EXPECT_EQ(Corrected(kSkewed, 1000, 2000, "U0,-100;", 0, 0, 0), (JobPoint{-99, 0, kPenUp}));
}

TEST(MarkCorrection, IdealMarksOnlyTranslate) {
  const MarkCorrection ideal{7, 9, 7, 2009, 1007, 2009, 1007, 9};
  CPLTFile job;
  job.ParsePlt("U0,0;D2000,1000;D1500,250;TM2;U123,456;");
  const auto before = job.Points();
  ASSERT_TRUE(job.ApplyMarkCorrection(MeasuredMarks{ideal, 1000, 2000}, 30, 40, 50, 50));
  ASSERT_EQ(job.Points().size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    // Markers are mapped like every other point.
    EXPECT_EQ(job.Points()[i], (JobPoint{before[i].x + 80, before[i].y + 90, before[i].kind})) << i;
  }
}

TEST(MarkCorrection, ZeroSpanLeavesItsFactorAtZero) {
  // SpanX 0: e = 0, so only V2 scaled by d = 0.5 remains.
  EXPECT_EQ(Corrected(kSkewed, 0, 2000, "U1000,400;", 100, 200, 0), (JobPoint{105, 1205, kPenUp}));
  // Both spans 0: every point lands on (x0, y0).
  EXPECT_EQ(Corrected(kSkewed, 0, 0, "U1000,400;", 100, 200, 0), (JobPoint{100, 200, kPenUp}));
}

TEST(MarkCorrection, ExtremeValuesSaturate) {
  const MarkCorrection wide{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MIN};
  const JobPoint far = Corrected(wide, 1, 1, "U2000000000,2000000000;", INT32_MAX, INT32_MAX, 0);
  EXPECT_EQ(far.x, INT32_MAX);
  EXPECT_EQ(far.y, INT32_MAX);
  const JobPoint low = Corrected(wide, 1, 1, "U2000000000,-2000000000;", INT32_MIN, INT32_MIN, 0);
  EXPECT_EQ(low.x, INT32_MIN);
}

}  // namespace
}  // namespace plotsend
