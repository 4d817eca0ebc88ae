#include "import/hpgl_import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "import/flatten.h"
#include "import/hpgl_dialect.h"

namespace plotmark {
namespace {

constexpr double kTolerance = kFlatnessMm * kUnitsPerMm;  // in plotter units
constexpr double kLargest = 1e9;                          // numbers are clamped to this

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Reads the commands one by one.
class Reader {
 public:
  explicit Reader(std::string_view text) : t_(text) {}

  bool AtEnd() const { return i_ >= t_.size(); }

  // Skips separators and escape sequences; false at the end.
  bool NextMnemonic(std::string& mnemonic) {
    while (i_ < t_.size()) {
      const char c = t_[i_];
      if (c == '\x1b') {
        SkipEscape();
      } else if (IsLetter(c) && i_ + 1 < t_.size() && IsLetter(t_[i_ + 1])) {
        mnemonic = {Upper(c), Upper(t_[i_ + 1])};
        i_ += 2;
        return true;
      } else {
        ++i_;  // ';', blanks, stray characters
      }
    }
    return false;
  }

  // The numeric parameters up to the next command, ';' or the end.
  void Parameters(std::vector<double>& out) {
    out.clear();
    while (i_ < t_.size()) {
      const char c = t_[i_];
      if (c == ';' || IsLetter(c) || c == '\x1b') break;
      if (c == '"') {  // a quoted string (CO, BP): skipped
        const size_t end = t_.find('"', i_ + 1);
        i_ = end == std::string_view::npos ? t_.size() : end + 1;
      } else if (c == '-' || c == '+' || c == '.' || (c >= '0' && c <= '9')) {
        out.push_back(Number());
      } else {
        ++i_;
      }
    }
    if (i_ < t_.size() && t_[i_] == ';') ++i_;
  }

  // LB: the text up to the terminator, skipped.
  void SkipLabel(char terminator) {
    const size_t end = t_.find(terminator, i_);
    i_ = end == std::string_view::npos ? t_.size() : end + 1;
    if (i_ < t_.size() && t_[i_] == ';') ++i_;
  }

  // DT: the terminator character itself.
  char TerminatorArgument(char current) {
    if (i_ < t_.size() && t_[i_] != ';') return t_[i_++];
    return current;
  }

 private:
  double Number() {
    bool negative = false;
    if (t_[i_] == '-' || t_[i_] == '+') negative = t_[i_++] == '-';
    double value = 0, scale = 1;
    bool fraction = false;
    for (; i_ < t_.size(); ++i_) {
      const char c = t_[i_];
      if (c >= '0' && c <= '9') {
        if (fraction) {
          scale /= 10;
          value += (c - '0') * scale;
        } else {
          value = std::min(value * 10 + (c - '0'), kLargest);
        }
      } else if (c == '.' && !fraction) {
        fraction = true;
      } else {
        break;
      }
    }
    return negative ? -value : value;
  }

  // ESC . x ... : or ESC % ... letter (device control and PCL switches).
  void SkipEscape() {
    ++i_;
    if (i_ >= t_.size()) return;
    const char kind = t_[i_++];
    if (kind == '.') {
      if (i_ < t_.size()) ++i_;  // the function letter
      while (i_ < t_.size() && t_[i_] != ':' && t_[i_] != '\x1b' && !IsLetter(t_[i_])) ++i_;
      if (i_ < t_.size() && t_[i_] == ':') ++i_;
    } else if (kind == '%') {
      while (i_ < t_.size() && !IsLetter(t_[i_])) ++i_;
      if (i_ < t_.size()) ++i_;
    }
  }

  std::string_view t_;
  size_t i_ = 0;
};

// Scaling from user units to plotter units (IP and SC).
struct Scaling {
  double p1x = 0, p1y = 0, p2x = 10000, p2y = 10000;
  bool on = false;
  double sx = 1, sy = 1, ox = 0, oy = 0;  // plotter = o + s * user

