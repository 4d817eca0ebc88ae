#include "cli_alignment.h"

#include <map>
#include <string>

namespace plotsend {
namespace {

class TerminalWindow : public AlignmentHost {
 public:
  explicit TerminalWindow(std::FILE* out) : out_(out) {}
  void SetControlText(int id, const std::string& text) override { texts_[id] = text; }
  void FillStepCombo(const std::string&, const std::string&, int) override {}
  void EndDialog(int) override { ended_ = true; }
  bool Ended() const { return ended_; }
  void Show(int32_t step) {
    namespace ac = alignment_control;
    std::fprintf(out_, "%s  %s  %s  step %s mm\n", texts_[ac::kPos].c_str(), texts_[ac::kX].c_str(),
                 texts_[ac::kY].c_str(), step == 4 ? "0.1" : "0.5");
    std::fflush(out_);
  }

 private:
  std::FILE* out_;
  std::map<int, std::string> texts_;
  bool ended_ = false;
};

}  // namespace

void RunTerminalAlignment(CIntersectAlignement& alignment, TerminalKeys& keys, std::FILE* out) {
  using Key = TerminalKeys::Key;
  using Jog = CIntersectAlignement::Key;
  TerminalWindow window(out);
  alignment.SetHost(window);
  std::fputs("Mark alignment: move the head onto each mark with the arrow keys, s switches the step, "
             "Enter takes the mark, Esc cancels.\n", out);
  alignment.OnInitDialog();
  window.Show(alignment.Step());
  while (!window.Ended()) {
    switch (keys.Next()) {
      case Key::Left: alignment.OnKey(Jog::Left); break;
      case Key::Right: alignment.OnKey(Jog::Right); break;
      case Key::Up: alignment.OnKey(Jog::Up); break;
      case Key::Down: alignment.OnKey(Jog::Down); break;
      case Key::Enter: alignment.OnKey(Jog::Enter); break;
      case Key::Esc:
      case Key::End: alignment.OnCancel(); break;
      case Key::Other:
        if (keys.Char() != 's') continue;
        alignment.OnStepSelected(alignment.Step() == 4 ? 1 : 0);
        break;
    }
    if (!window.Ended()) window.Show(alignment.Step());
  }
}

bool AskTerminalOkCancel(const char* text, TerminalKeys& keys, std::FILE* out) {
  std::fprintf(out, "%s (Enter: OK, Esc: Cancel)\n", text);
  std::fflush(out);
  for (;;) {
    switch (keys.Next()) {
      case TerminalKeys::Key::Enter: return true;
      case TerminalKeys::Key::Esc:
      case TerminalKeys::Key::End: return false;
      default: break;
    }
  }
}

}  // namespace plotsend
