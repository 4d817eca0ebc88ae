#include "app/cli/command_input.h"

#include <cctype>

namespace plotsend {
namespace {

constexpr size_t kMaxLine = 64;  // longer than any command

bool IsErase(char c) { return c == 0x7f || c == '\b'; }

CommandInput::Input KeyOf(TerminalKeys::Key key) {
  CommandInput::Input input;
  input.kind = CommandInput::Input::Kind::Key;
  input.key = key;
  return input;
}

}  // namespace

CommandInput::Input CommandInput::Next() {
  using Key = TerminalKeys::Key;
  for (;;) {
    const Key key = keys_.Next();
    const bool crLf = afterCr_ && key == Key::Enter && keys_.Char() == '\n';
    afterCr_ = key == Key::Enter && keys_.Char() == '\r';
    switch (key) {
      case Key::End: {
        Input last = TakeLine();  // a last line without its line end
        return last.kind == Input::Kind::Line ? last : Input{};
      }
      case Key::Enter:
        if (crLf) continue;
        if (!line_.empty()) Echo("\n");
        return TakeLine();  // Enter alone (or after blanks) is the key
      case Key::Esc:
        if (!line_.empty()) Echo("\n");
        line_.clear();
        return KeyOf(Key::Esc);
      case Key::Other: {
        const char c = keys_.Char();
        if (IsErase(c)) {
          if (!line_.empty()) {
            line_.pop_back();
            Echo("\b \b");
          }
        } else if (c == 's' && line_.empty() && keys_.IsTerminal()) {
          return KeyOf(Key::Other);  // the step key
        } else if (std::isprint(static_cast<unsigned char>(c)) && line_.size() < kMaxLine) {
          line_.push_back(c);
          const char text[2] = {c, '\0'};
          Echo(text);
        }
        continue;
      }
      default:  // an arrow: a key only on an empty line
        if (line_.empty()) return KeyOf(key);
        continue;
    }
  }
}

CommandInput::Input CommandInput::TakeLine() {
  const size_t first = line_.find_first_not_of(' ');
  const size_t last = line_.find_last_not_of(' ');
  std::string text = first == std::string::npos ? std::string() : line_.substr(first, last - first + 1);
  line_.clear();
  if (text.empty()) return KeyOf(TerminalKeys::Key::Enter);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  Input input;
  input.kind = Input::Kind::Line;
  input.line = std::move(text);
  return input;
}

void CommandInput::Echo(const char* text) {
  if (!keys_.IsTerminal()) return;
  std::fputs(text, echo_);
  std::fflush(echo_);
}

}  // namespace plotsend