  void Set(const std::vector<double>& v) {
    on = false;
    if (v.size() < 4) return;
    const int type = v.size() >= 5 ? static_cast<int>(v[4]) : 0;
    if (type == 2) {  // SC xmin, xfactor, ymin, yfactor, 2
      sx = v[1];
      sy = v[3];
    } else {
      const double dx = v[1] - v[0], dy = v[3] - v[2];
      if (dx == 0 || dy == 0) return;
      sx = (p2x - p1x) / dx;
      sy = (p2y - p1y) / dy;
      if (type == 1) {  // isotropic: the smaller factor, centred
        const double s = std::min(std::abs(sx), std::abs(sy));
        const double left = v.size() >= 6 ? v[5] / 100 : 0.5, bottom = v.size() >= 7 ? v[6] / 100 : 0.5;
        const double spareX = (p2x - p1x) - s * std::abs(dx) * (sx < 0 ? -1 : 1);
        const double spareY = (p2y - p1y) - s * std::abs(dy) * (sy < 0 ? -1 : 1);
        sx = std::copysign(s, sx);
        sy = std::copysign(s, sy);
        ox = p1x + spareX * left - sx * v[0];
        oy = p1y + spareY * bottom - sy * v[2];
        on = true;
        return;
      }
    }
    ox = p1x - sx * v[0];
    oy = p1y - sy * v[2];
    on = sx != 0 && sy != 0;
  }
  double X(double x) const { return on ? ox + sx * x : x; }
  double Y(double y) const { return on ? oy + sy * y : y; }
  double Dx(double d) const { return on ? sx * d : d; }
  double Dy(double d) const { return on ? sy * d : d; }
};

class Plotter {
 public:
  explicit Plotter(Design& design) : d_(design) {}

  void Reset() {
    EndPath();
    down_ = false;
    relative_ = false;
    scaling_ = Scaling{};
    x_ = y_ = 0;
  }

  void Pen(bool down, const std::vector<double>& v) {
    if (!down) EndPath();
    down_ = down;
    MoveAll(v);
  }
  void Mode(bool relative, const std::vector<double>& v) {
    relative_ = relative;
    MoveAll(v);
  }
  void InputP1P2(const std::vector<double>& v) {
    if (v.size() >= 4) {
      scaling_.p1x = v[0], scaling_.p1y = v[1], scaling_.p2x = v[2], scaling_.p2y = v[3];
    } else if (v.size() >= 2) {  // P2 follows P1
      scaling_.p2x = v[0] + (scaling_.p2x - scaling_.p1x);
      scaling_.p2y = v[1] + (scaling_.p2y - scaling_.p1y);
      scaling_.p1x = v[0], scaling_.p1y = v[1];
    } else {
      scaling_.p1x = scaling_.p1y = 0, scaling_.p2x = scaling_.p2y = 10000;
    }
  }
  void Scale(const std::vector<double>& v) { scaling_.Set(v); }

  // CI r: a closed circle around the pen, which then stays where it was.
  void Circle(const std::vector<double>& v) {
    if (v.empty()) return;
    const double rx = std::abs(scaling_.Dx(v[0])), ry = std::abs(scaling_.Dy(v[0]));
    if (rx == 0 && ry == 0) return;
    EndPath();
    scratch_.clear();
    scratch_.push_back({x_ + rx, y_});
    FlattenEllipseArc({x_, y_}, rx, ry, 0, 0, 2 * std::numbers::pi, kTolerance, scratch_);
    scratch_.back() = scratch_.front();
    Emit(scratch_, true);
    scratch_.clear();
  }

  // AA x, y, angle / AR dx, dy, angle: an arc from the pen around a centre,
  // counter-clockwise for a positive angle (y up).
  void Arc(bool relative, const std::vector<double>& v) {
    if (v.size() < 3) return;
    const double cx = relative ? x_ + scaling_.Dx(v[0]) : scaling_.X(v[0]);
    const double cy = relative ? y_ + scaling_.Dy(v[1]) : scaling_.Y(v[1]);
    const double r = std::hypot(x_ - cx, y_ - cy);
    const double start = std::atan2(y_ - cy, x_ - cx);
    const double sweep = std::clamp(v[2], -3600.0, 3600.0) * std::numbers::pi / 180;
    std::vector<Point> arc;
    FlattenEllipseArc({cx, cy}, r, r, 0, start, sweep, kTolerance, arc);
    for (const Point& p : arc) To(p.x, p.y);
  }

  void Finish() { EndPath(); }

 private:
  void MoveAll(const std::vector<double>& v) {
    for (size_t k = 0; k + 1 < v.size(); k += 2) {
      if (relative_) To(x_ + scaling_.Dx(v[k]), y_ + scaling_.Dy(v[k + 1]));
      else To(scaling_.X(v[k]), scaling_.Y(v[k + 1]));
    }
  }

