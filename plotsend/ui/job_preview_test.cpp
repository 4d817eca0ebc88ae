#include "ui/job_preview.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/code_bar.h"
#include "ui/preview_marks.h"
#include "ui/recording_canvas.h"

namespace plotsend {
namespace {

using K = CanvasOp::Kind;

std::vector<PixelRect> Rects(const std::vector<CanvasOp>& ops) {
  std::vector<PixelRect> out;
  for (const CanvasOp& op : ops) out.push_back(op.rect);
  return out;
}

bool Contains(const std::vector<PixelRect>& rects, const PixelRect& r) {
  return std::find(rects.begin(), rects.end(), r) != rects.end();
}

// A job from text ("U y,x;" moves, "D y,x;" cuts) with its bounds computed.
struct Job {
  explicit Job(std::string_view text) {
    job.ParsePlt(text);
    job.ComputeBounds();
  }
  CPLTFile job;
};

// ---- Scale and origin ----

TEST(PreviewGeometry, WideJobInSquareFrameIsScaledByItsWidthLessTenPercent) {
  // Frame 280 x 280: W = H = 200. Width 2000, height 1000: 200 / 2000 wins.
  const PreviewGeometry g = ComputePreviewGeometry({280, 280}, Bounds{0, 0, 2000, 1000});
  EXPECT_EQ(g.W, 200);
  EXPECT_EQ(g.H, 200);
  EXPECT_DOUBLE_EQ(g.scale, 0.1 - 0.1 * 0.1);
  // The mark box: 40 pixels round the job, to the frame's right and bottom.
  EXPECT_EQ(g.markBox, (PixelRect{200 - 180, 200 - 90, 280, 280}));
}

TEST(PreviewGeometry, TallJobIsScaledByItsHeightAndBoundsNeedNotStartAtZero) {
  const PreviewGeometry g = ComputePreviewGeometry({480, 280}, Bounds{-500, 100, 500, 4100});
  EXPECT_DOUBLE_EQ(g.scale, 200.0 / 4000 * 0.9);
}

TEST(PreviewGeometry, MarginIsTakenAsDistanceEvenInATinyFrame) {
  const PreviewGeometry g = ComputePreviewGeometry({50, 100}, Bounds{0, 0, 100, 100});
  EXPECT_EQ(g.W, 30);
  EXPECT_EQ(g.H, 20);
}

TEST(PreviewGeometry, ZeroSpanDoesNotLimitTheScale) {
  const PreviewGeometry line = ComputePreviewGeometry({280, 280}, Bounds{0, 0, 1000, 0});
  EXPECT_TRUE(line.scaled);
  EXPECT_DOUBLE_EQ(line.scale, 0.2 * 0.9);
  const PreviewGeometry point = ComputePreviewGeometry({280, 280}, Bounds{5, 5, 5, 5});
  EXPECT_FALSE(point.scaled);
}

TEST(PreviewGeometry, OriginIsFortyPixelsFromRightAndBottomAndXGrowsLeftYUp) {
  const PreviewGeometry g = ComputePreviewGeometry({300, 260}, Bounds{0, 0, 2000, 1000});
  EXPECT_EQ(JobToScreen(g, 0, 0), (PixelPoint{300 - 40, 260 - 40}));
  // scale = min(220/2000, 180/1000) * 0.9 = 0.099
  EXPECT_EQ(JobToScreen(g, 2000, 1000),
            (PixelPoint{220 - static_cast<int>(2000 * 0.099 - 40), 180 - static_cast<int>(1000 * 0.099) + 40}));
  // Truncation toward zero of x * s - 40: 10 * 0.099 - 40 = -39.01 -> -39.
  EXPECT_EQ(JobToScreen(g, 10, 0).x, 220 + 39);
}

// ---- Code bar ----

// The bars of one digit drawn at digit anchor d, top y.
void AddDigit(std::vector<PixelRect>& out, int d, int y, int first, int firstUnits, int second, int secondUnits) {
  out.push_back({d - first - 3 * firstUnits, y, d - first, y + 12});
  out.push_back({d - second - 3 * secondUnits, y, d - second, y + 12});
}

void AddGuard(std::vector<PixelRect>& out, int x, int y) {
  out.push_back({x - 3, y, x, y + 12});
  out.push_back({x - 9, y, x - 6, y + 12});
}

TEST(CodeBar, SevenIsWrittenZeroPaddedAndDrawnAsFourZerosAndASevenBetweenGuards) {
  RecordingCanvas c;
  DrawCodeBar(c, 500, 300, 7);
  std::vector<PixelRect> want;
  AddGuard(want, 500, 300);
  for (int k = 0; k < 4; ++k) AddDigit(want, 500 - 9 - 21 * k, 300, 9, 2, 18, 1);
  AddDigit(want, 500 - 9 - 84, 300, 3, 3, 15, 2);
  AddGuard(want, 500 - 114, 300);
  EXPECT_EQ(Rects(c.OfKind(K::FillRect)), want);
  for (const CanvasOp& op : c.OfKind(K::FillRect)) EXPECT_EQ(op.colour, kBlack);
  const auto texts = c.OfKind(K::TextAt);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "00007");
  EXPECT_EQ(texts[0].at, (PixelPoint{500 - 173, 297}));
}

TEST(CodeBar, EveryDigitHasItsPattern) {
  const int table[10][4] = {{9, 2, 18, 1}, {6, 2, 18, 1}, {6, 1, 18, 1}, {3, 4, 18, 1}, {3, 1, 15, 2},
                            {3, 2, 18, 1}, {3, 1, 9, 4},  {3, 3, 15, 2}, {3, 2, 12, 3}, {9, 1, 15, 2}};
  for (int32_t number : {1234, 56789}) {
    RecordingCanvas c;
    DrawCodeBar(c, 400, 100, number);
    const int digits[5] = {number / 10000, number / 1000 % 10, number / 100 % 10, number / 10 % 10, number % 10};
    std::vector<PixelRect> want;
    AddGuard(want, 400, 100);
    for (int k = 0; k < 5; ++k) {
      const int* p = table[digits[k]];
      AddDigit(want, 400 - 9 - 21 * k, 100, p[0], p[1], p[2], p[3]);
    }
    AddGuard(want, 400 - 114, 100);
    EXPECT_EQ(Rects(c.OfKind(K::FillRect)), want) << number;
  }
}

TEST(CodeBar, NumbersOfSixDigitsDrawNoFirstGroupAndNoText) {
  RecordingCanvas c;
  DrawCodeBar(c, 400, 100, 123456);  // first group 12, then 3 4 5 6
  std::vector<PixelRect> want;
  AddGuard(want, 400, 100);
  AddDigit(want, 400 - 30, 100, 3, 4, 18, 1);
  AddDigit(want, 400 - 51, 100, 3, 1, 15, 2);
  AddDigit(want, 400 - 72, 100, 3, 2, 18, 1);
  AddDigit(want, 400 - 93, 100, 3, 1, 9, 4);
  AddGuard(want, 400 - 114, 100);
  EXPECT_EQ(Rects(c.OfKind(K::FillRect)), want);
  EXPECT_TRUE(c.OfKind(K::TextAt).empty());
}

TEST(CodeBar, NegativeNumbersDrawOnlyTheGuards) {
  RecordingCanvas c;
  DrawCodeBar(c, 400, 100, -7);
  EXPECT_EQ(c.OfKind(K::FillRect).size(), 4u);
  EXPECT_TRUE(c.OfKind(K::TextAt).empty());
}

TEST(CodeBar, TextIsPaddedToFiveDigits) {
  EXPECT_EQ(CodeNumberText(0), "00000");
  EXPECT_EQ(CodeNumberText(42), "00042");
  EXPECT_EQ(CodeNumberText(999), "00999");
  EXPECT_EQ(CodeNumberText(1000), "01000");
  EXPECT_EQ(CodeNumberText(99999), "99999");
  EXPECT_EQ(CodeNumberText(100000), "");
}

// ---- Mark schematics ----

constexpr PixelRect kBox{100, 50, 600, 450};  // L, T, R, B
constexpr int L = kBox.left, T = kBox.top, R = kBox.right, B = kBox.bottom;

RecordingCanvas Marks(uint8_t type, uint8_t sections = 1) {
  RecordingCanvas c;
  DrawMarkSchematic(c, kBox, MarkRef{0, 0, 0, type, sections});
  return c;
}

PixelRect Circle(int x, int y) { return {x, y, x + 10, y + 10}; }

void ExpectFilledCircles(const RecordingCanvas& c, const std::vector<PixelRect>& want) {
  const auto ellipses = c.OfKind(K::Ellipse);
  EXPECT_EQ(Rects(ellipses), want);
  for (const CanvasOp& op : ellipses) EXPECT_EQ(op.brush, SolidBrush(kBlack));
}

void ExpectRedFrame(const RecordingCanvas& c) {
  const auto frames = c.OfKind(K::Rectangle);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].rect, (PixelRect{L + 38, T + 38, R - 38, B - 38}));
  EXPECT_EQ(frames[0].pen, (Pen{{255, 0, 0}, 1}));
  EXPECT_TRUE(frames[0].brush.hollow);
}

