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
  void Show() {
    namespace ac = alignment_control;
    std::fprintf(out_, "%s  %s  %s\n", texts_[ac::kPos].c_str(), texts_[ac::kX].c_str(), texts_[ac::kY].c_str());
    std::fflush(out_);
  }

 private:
  std::FILE* out_;
  std::map<int, std::string> texts_;
  bool ended_ = false;
};

// False for a line that is no command.
bool Apply(CIntersectAlignement& a, const std::string& line) {
  using Key = CIntersectAlignement::Key;
  if (line == "x+" || line == "+x" || line == "left") a.OnKey(Key::Left);
  else if (line == "x-" || line == "-x" || line == "right") a.OnKey(Key::Right);
  else if (line == "y+" || line == "+y" || line == "up") a.OnKey(Key::Up);
  else if (line == "y-" || line == "-y" || line == "down") a.OnKey(Key::Down);
  else if (line == "fine") a.OnStepSelected(0);
  else if (line == "coarse") a.OnStepSelected(1);
  else if (line.empty() || line == "ok") a.OnOk();
  else if (line == "cancel") a.OnCancel();
  else return false;
  return true;
}

}  // namespace

void RunTerminalAlignment(CIntersectAlignement& alignment, std::istream& in, std::FILE* out) {
  TerminalWindow window(out);
  alignment.SetHost(window);
  std::fputs("Mark alignment: move the head onto each mark with x+ x- y+ y- (fine/coarse step), "
             "then ok; cancel stops.\n", out);
  alignment.OnInitDialog();
  window.Show();
  std::string line;
  while (!window.Ended()) {
    if (!std::getline(in, line)) {
      alignment.OnCancel();
      break;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!Apply(alignment, line)) {
      std::fprintf(out, "unknown command \"%s\"\n", line.c_str());
      continue;
    }
    if (!window.Ended()) window.Show();
  }
}

}  // namespace plotsend
