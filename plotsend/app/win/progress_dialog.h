#pragma once
// DoPltFileProgress: the waiting animation while the job is prepared
// (template 131, "Progress"). Its bar shows no real progress: it moves on a
// 100 ms timer and starts again at the end, until the dialog is destroyed.
#include <windows.h>

#include "ui/win32/dialog_window.h"

namespace plotsend::win32 {

inline constexpr int kProgressDialogTemplate = 131;

class DoPltFileProgress final : public DialogWindow {
 public:
  DoPltFileProgress() : DialogWindow(kProgressDialogTemplate) {}

 protected:
  bool OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
};

}  // namespace plotsend::win32
