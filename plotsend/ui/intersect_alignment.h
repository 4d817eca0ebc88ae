#pragma once
// The four-mark alignment: the user jogs the cutter head onto each printed
// registration mark and confirms it; after each mark the head is driven to
// where the next one is predicted. The four measured positions correct the
// job (ApplyMarkCorrection).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "job/mark_ref.h"

namespace plotsend {

namespace alignment_control {
inline constexpr int kPlusX = 1027;
inline constexpr int kOk = 1028;
inline constexpr int kMinusX = 1029;
inline constexpr int kX = 1030;
inline constexpr int kY = 1031;
inline constexpr int kMinusY = 1032;
inline constexpr int kPlusY = 1033;
inline constexpr int kPos = 1034;
inline constexpr int kStep = 1036;
}  // namespace alignment_control

// What the alignment logic asks of the window it runs in.
class AlignmentHost {
 public:
  virtual ~AlignmentHost() = default;
  virtual void SetControlText(int id, const std::string& text) = 0;
  // The step combo box: its two entries and the selected one.
  virtual void FillStepCombo(const std::string& fine, const std::string& coarse, int selected) = 0;
  virtual void EndDialog(int result) = 0;
};

// Writes head commands to the cutter; their result is not looked at.
using HeadSender = std::function<void(std::string_view bytes)>;

class CIntersectAlignement {
 public:
  // spanX, spanY: the distances between the marks (MarkSpanX/Y + 2 x MarkMargin).
  CIntersectAlignement(HeadSender send, int32_t spanX, int32_t spanY);
  // The window that shows the dialog; given before OnInitDialog by whoever
  // runs it. Until then nothing is shown.
  void SetHost(AlignmentHost& host) { host_ = &host; }

  void OnInitDialog();
  void OnStepSelected(int index);  // 0: 0.1 mm, otherwise 0.5 mm
  void OnPlusX();
  void OnMinusX();
  void OnPlusY();
  void OnMinusY();
  void OnOk();
  void OnCancel();

  enum class Key { Left, Right, Up, Down, Enter };
  void OnKey(Key key);

  // P1..P4 as x1, y1, x2, y2, x3, y3, x4, y4.
  const MarkCorrection& Result() const { return marks_; }
  bool Cancelled() const { return cancelled_; }
  int32_t X() const { return x_; }
  int32_t Y() const { return y_; }
  int32_t Step() const { return step_; }
  int Pos() const { return pos_; }
  double Angle() const { return angle_; }

 private:
  void ShowPosition();
  void SendMove();
  void Predict();

  class NoWindow : public AlignmentHost {
    void SetControlText(int, const std::string&) override {}
    void FillStepCombo(const std::string&, const std::string&, int) override {}
    void EndDialog(int) override {}
  };
  NoWindow noWindow_;
  AlignmentHost* host_ = &noWindow_;
  HeadSender send_;
  const int32_t spanX_;
  const int32_t spanY_;
  int32_t x_ = 400;
  int32_t y_ = 400;
  int32_t step_ = 20;
  int pos_ = 1;
  double angle_ = 0.0;
  MarkCorrection marks_{};
  bool cancelled_ = false;
};

}  // namespace plotsend
