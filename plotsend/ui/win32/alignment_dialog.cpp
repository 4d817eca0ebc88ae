#include "ui/win32/alignment_dialog.h"

#include "ui/win32/dialog_window.h"

namespace plotsend::win32 {
namespace {

constexpr int kTemplate = 130;
// WM_KEYDOWN's lParam: the key was already down (auto-repeat).
constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;

class AlignmentDialog : public DialogWindow, public AlignmentHost {
 public:
  explicit AlignmentDialog(CIntersectAlignement& alignment) : DialogWindow(kTemplate), alignment_(alignment) {}

  void SetControlText(int id, const std::string& text) override { DialogWindow::SetControlText(id, text); }

  void FillStepCombo(const std::string& fine, const std::string& coarse, int selected) override {
    SendControl(alignment_control::kStep, CB_RESETCONTENT);
    for (const std::string& entry : {fine, coarse}) {
      const std::wstring wide = Widen(entry);
      SendControl(alignment_control::kStep, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    SendControl(alignment_control::kStep, CB_SETCURSEL, static_cast<WPARAM>(selected));
  }

  void EndDialog(int result) override { End(result); }

 protected:
  bool OnInitDialog() override {
    alignment_.OnInitDialog();
    // The focus on Ok: Enter and the arrows work at once, and no edit
    // shows a caret.
    SetFocus(Control(alignment_control::kOk));
    return false;
  }

  bool OnCommand(int id, int code, HWND) override {
    namespace ids = alignment_control;
    if (id == ids::kStep) {
      if (code == CBN_SELCHANGE) {
        alignment_.OnStepSelected(static_cast<int>(SendControl(ids::kStep, CB_GETCURSEL)));
      }
      return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
      case ids::kPlusX: alignment_.OnPlusX(); return true;
      case ids::kMinusX: alignment_.OnMinusX(); return true;
      case ids::kPlusY: alignment_.OnPlusY(); return true;
      case ids::kMinusY: alignment_.OnMinusY(); return true;
      case ids::kOk: alignment_.OnOk(); return true;
      case IDCANCEL: alignment_.OnCancel(); return true;  // Esc and the close box too
      default: return false;
    }
  }

  // Taken before the dialog manager, which would move the focus with the
  // arrows and press the default button with Enter.
  bool PreTranslateMessage(MSG& msg) override {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)) return false;
    // An open step list takes its own keys: the arrows choose, Enter closes.
    if (SendControl(alignment_control::kStep, CB_GETDROPPEDSTATE) != 0) return false;
    using Key = CIntersectAlignement::Key;
    switch (msg.wParam) {
      case VK_LEFT: alignment_.OnKey(Key::Left); return true;
      case VK_RIGHT: alignment_.OnKey(Key::Right); return true;
      case VK_UP: alignment_.OnKey(Key::Up); return true;
      case VK_DOWN: alignment_.OnKey(Key::Down); return true;
      case VK_RETURN:
        // A held Enter confirms one mark, not the ones after it as well.
        if ((msg.lParam & kKeyWasDown) == 0) alignment_.OnKey(Key::Enter);
        return true;
      default: return false;
    }
  }

 private:
  CIntersectAlignement& alignment_;
};

}  // namespace

void RunAlignmentDialog(HWND owner, CIntersectAlignement& alignment) {
  AlignmentDialog dialog(alignment);
  alignment.SetHost(dialog);
  if (dialog.RunModal(owner) == -1 && !alignment.Cancelled()) alignment.OnCancel();
}

}  // namespace plotsend::win32