TEST(MarkSchematic, Type1HasFourCrossedCirclesNumberedFromTheBottomRight) {
  const RecordingCanvas c = Marks(1);
  EXPECT_EQ(Rects(c.OfKind(K::Ellipse)), (std::vector<PixelRect>{Circle(L + 10, T + 10), Circle(R - 20, T + 10),
                                                                 Circle(L + 10, B - 20), Circle(R - 20, B - 20)}));
  EXPECT_EQ(c.OfKind(K::Polyline).size(), 8u);  // a cross through each
  const auto labels = c.OfKind(K::TextAt);
  ASSERT_EQ(labels.size(), 4u);
  EXPECT_EQ(labels[0].text, "3");
  EXPECT_GT(labels[0].at.y, T + 19);  // below the top left circle
  EXPECT_EQ(labels[1].text, "2");
  EXPECT_GT(labels[1].at.x, labels[0].at.x);
  EXPECT_EQ(labels[2].text, "4");
  EXPECT_EQ(labels[3].text, "1");
  EXPECT_EQ(labels[3].at.y, B - 35);
  EXPECT_GT(labels[3].at.x, labels[2].at.x);
}

TEST(MarkSchematic, Type2HasCornerMarksTenPixelsIn) {
  const auto bars = Rects(Marks(2).OfKind(K::FillRect));
  EXPECT_EQ(bars.size(), 8u);
  EXPECT_TRUE(Contains(bars, {L + 10, T + 10, L + 12, T + 40}));
  EXPECT_TRUE(Contains(bars, {L + 10, T + 10, L + 40, T + 12}));
  EXPECT_TRUE(Contains(bars, {R - 12, T + 10, R - 10, T + 40}));
  EXPECT_TRUE(Contains(bars, {R - 40, B - 12, R - 10, B - 10}));
  EXPECT_TRUE(Contains(bars, {L + 10, B - 40, L + 12, B - 10}));
}

