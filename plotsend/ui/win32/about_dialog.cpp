#include "ui/win32/about_dialog.h"

#include "ui/win32/dialog_window.h"
#include "ui/win32/hyperlink_control.h"

namespace plotsend::win32 {

namespace {

constexpr int kAboutTemplate = 100;
constexpr int kWebAddress = 1023;

class AboutDialog final : public DialogWindow {
 public:
  AboutDialog() : DialogWindow(kAboutTemplate) {}

 protected:
  bool OnInitDialog() override {
    // The link is made and subclassed, then kept out of sight.
    link_.Attach(Control(kWebAddress));
    ShowControl(kWebAddress, false);
    return true;
  }

  bool OnCommand(int id, int code, HWND control) override {
    if (link_.OnParentCommand(code, control)) return true;
    if (id == IDOK) {
      End(IDOK);
      return true;
    }
    return DialogWindow::OnCommand(id, code, control);
  }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
    return link_.OnParentMessage(message, wParam, lParam, result);
  }

 private:
  HyperLinkControl link_;
};

}  // namespace

void RunAboutBox(HWND owner) {
  AboutDialog dialog;
  dialog.RunModal(owner);
}

}  // namespace plotsend::win32
