#include "ui/intersect_alignment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace plotsend {
namespace {

namespace ac = alignment_control;

struct RecordingHost : AlignmentHost {
  void SetControlText(int id, const std::string& text) override { texts[id] = text; }
  void FillStepCombo(const std::string& fine, const std::string& coarse, int selected) override {
    combo = {fine, coarse};
    comboSelected = selected;
  }
  void EndDialog(int result) override { ended.push_back(result); }
  std::map<int, std::string> texts;
  std::vector<std::string> combo;
  int comboSelected = -1;
  std::vector<int> ended;
};

struct Alignment {
  explicit Alignment(int32_t spanX = 4000, int32_t spanY = 4000)
      : dlg([this](std::string_view b) { sent.emplace_back(b); }, spanX, spanY) {
    dlg.SetHost(host);
    dlg.OnInitDialog();
  }
  RecordingHost host;
  std::vector<std::string> sent;
  CIntersectAlignement dlg;
};

TEST(Alignment, OpensAtTenMillimetresWithTheCoarseStep) {
  Alignment a;
  EXPECT_EQ(a.host.combo, (std::vector<std::string>{"0.1 mm", "0.5 mm"}));
  EXPECT_EQ(a.host.comboSelected, 1);
  EXPECT_EQ(a.dlg.Step(), 20);
  EXPECT_EQ(a.host.texts[ac::kPos], "POS 1");
  EXPECT_EQ(a.host.texts[ac::kX], "X=10.00");
  EXPECT_EQ(a.host.texts[ac::kY], "Y=10.00");
  // The opening command is not transposed (400 would go out as 300).
  EXPECT_EQ(a.sent, (std::vector<std::string>{"TKN;U0,0;>U400,400;"}));
}

TEST(Alignment, FourMarksWithoutJoggingFollowThePredictions) {
  Alignment a;
  a.dlg.OnOk();
  EXPECT_EQ(a.dlg.Y(), 4400);
  EXPECT_EQ(a.sent.back(), "U3400,400;");  // 4400 goes out as 3400
  a.dlg.OnOk();
  EXPECT_NEAR(a.dlg.Angle(), 0.00000033, 0.00000001);
  EXPECT_EQ(a.dlg.X(), 4399);  // truncation of the predicted diagonal
  EXPECT_EQ(a.dlg.Y(), 4400);
  a.dlg.OnOk();
  EXPECT_EQ(a.dlg.X(), 4399);
  EXPECT_EQ(a.dlg.Y(), 400);
  EXPECT_EQ(a.host.texts[ac::kPos], "POS 4");
  EXPECT_TRUE(a.host.ended.empty());
  a.dlg.OnOk();
  EXPECT_EQ(a.dlg.Result(), (MarkCorrection{400, 400, 400, 4400, 4399, 4400, 4399, 400}));
  EXPECT_EQ(a.sent.back(), "U300,400;");  // back to the first mark
  EXPECT_EQ(a.sent.size(), 5u);
  EXPECT_EQ(a.host.texts[ac::kPos], "POS 4");  // the display is not refreshed at the end
  EXPECT_EQ(a.host.ended, (std::vector<int>{1}));
  EXPECT_FALSE(a.dlg.Cancelled());
  a.dlg.OnOk();  // after the end nothing more happens
  EXPECT_EQ(a.sent.size(), 5u);
}

TEST(Alignment, JogsMoveByTheStepAndStopAtZero) {
  Alignment a;
  a.dlg.OnStepSelected(0);
  EXPECT_EQ(a.dlg.Step(), 4);
  a.dlg.OnKey(CIntersectAlignement::Key::Left);  // + X
  EXPECT_EQ(a.dlg.X(), 404);
  EXPECT_EQ(a.sent.back(), "U300,404;");
  EXPECT_EQ(a.host.texts[ac::kX], "X=10.10");
  a.dlg.OnStepSelected(1);
  for (int i = 0; i < 21; ++i) a.dlg.OnKey(CIntersectAlignement::Key::Right);  // - X
  EXPECT_EQ(a.dlg.X(), 0);
  a.dlg.OnKey(CIntersectAlignement::Key::Up);
  EXPECT_EQ(a.dlg.Y(), 420);
  a.dlg.OnKey(CIntersectAlignement::Key::Down);
  a.dlg.OnKey(CIntersectAlignement::Key::Down);
  EXPECT_EQ(a.dlg.Y(), 380);
  EXPECT_EQ(a.sent.back(), "U480,0;");  // 380 goes out as 480
  EXPECT_EQ(a.sent.size(), 1u + 1 + 21 + 3);
  a.dlg.OnKey(CIntersectAlignement::Key::Enter);  // Ok
  EXPECT_EQ(a.dlg.Result()[0], 0);
  EXPECT_EQ(a.dlg.Result()[1], 380);
}

TEST(Alignment, MinusXAtTenUnitsGivesZero) {
  Alignment a;
  for (int i = 0; i < 19; ++i) a.dlg.OnMinusX();
  EXPECT_EQ(a.dlg.X(), 20);
  a.dlg.OnStepSelected(0);
  a.dlg.OnMinusX();
  a.dlg.OnMinusX();
  a.dlg.OnMinusX();
  a.dlg.OnMinusX();
  EXPECT_EQ(a.dlg.X(), 4);
  a.dlg.OnStepSelected(1);
  a.dlg.OnMinusX();
  EXPECT_EQ(a.dlg.X(), 0);
}

TEST(Alignment, CancelEndsWithoutFurtherMoves) {
  Alignment a;
  a.dlg.OnOk();
  a.dlg.OnCancel();
  EXPECT_TRUE(a.dlg.Cancelled());
  EXPECT_EQ(a.host.ended, (std::vector<int>{2}));
  EXPECT_EQ(a.sent.size(), 2u);
  EXPECT_EQ(a.dlg.Result()[0], 400);  // what was measured is still handed back
}

TEST(Alignment, ARotatedSheetIsFollowedAndPredictionsStayOnTheSheet) {
  // The second mark found 100 units to the left of the straight prediction:
  // the sheet is turned, and the third and fourth predictions turn with it.
  Alignment a(8000, 6000);
  a.dlg.OnOk();
  for (int i = 0; i < 5; ++i) a.dlg.OnMinusX();
  a.dlg.OnOk();
  const double angle = std::atan2(6000.0, -100.0) - 1.570796;
  EXPECT_NEAR(a.dlg.Angle(), angle, 1e-12);
  a.dlg.OnOk();
  EXPECT_EQ(a.dlg.X(), 400 + static_cast<int32_t>(8000 * std::cos(angle)));
  EXPECT_EQ(a.dlg.Y(), 400 + static_cast<int32_t>(8000 * std::sin(angle)));
  EXPECT_GT(a.dlg.Y(), 400);
  // Huge spans saturate instead of wrapping; a prediction below the sheet is held at 0.
  Alignment big(INT32_MAX, INT32_MAX);
  big.dlg.OnOk();
  EXPECT_EQ(big.dlg.Y(), INT32_MAX);
  Alignment below(8000, 6000);
  below.dlg.OnOk();
  for (int i = 0; i < 40; ++i) below.dlg.OnPlusX();  // second mark to the right: turned the other way
  below.dlg.OnOk();
  below.dlg.OnOk();
  EXPECT_EQ(below.dlg.Y(), 0);
}

}  // namespace
}  // namespace plotsend