  void To(double x, double y) {
    x = std::clamp(x, -kLargest, kLargest);
    y = std::clamp(y, -kLargest, kLargest);
    if (down_) {
      if (path_.empty()) path_.push_back({x_, y_});
      path_.push_back({x, y});
    }
    x_ = x;
    y_ = y;
  }

  void EndPath() {
    if (path_.size() >= 2) Emit(path_, path_.front() == path_.back());
    path_.clear();
  }

  void Emit(const std::vector<Point>& pts, bool closed) {
    DesignPath p;
    p.begin = d_.points.size();
    for (const Point& q : pts) d_.points.push_back({q.x / kUnitsPerMm, -q.y / kUnitsPerMm});
    p.end = d_.points.size();
    p.closed = closed;
    p.stroke = 0x000000u;
    d_.paths.push_back(p);
  }

  Design& d_;
  Scaling scaling_;
  bool down_ = false, relative_ = false;
  double x_ = 0, y_ = 0;
  std::vector<Point> path_, scratch_;
};

}  // namespace

bool LooksLikeHpgl(std::string_view text) {
  Reader reader(text.substr(0, std::min<size_t>(text.size(), 4096)));
  // Only blanks, separators and escapes may come before the first command.
  size_t i = 0;
  while (i < text.size() && (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == ';')) ++i;
  if (i < text.size() && !IsLetter(text[i]) && text[i] != '\x1b') return false;
  // Settings such as VS or PG may come first; the first other command decides.
  std::string mnemonic;
  std::vector<double> parameters;
  while (reader.NextMnemonic(mnemonic)) {
    const HpglOp op = LookUpHpgl(mnemonic);
    if (op != HpglOp::Ignored) return op != HpglOp::Unsupported;
    reader.Parameters(parameters);
  }
  return false;
}

ImportResult ImportHpgl(std::string_view text) {
  ImportResult result;
  Design& d = result.design;
  d.kind = DesignKind::Hpgl;
  Reader reader(text);
  Plotter plotter(d);
  std::string mnemonic;
  std::vector<double> v;
  std::set<std::string> unsupported;
  char terminator = '\x03';
  size_t labels = 0;
  while (reader.NextMnemonic(mnemonic)) {
    const HpglOp op = LookUpHpgl(mnemonic);
    if (op == HpglOp::Label) {
      reader.SkipLabel(terminator);
      ++labels;
      continue;
    }
    if (op == HpglOp::Terminator) {
      terminator = reader.TerminatorArgument('\x03');
      reader.Parameters(v);
      continue;
    }
    reader.Parameters(v);
    switch (op) {
      case HpglOp::Init: plotter.Reset(); break;
      case HpglOp::Defaults: break;
      case HpglOp::PenUp: plotter.Pen(false, v); break;
      case HpglOp::PenDown: plotter.Pen(true, v); break;
      case HpglOp::Absolute: plotter.Mode(false, v); break;
      case HpglOp::Relative: plotter.Mode(true, v); break;
      case HpglOp::SelectPen: plotter.Pen(false, {}); break;  // a pen change lifts the pen
      case HpglOp::InputP1P2: plotter.InputP1P2(v); break;
      case HpglOp::Scale: plotter.Scale(v); break;
      case HpglOp::Circle: plotter.Circle(v); break;
      case HpglOp::ArcAbs: plotter.Arc(false, v); break;
      case HpglOp::ArcRel: plotter.Arc(true, v); break;
      // NOLINTNEXTLINE(bugprone-branch-clone): the ops without effect are named one by one
      case HpglOp::Ignored: break;
      case HpglOp::Label:
      case HpglOp::Terminator: break;
      case HpglOp::Unsupported: unsupported.insert(mnemonic); break;
    }
  }
  plotter.Finish();
  d.textCount = labels;
  if (labels > 0) d.warnings.push_back({ImportWarning::TextNotCut, labels, ""});
  if (!unsupported.empty()) {
    std::string names;
    for (const std::string& n : unsupported) names += (names.empty() ? "" : ", ") + n;
    d.warnings.push_back({ImportWarning::UnsupportedCommand, unsupported.size(), names});
  }
  return result;
}

}  // namespace plotmark