TEST(MarkSchematic, Type3HasFiveFilledCircles) {
  ExpectFilledCircles(Marks(3), {Circle(L + 20, T + 35), Circle(R - 30, T + 35), Circle(R - 30, B - 45),
                                 Circle(L + 20, B - 45), Circle(R - 30, B - 65)});
}

TEST(MarkSchematic, Type4HasAFrameTopBarsWithTicksAndBottomCorners) {
  const RecordingCanvas c = Marks(4);
  ExpectRedFrame(c);
  const auto bars = Rects(c.OfKind(K::FillRect));
  EXPECT_TRUE(Contains(bars, {L + 30, T + 90, L + 32, T + 120}));
  EXPECT_TRUE(Contains(bars, {L + 32, T + 104, L + 39, T + 106}));  // 7 pixels, inward
  EXPECT_TRUE(Contains(bars, {R - 32, T + 90, R - 30, T + 120}));
  EXPECT_TRUE(Contains(bars, {R - 38, T + 104, R - 32, T + 106}));  // 6 pixels, inward
  EXPECT_TRUE(Contains(bars, {L + 30, B - 60, L + 32, B - 30}));
  EXPECT_TRUE(Contains(bars, {R - 60, B - 32, R - 30, B - 30}));
}

TEST(MarkSchematic, Type5HasAFrameAndFiveCircles) {
  const RecordingCanvas c = Marks(5);
  ExpectRedFrame(c);
  ExpectFilledCircles(c, {Circle(L + 20, T + 95), Circle(R - 30, T + 95), Circle(L + 20, B - 45),
                          Circle(R - 30, B - 45), Circle(R - 30, B - 85)});
}

TEST(MarkSchematic, Types6And7HaveAFrameAndFourCorners) {
  for (uint8_t type : {6, 7}) {
    const RecordingCanvas c = Marks(type);
    ExpectRedFrame(c);
    const auto bars = Rects(c.OfKind(K::FillRect));
    EXPECT_EQ(bars.size(), 8u);
    EXPECT_TRUE(Contains(bars, {L + 30, T + 90, L + 32, T + 120}));
    EXPECT_TRUE(Contains(bars, {L + 30, T + 90, L + 37, T + 92}));
    EXPECT_TRUE(Contains(bars, {R - 32, B - 75, R - 30, B - 45}));
    EXPECT_TRUE(Contains(bars, {R - 37, B - 47, R - 30, B - 45}));
  }
}

