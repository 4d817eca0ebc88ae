#include "cutter-emu/sheet_layout.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace cutter_emu {
namespace {

constexpr std::string_view kMagic = "plotmark-layout 1";
constexpr size_t kMaxPathPoints = 100'000'000;

class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  // The next line that is neither empty nor a comment, without its line end.
  bool Next(std::string_view& line) {
    while (!text_.empty()) {
      const size_t end = text_.find('\n');
      line = text_.substr(0, end);
      text_ = end == std::string_view::npos ? std::string_view() : text_.substr(end + 1);
      ++number_;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (!line.empty() && line[0] != '#') return true;
    }
    return false;
  }
  int Number() const { return number_; }

 private:
  std::string_view text_;
  int number_ = 0;
};

// Numbers separated by single blanks, as many as `values` holds, and nothing after.
template <typename T, size_t N>
bool ReadNumbers(std::string_view text, T (&values)[N]) {
  for (size_t i = 0; i < N; ++i) {
    if (i > 0) {
      if (text.empty() || text[0] != ' ') return false;
      text.remove_prefix(1);
    }
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), values[i]);
    if (ec != std::errc() || p == text.data()) return false;
    if constexpr (std::is_floating_point_v<T>) {
      if (!std::isfinite(values[i])) return false;
    }
    text.remove_prefix(static_cast<size_t>(p - text.data()));
  }
  return text.empty();
}

bool Keyword(std::string_view line, std::string_view word, std::string_view& rest) {
  if (!line.starts_with(word) || line.size() <= word.size() || line[word.size()] != ' ') return false;
  rest = line.substr(word.size() + 1);
  return true;
}

}  // namespace

const SheetMark* SheetLayout::Mark(int label) const {
  for (const SheetMark& m : marks) {
    if (m.label == label) return &m;
  }
  return nullptr;
}

bool ParseSheetLayout(std::string_view text, SheetLayout& out, std::string& error) {
  Lines lines(text);
  std::string_view line, rest;
  auto fail = [&](const std::string& what) {
    error = "line " + std::to_string(lines.Number()) + ": " + what;
    return false;
  };
  if (!lines.Next(line) || line != kMagic) return fail("not a plotmark sheet layout (\"" + std::string(kMagic) + "\")");
  SheetLayout layout;
  while (lines.Next(line)) {
    int32_t i1[1];
    int32_t i2[2];
    double mark[3];
    if (Keyword(line, "marktype", rest) && ReadNumbers(rest, i1)) {
      layout.markType = i1[0];
    } else if (Keyword(line, "margin", rest) && ReadNumbers(rest, i1)) {
      layout.margin = i1[0];
    } else if (Keyword(line, "sections", rest) && ReadNumbers(rest, i1) && i1[0] >= 1) {
      layout.sections = i1[0];
    } else if (Keyword(line, "span", rest) && ReadNumbers(rest, i2)) {
      layout.spanX = i2[0];
      layout.spanY = i2[1];
    } else if (Keyword(line, "mark", rest) && ReadNumbers(rest, mark) && mark[0] == std::trunc(mark[0]) &&
               std::abs(mark[0]) < 1e6) {
      layout.marks.push_back({static_cast<int>(mark[0]), {mark[1], mark[2]}});
    } else if (size_t count[1]; Keyword(line, "path", rest) && ReadNumbers(rest, count)) {
      if (count[0] < 2 || count[0] > kMaxPathPoints) return fail("a path needs 2 points or more");
      std::vector<Vec> path;
      for (size_t i = 0; i < count[0]; ++i) {
        double xy[2];
        if (!lines.Next(line) || !ReadNumbers(line, xy)) return fail("expected \"x y\" of a path point");
        path.push_back({xy[0], xy[1]});
      }
      layout.contour.push_back(std::move(path));
    } else {
      return fail("not understood: \"" + std::string(line.substr(0, 60)) + "\"");
    }
  }
  if (layout.contour.empty()) return fail("the layout holds no contour");
  out = std::move(layout);
  return true;
}

bool LoadSheetLayout(const std::string& path, SheetLayout& layout, std::string& error) {
  std::string file = path;
  if (file.size() > 4 && file.ends_with(".svg")) file = file.substr(0, file.size() - 4) + ".layout.txt";
  std::ifstream in(file, std::ios::binary);
  if (!in) return error = "cannot read " + file, false;
  std::ostringstream text;
  text << in.rdbuf();
  if (!ParseSheetLayout(text.str(), layout, error)) return error = file + ": " + error, false;
  return true;
}

}  // namespace cutter_emu
