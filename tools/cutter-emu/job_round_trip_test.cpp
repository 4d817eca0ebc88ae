// A job through the real writer and back through the decoder and the
// recorder: the moves that come out are the job's moves, the section shift
// added back, between the writer's opening and closing moves.
#include <gtest/gtest.h>

#include <algorithm>

#include "cutter-emu/job_record.h"
#include "cutter-emu/writer_streams.h"

namespace cutter_emu {
namespace {

using plotsend::JobPoint;
using testing::JobSetup;
using testing::WriterStream;

struct Decoded {
  std::vector<JobPoint> moves;  // pen-up (1) and cut (2) moves, absolute
  JobRecord record;
};

Decoded Record(std::string_view stream) {
  Decoded out;
  JobRecorder recorder;
  StreamDecoder decoder([&](const StreamEvent& event) {
    StreamEvent e = event;
    recorder.OnEvent(e);
    if (e.kind == EventKind::PenUp || e.kind == EventKind::Cut) {
      out.moves.push_back({e.x, e.y, static_cast<uint8_t>(e.kind == EventKind::Cut ? 2 : 1)});
    }
  });
  decoder.Feed(stream);
  decoder.Finish();
  out.record = recorder.Take();
  return out;
}

JobPoint Up(int32_t x, int32_t y) { return {x, y, plotsend::kPenUp}; }

// Digits 3, 4, 6 and 7 leading the y numbers, negative values after the offset.
constexpr const char* kJob = "IN;PA;U3000,3000;D4000,3100;D6000,-700;D7000,7000;U3999,4;D34,43;D-300,0;U0,0;D699,7;";

TEST(JobRoundTripTest, PlainJobComesBackMoveForMove) {
  JobSetup setup(kJob);
  setup.dx = -500;
  setup.dy = 330;
  std::vector<JobPoint> points;
  const Decoded d = Record(WriterStream(setup, &points));
  std::vector<JobPoint> expected{Up(0, 0)};
  expected.insert(expected.end(), points.begin(), points.end());
  expected.push_back(Up(0, 7000 - -300));  // the job length, maxY - minY before the offset
  EXPECT_EQ(d.moves, expected);
  EXPECT_EQ(d.record.status, JobStatus::Complete);
  EXPECT_EQ(d.record.summary.unknown, 0u);
  EXPECT_EQ(d.record.summary.cuts, 6u);
}

constexpr const char* kSectioned = "U0,0;D30,700;D900,710;TM1;U1100,20;D1700,3000;TM2;U2100,0;D2900,4000;D2050,3333;";

TEST(JobRoundTripTest, SectionsAreCutWhereTheJobHasThem) {
  const JobSetup setup(kSectioned, {4000, 3000, 40, 8, 3});
  std::vector<JobPoint> points;
  const Decoded d = Record(WriterStream(setup, &points));
  const int32_t w = 1000;
  std::vector<JobPoint> expected{Up(0, 0)};
  int32_t closed = 0;
  for (const JobPoint& p : points) {
    if (p.kind >= plotsend::kFirstMarker) {
      expected.push_back(Up(0, ++closed * w));  // the section's closing move
    } else {
      expected.push_back(p);
    }
  }
  expected.push_back(Up(0, (closed + 1) * w));
  EXPECT_EQ(d.moves, expected);
  EXPECT_EQ(d.record.summary.sections, 3u);
  EXPECT_EQ(d.record.summary.unknown, 0u);
}

TEST(JobRoundTripTest, SectionWindowStartsAtTheCuttersOrigin) {
  JobSetup setup(kSectioned, {4000, 3000, 40, 8, 3});
  setup.from = 2;
  const Decoded d = Record(WriterStream(setup));
  // Section 2 and 3 moves, cut one section width earlier than in the job.
  const std::vector<JobPoint> expected{Up(0, 0),    Up(20, 100),     {3000, 700, 2},  Up(0, 1000),
                                       Up(0, 1100), {4000, 1900, 2}, {3333, 1050, 2}, Up(0, 2000)};
  EXPECT_EQ(d.moves, expected);
  EXPECT_EQ(d.record.summary.sections, 2u);
}

TEST(JobRoundTripTest, DashedLinesCutOnlyTheDashes) {
  // A 2000-unit line along x and one of 1500 along y, dashes of 80 with gaps of 40.
  JobSetup setup("U0,0;D0,10;D0,2010;D1500,2010;");
  setup.dashed = true;
  setup.lineMm = 2;
  setup.gapMm = 1;
  const Decoded d = Record(WriterStream(setup));
  const double firstCut = 10;                         // from the pen-up point: never dashed
  const double alongX = 16 * 80 + (2000 - 16 * 120);  // 16 dashes, the rest solid
  const double alongY = 12 * 80 + (1500 - 12 * 120);
  EXPECT_DOUBLE_EQ(d.record.summary.cutLength, firstCut + alongX + alongY);
  EXPECT_EQ(d.moves[d.moves.size() - 2], (JobPoint{2010, 1500, 2}));
}

TEST(JobRoundTripTest, CompensatedSquareVisitsEveryCornerAndOvercuts) {
  JobSetup setup("U0,0;D0,400;D400,400;D400,0;D0,0;");
  setup.offsetMm = 0.35;
  setup.closureMm = 1;
  const Decoded d = Record(WriterStream(setup));
  for (const JobPoint corner : {JobPoint{400, 0, 2}, {400, 400, 2}, {0, 400, 2}}) {
    EXPECT_NE(std::find(d.moves.begin(), d.moves.end(), corner), d.moves.end()) << corner.x << "," << corner.y;
  }
  // The blade travels past each corner and back, and re-cuts 40 units at the close.
  EXPECT_GT(d.record.summary.cutLength, 1600 + 40);
  EXPECT_EQ(d.record.status, JobStatus::Complete);
  EXPECT_EQ(d.record.summary.unknown, 0u);
}

TEST(JobRoundTripTest, AlignmentJogsThenOriginThenTheJob) {
  const std::string stream = "TKN;U0,0;>U400,400;U420,400;U4400,400;<" + WriterStream(JobSetup("U0,0;D10,10;"));
  const Decoded d = Record(stream);
  EXPECT_TRUE(d.record.summary.origin);
  EXPECT_EQ(d.record.summary.jogs, 3u);
  ASSERT_GE(d.record.segments.size(), 4u);
  EXPECT_EQ(d.record.segments[3].kind, SegmentKind::Jog);
  EXPECT_EQ(d.record.segments[3].y1, 3400);
  EXPECT_EQ(d.moves.back(), Up(0, 10));
}

}  // namespace
}  // namespace cutter_emu