TEST(MarkSchematic, Type8NumbersTheSectionBordersDownToZero) {
  const RecordingCanvas c = Marks(8, 4);
  const int step = (B - T - 80) / 4;
  const auto bars = Rects(c.OfKind(K::FillRect));
  EXPECT_TRUE(Contains(bars, {L + 10, T + 40, L + 12, T + 70}));
  EXPECT_TRUE(Contains(bars, {R - 12, B - 69, R - 10, B - 39}));
  std::vector<std::string> texts;
  for (int i = 1; i < 4; ++i) {
    const int y = T + 55 + i * step;
    EXPECT_TRUE(Contains(bars, {L + 10, y - 30, L + 12, y}));
    EXPECT_TRUE(Contains(bars, {R - 12, y - 30, R - 10, y}));
    EXPECT_TRUE(Contains(bars, {L + 10, y - 15, L + 40, y - 13}));
  }
  const auto boxes = c.OfKind(K::TextInBox);
  ASSERT_EQ(boxes.size(), 4u);
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(boxes[i - 1].text, std::to_string(4 - i));
    EXPECT_EQ(boxes[i - 1].rect, (PixelRect{R - 30, T + 55 + i * step - 50, R - 10, T + 55 + i * step - 30}));
  }
  EXPECT_EQ(boxes[3].text, "0");
  EXPECT_EQ(boxes[3].rect, (PixelRect{R - 30, B - 80, R - 10, B - 60}));
}

TEST(MarkSchematic, Type9AddsThreeCirclesAndANumberPerBorder) {
  const RecordingCanvas c = Marks(9, 3);
  const int step = (B - T - 80) / 3;
  const auto circles = Rects(c.OfKind(K::Ellipse));
  ASSERT_EQ(circles.size(), 5u + 3 * 2);
  for (int i = 1; i < 3; ++i) {
    const int y = T + 35 + i * step;
    EXPECT_TRUE(Contains(circles, Circle(L + 20, y)));
    EXPECT_TRUE(Contains(circles, Circle(R - 30, y)));
    EXPECT_TRUE(Contains(circles, Circle(R - 30, y - 20)));
  }
  const auto boxes = c.OfKind(K::TextInBox);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "2");
  EXPECT_EQ(boxes[0].rect, (PixelRect{L + 20, T + 35 + step - 30, L + 40, T + 35 + step - 10}));
  EXPECT_EQ(boxes[1].text, "1");
  EXPECT_EQ(boxes[2].text, "0");
  EXPECT_EQ(boxes[2].rect, (PixelRect{L + 20, B - 80, L + 40, B - 60}));
}

TEST(MarkSchematic, OneSectionOrNoneHasOnlyTheZero) {
  for (uint8_t sections : {0, 1}) {
    const auto boxes = Marks(8, sections).OfKind(K::TextInBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "0");
  }
}

TEST(MarkSchematic, OtherTypesDrawNothing) {
  for (uint8_t type : {0, 10, 255}) EXPECT_TRUE(Marks(type).Ops().empty()) << int(type);
}

// ---- Job lines ----

std::vector<std::vector<PixelPoint>> Lines(const RecordingCanvas& c) {
  std::vector<std::vector<PixelPoint>> out;
  for (const CanvasOp& op : c.OfKind(K::Polyline)) out.push_back(op.points);
  return out;
}

TEST(JobLines, PenUpMovesStartNewPolylinesAndMarkersArePassedOver) {
  // "U y,x": points (x, y) = (0,0) (100,0) (100,100), then (200,200) (200,300) (300,300).
  Job j("U0,0;D0,100;D100,100;U200,200;U200,200;D300,200;TM1;D300,300;");
  const PreviewGeometry g = ComputePreviewGeometry({480, 480}, j.job.GetBounds());
  RecordingCanvas c;
  ASSERT_TRUE(DrawJobLines(c, g, j.job));
  auto P = [&](int x, int y) { return JobToScreen(g, x, y); };
  EXPECT_EQ(Lines(c), (std::vector<std::vector<PixelPoint>>{{P(0, 0), P(100, 0), P(100, 100)},
                                                            {P(200, 200), P(200, 300), P(300, 300)}}));
  for (const CanvasOp& op : c.OfKind(K::Polyline)) EXPECT_EQ(op.pen, Pen{});
}

