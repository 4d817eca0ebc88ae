#include "ui/intersect_alignment.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

#include "job/command_writer.h"
#include "job/decimal.h"

namespace plotsend {
namespace {

constexpr int32_t kStart = 400;  // 10 mm from the origin on both axes
constexpr int32_t kFineStep = 4;
constexpr int32_t kCoarseStep = 20;
constexpr double kQuarterTurn = 1.570796;  // as the predictions have always used it
constexpr int kDone = 5;

int32_t Add(int32_t a, int64_t b) { return SaturateInt32(a + b); }
int32_t SubClamped(int32_t a, int32_t b) {
  const int64_t v = int64_t{a} - b;
  return v < 0 ? 0 : static_cast<int32_t>(v);
}
int64_t Trunc(double v) { return std::isfinite(v) ? static_cast<int64_t>(std::trunc(v)) : 0; }

std::string Millimetres(const char* label, int32_t units) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%s=%0.2f", label, units / 40.0);
  return buffer;
}

}  // namespace

CIntersectAlignement::CIntersectAlignement(HeadSender send, int32_t spanX, int32_t spanY)
    : send_(std::move(send)), spanX_(spanX), spanY_(spanY) {}

void CIntersectAlignement::OnInitDialog() {
  host_->FillStepCombo("0.1 mm", "0.5 mm", 1);
  step_ = kCoarseStep;
  pos_ = 1;
  x_ = kStart;
  y_ = kStart;
  ShowPosition();
  // Take the tool up, go home, then to the start position (not transposed).
  send_("TKN;U0,0;>U" + std::to_string(y_) + "," + std::to_string(x_) + ";");
}

void CIntersectAlignement::OnStepSelected(int index) { step_ = index == 0 ? kFineStep : kCoarseStep; }

void CIntersectAlignement::OnPlusX() {
  x_ = Add(x_, step_);
  ShowPosition();
  SendMove();
}

void CIntersectAlignement::OnMinusX() {
  x_ = SubClamped(x_, step_);
  ShowPosition();
  SendMove();
}

void CIntersectAlignement::OnPlusY() {
  y_ = Add(y_, step_);
  ShowPosition();
  SendMove();
}

void CIntersectAlignement::OnMinusY() {
  y_ = SubClamped(y_, step_);
  ShowPosition();
  SendMove();
}

void CIntersectAlignement::OnKey(Key key) {
  switch (key) {
    case Key::Left: OnPlusX(); break;
    case Key::Right: OnMinusX(); break;
    case Key::Up: OnPlusY(); break;
    case Key::Down: OnMinusY(); break;
    case Key::Enter: OnOk(); break;
  }
}

void CIntersectAlignement::OnOk() {
  if (pos_ >= kDone) return;  // the dialog has ended
  const size_t k = static_cast<size_t>(pos_ - 1) * 2;
  marks_[k] = x_;
  marks_[k + 1] = y_;
  Predict();
  ++pos_;
  if (pos_ < kDone) ShowPosition();
  SendMove();
  if (pos_ == kDone) host_->EndDialog(1);
}

void CIntersectAlignement::OnCancel() {
  cancelled_ = true;
  host_->EndDialog(2);
}

// Where the head goes after mark pos_ was measured: the next mark, from the
// marks so far and the known spans; after the fourth, back to the first.
void CIntersectAlignement::Predict() {
  const double x1 = marks_[0], y1 = marks_[1];
  switch (pos_) {
    case 1: y_ = Add(y_, spanY_); break;
    case 2: {
      angle_ = std::atan2(marks_[3] - y1, marks_[2] - x1) - kQuarterTurn;
      const double r = std::hypot(static_cast<double>(spanX_), static_cast<double>(spanY_));
      const double b = std::atan2(static_cast<double>(spanY_), static_cast<double>(spanX_));
      x_ = Add(marks_[0], Trunc(r * std::cos(b + angle_)));
      y_ = Add(marks_[1], Trunc(r * std::sin(b + angle_)));
      break;
    }
    case 3:
      x_ = Add(marks_[0], Trunc(spanX_ * std::cos(angle_)));
      y_ = Add(marks_[1], Trunc(spanX_ * std::sin(angle_)));
      if (y_ < 0) y_ = 0;
      break;
    default:
      x_ = marks_[0];
      y_ = marks_[1];
      break;
  }
}

void CIntersectAlignement::ShowPosition() {
  host_->SetControlText(alignment_control::kPos, "POS " + std::to_string(pos_));
  host_->SetControlText(alignment_control::kX, Millimetres("X", x_));
  host_->SetControlText(alignment_control::kY, Millimetres("Y", y_));
}

void CIntersectAlignement::SendMove() {
  std::array<char, kMaxMoveLength> move{};
  const size_t n = FormatDeviceMove('U', y_, x_, move);
  send_(std::string_view(move.data(), n));
}

}  // namespace plotsend
