#include "app/cli/cli_alignment.h"

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

namespace {

constexpr const char* kAlignmentCommands = "x+ x- y+ y-, fine, coarse, ok, cancel";

void ToggleStep(CIntersectAlignement& alignment) { alignment.OnStepSelected(alignment.Step() == 4 ? 1 : 0); }

// One line command of the alignment; false when there is no such command.
bool RunAlignmentCommand(CIntersectAlignement& alignment, const std::string& command) {
  if (command == "x+") alignment.OnPlusX();
  else if (command == "x-") alignment.OnMinusX();
  else if (command == "y+") alignment.OnPlusY();
  else if (command == "y-") alignment.OnMinusY();
  else if (command == "fine") alignment.OnStepSelected(0);
  else if (command == "coarse") alignment.OnStepSelected(1);
  else if (command == "s") ToggleStep(alignment);
  else if (command == "ok") alignment.OnOk();
  else if (command == "cancel") alignment.OnCancel();
  else return false;
  return true;
}

void RunAlignmentKey(CIntersectAlignement& alignment, TerminalKeys::Key key) {
  using Key = TerminalKeys::Key;
  using Jog = CIntersectAlignement::Key;
  switch (key) {
    case Key::Left: alignment.OnKey(Jog::Left); break;
    case Key::Right: alignment.OnKey(Jog::Right); break;
    case Key::Up: alignment.OnKey(Jog::Up); break;
    case Key::Down: alignment.OnKey(Jog::Down); break;
    case Key::Enter: alignment.OnKey(Jog::Enter); break;
    case Key::Esc:
    case Key::End: alignment.OnCancel(); break;
    case Key::Other: ToggleStep(alignment); break;  // "s"
  }
}

}  // namespace

void RunTerminalAlignment(CIntersectAlignement& alignment, CommandInput& input, std::FILE* out) {
  TerminalWindow window(out);
  alignment.SetHost(window);
  std::fprintf(out,
               "Mark alignment: move the head onto each mark with the arrow keys, s switches the step, "
               "Enter takes the mark, Esc cancels; or type one command a line: %s.\n",
               kAlignmentCommands);
  alignment.OnInitDialog();
  window.Show(alignment.Step());
  while (!window.Ended()) {
    const CommandInput::Input next = input.Next();
    if (next.kind == CommandInput::Input::Kind::Line) {
      if (!RunAlignmentCommand(alignment, next.line)) {
        std::fprintf(out, "unknown command \"%s\" (the commands are %s)\n", next.line.c_str(), kAlignmentCommands);
        continue;
      }
    } else {
      RunAlignmentKey(alignment, next.kind == CommandInput::Input::Kind::End ? TerminalKeys::Key::End : next.key);
    }
    if (!window.Ended()) window.Show(alignment.Step());
  }
}

bool AskTerminalOkCancel(const char* text, CommandInput& input, std::FILE* out) {
  std::fprintf(out, "%s (Enter or ok: OK, Esc or cancel: Cancel)\n", text);
  std::fflush(out);
  for (;;) {
    const CommandInput::Input next = input.Next();
    switch (next.kind) {
      case CommandInput::Input::Kind::End: return false;
      case CommandInput::Input::Kind::Key:
        if (next.key == TerminalKeys::Key::Enter) return true;
        if (next.key == TerminalKeys::Key::Esc) return false;
        break;
      case CommandInput::Input::Kind::Line:
        if (next.line == "ok") return true;
        if (next.line == "cancel") return false;
        std::fprintf(out, "unknown answer \"%s\" (ok or cancel)\n", next.line.c_str());
        std::fflush(out);
        break;
    }
  }
}

}  // namespace plotsend