TEST(JobLines, ACutBeforeAnyMoveStartsAtTheOrigin) {
  Job j("D0,100;");
  const PreviewGeometry g = ComputePreviewGeometry({480, 480}, Bounds{0, 0, 100, 100});
  RecordingCanvas c;
  DrawJobLines(c, g, j.job);
  EXPECT_EQ(Lines(c), (std::vector<std::vector<PixelPoint>>{{JobToScreen(g, 0, 0), JobToScreen(g, 100, 0)}}));
}

TEST(JobLines, LongPathsArePassedOnInJoinedPieces) {
  std::string text = "U0,0;";
  for (int i = 1; i <= 10; ++i) text += "D0," + std::to_string(i * 10) + ";";
  Job j(text);
  const PreviewGeometry g = ComputePreviewGeometry({480, 480}, j.job.GetBounds());
  RecordingCanvas c;
  DrawJobLines(c, g, j.job, 4);
  const auto lines = Lines(c);
  ASSERT_EQ(lines.size(), 4u);  // 11 points: 4, 4, 4 and 2, each starting where the last ended
  std::vector<PixelPoint> joined = lines[0];
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size(), 4u);
    EXPECT_EQ(lines[i].front(), lines[i - 1].back());
    joined.insert(joined.end(), lines[i].begin() + 1, lines[i].end());
  }
  ASSERT_EQ(joined.size(), 11u);
  for (int i = 0; i <= 10; ++i) EXPECT_EQ(joined[i], JobToScreen(g, i * 10, 0));
}

TEST(JobLines, APathIsOneLineAcrossTheReadersBatches) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "plotsend_preview_one_long_path_test.plt";
  constexpr int kCuts = 300000;
  {
    std::ofstream out(path, std::ios::binary);
    out << "U0,0;";
    for (int i = 1; i <= kCuts; ++i) out << "D" << (i % 2) * 50 << "," << i << ";";
  }
  CPLTFile job;
  ASSERT_EQ(job.LoadPlt(path.string()), 1);
  job.ComputeBounds();
  const PreviewGeometry g = ComputePreviewGeometry({480, 480}, job.GetBounds());
  RecordingCanvas c;
  EXPECT_TRUE(DrawJobLines(c, g, job, 1000000));
  std::filesystem::remove(path);
  const auto lines = Lines(c);
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0].size(), static_cast<size_t>(kCuts) + 1);
  EXPECT_EQ(lines[0].back(), JobToScreen(g, kCuts, 0));
}

// ---- The whole preview ----

TEST(JobPreview, BackgroundThenMarksThenCodeThenJob) {
  Job j("U0,0;D1000,2000;");
  MarkRef ref;
  ref.MarkType = 3;
  RecordingCanvas c;
  const PreviewResult r = DrawJobPreview(c, {280, 280}, PreviewData{j.job, ref, 1, 7});
  EXPECT_DOUBLE_EQ(r.scale, 0.09);
  EXPECT_TRUE(r.jobRead);
  const auto& ops = c.Ops();
  ASSERT_GE(ops.size(), 2u);
  EXPECT_EQ(ops[0].kind, K::Rectangle);
  EXPECT_EQ(ops[0].rect, (PixelRect{0, 0, 280, 280}));
  EXPECT_EQ(ops[1].kind, K::FillRect);
  EXPECT_EQ(ops[1].rect, (PixelRect{0, 0, 280, 280}));
  EXPECT_EQ(ops[1].colour, (Rgb{250, 250, 150}));
  // Marks in the box 40 pixels round the job.
  const auto circles = c.OfKind(K::Ellipse);
  ASSERT_EQ(circles.size(), 5u);
  EXPECT_EQ(circles[0].rect, Circle(20 + 20, 110 + 35));
  // The code bar anchored 80 from the right, 30 above the bottom.
  const auto texts = c.OfKind(K::TextAt);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "00007");
  EXPECT_EQ(texts[0].at, (PixelPoint{200 - 173, 250 - 3}));
  EXPECT_EQ(ops.back().kind, K::Polyline);
  EXPECT_EQ(ops.back().points.front(), (PixelPoint{240, 240}));
}

TEST(JobPreview, NoCodeModeNoCodeBarAndAJobWithoutSizeDrawsOnlyTheField) {
  Job j("U5,5;");
  MarkRef ref;
  ref.MarkType = 1;
  RecordingCanvas c;
  const PreviewResult r = DrawJobPreview(c, {kPreviewFrameWidth, kPreviewFrameHeight}, PreviewData{j.job, ref, 0, 7});
  EXPECT_EQ(r.scale, 0.0);
  EXPECT_EQ(c.Ops().size(), 2u);
}

}  // namespace
}  // namespace plotsend
