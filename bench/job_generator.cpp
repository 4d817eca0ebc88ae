#include "bench/job_generator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <vector>

#include "bench/bench_random.h"
#include "job/file_io.h"

namespace plotsend {
namespace {

struct Pt {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Pt&) const = default;
};

// Unit vectors at 11.25 degree steps, scaled by 4096.
constexpr int kDirs = 32;
constexpr int32_t kUnit = 4096;
constexpr std::array<Pt, kDirs> kDir = {{
    {4096, 0},      {4017, 799},    {3784, 1567},  {3406, 2276},  {2896, 2896},   {2276, 3406},   {1567, 3784},
    {799, 4017},    {0, 4096},      {-799, 4017},  {-1567, 3784}, {-2276, 3406},  {-2896, 2896},  {-3406, 2276},
    {-3784, 1567},  {-4017, 799},   {-4096, 0},    {-4017, -799}, {-3784, -1567}, {-3406, -2276}, {-2896, -2896},
    {-2276, -3406}, {-1567, -3784}, {-799, -4017}, {0, -4096},    {799, -4017},   {1567, -3784},  {2276, -3406},
    {2896, -2896},  {3406, -2276},  {3784, -1567}, {4017, -799},
}};

// Glyph outlines with straight strokes, on a 0..100 grid (x right, y up).
struct GlyphTemplate {
  std::array<Pt, 12> pts;
  int count;
};
constexpr std::array<GlyphTemplate, 5> kStrokeGlyphs = {{
    {{{{0, 0}, {70, 0}, {70, 18}, {20, 18}, {20, 100}, {0, 100}}}, 6},                      // L
    {{{{30, 0}, {50, 0}, {50, 82}, {80, 82}, {80, 100}, {0, 100}, {0, 82}, {30, 82}}}, 8},  // T
    {{{{0, 0},
       {20, 0},
       {20, 40},
       {60, 40},
       {60, 0},
       {80, 0},
       {80, 100},
       {60, 100},
       {60, 58},
       {20, 58},
       {20, 100},
       {0, 100}}},
     12},                                                                             // H
    {{{{0, 100}, {40, 0}, {60, 0}, {100, 100}, {80, 100}, {50, 25}, {20, 100}}}, 7},  // V
    {{{{0, 0}, {20, 0}, {20, 100}, {0, 100}}}, 4},                                    // I
}};

constexpr size_t kPieceBytes = 1 << 20;
constexpr size_t kMaxPairsPerCommand = 4000;  // keeps every command far below 256 KiB
constexpr size_t kApproxBytesPerPair = 11;

int32_t Clamp(int64_t v, int32_t lo, int32_t hi) { return static_cast<int32_t>(std::clamp<int64_t>(v, lo, hi)); }

double Distance(Pt a, Pt b) {
  const double dx = static_cast<double>(b.x) - a.x;
  const double dy = static_cast<double>(b.y) - a.y;
  return std::sqrt(dx * dx + dy * dy);  // correctly rounded: the same everywhere
}

class Generator {
 public:
  Generator(const JobGenOptions& options, const JobSink& sink)
      : opt_(options),
        sink_(sink),
        rng_(options.seed),
        width_(std::max<int32_t>(options.sheetWidth, 1000)),
        height_(std::max<int32_t>(options.sheetHeight, 1000)),
        trailer_((options.lineBreaks ? 8 : 6) + (options.endMark ? 1 : 0)) {
    buf_.reserve(kPieceBytes + 64 * 1024);
    path_.reserve(4096);
  }

  size_t Run() {
    Command("IN;");
    Pen(1);
    while (Emitted() + trailer_ < opt_.targetBytes) {
      if (rng_.Range(0, 149) == 0) {
        const int32_t pen = rng_.Range(1, 7);
        Pen(pen < pen_ ? pen : pen + 1);  // any pen but the current one
      }
      if (opt_.shape == JobShape::kAcrossBands) {
        AcrossBandsPath();
        continue;
      }
      const int32_t pick = rng_.Range(0, 99);
      if (pick < 25) {
        Blob();
      } else if (pick < 40) {
        Polygon();
      } else if (pick < 60) {
        OpenPath();
      } else {
        TextRow();
      }
    }
    Command("PU0,0;");
    if (opt_.endMark) buf_.push_back('@');
    Flush();
    return total_;
  }

 private:
  size_t Emitted() const { return total_ + buf_.size(); }
  size_t Remaining() const {
    const size_t used = Emitted() + trailer_;
    return used < opt_.targetBytes ? opt_.targetBytes - used : 0;
  }

  void Flush() {
    if (buf_.empty()) return;
    sink_(buf_);
    total_ += buf_.size();
    buf_.clear();
  }
  void EndCommand() {
    buf_.push_back(';');
    if (opt_.lineBreaks) buf_.append("\r\n");
    if (buf_.size() >= kPieceBytes) Flush();
  }
  void Command(std::string_view text) {  // text ends with ';'
    buf_.append(text.substr(0, text.size() - 1));
    EndCommand();
  }
  void Pen(int32_t pen) {
    pen_ = pen;
    buf_.append("SP");
    buf_.push_back(static_cast<char>('0' + pen));
    EndCommand();
  }
  void Number(int32_t v) {
    char tmp[16];
    const auto res = std::to_chars(tmp, tmp + sizeof tmp, v);
    buf_.append(tmp, res.ptr);
  }
  void Pair(Pt p) {
    Number(p.x);
    buf_.push_back(',');
    Number(p.y);
  }

  // Adds a point, clamped to the sheet, unless it repeats the last one.
  void Add(int64_t x, int64_t y) {
    const Pt p{Clamp(x, 0, width_), Clamp(y, 0, height_)};
    if (path_.empty() || !(path_.back() == p)) path_.push_back(p);
  }

  // Cubic Bezier from the last point through c1, c2 to p3, flattened into
  // segments of about segLen units, in exact integer arithmetic.
  void Cubic(Pt c1, Pt c2, Pt p3, int32_t segLen) {
    const Pt p0 = path_.back();
    const double hull = Distance(p0, c1) + Distance(c1, c2) + Distance(c2, p3);
    const int64_t n = std::clamp<int64_t>(static_cast<int64_t>(hull / std::max(segLen, 1)), 2, 64);
    const int64_t n3 = n * n * n;
    for (int64_t i = 1; i <= n; ++i) {
      const int64_t s = n - i;
      const int64_t w0 = s * s * s, w1 = 3 * s * s * i, w2 = 3 * s * i * i, w3 = i * i * i;
      const int64_t x = w0 * p0.x + w1 * c1.x + w2 * c2.x + w3 * p3.x;
      const int64_t y = w0 * p0.y + w1 * c1.y + w2 * c2.y + w3 * p3.y;
      Add(x / n3, y / n3);
    }
  }

  // A smooth closed curve through the anchors (Catmull-Rom as cubics).
  void ClosedSpline(const std::vector<Pt>& a, int32_t segLen) {
    const size_t k = a.size();
    path_.clear();
    Add(a[0].x, a[0].y);
    for (size_t i = 0; i < k; ++i) {
      const Pt prev = a[(i + k - 1) % k], p = a[i], next = a[(i + 1) % k], next2 = a[(i + 2) % k];
      const Pt c1{p.x + (next.x - prev.x) / 6, p.y + (next.y - prev.y) / 6};
      const Pt c2{next.x - (next2.x - p.x) / 6, next.y - (next2.y - p.y) / 6};
      Cubic(c1, c2, next, segLen);
    }
    if (!(path_.back() == path_.front())) path_.push_back(path_.front());
  }

  // Anchors around a centre on an ellipse, radii jittered by +-jitter percent.
  void EllipseAnchors(Pt c, int32_t rx, int32_t ry, int k, int32_t jitter) {
    anchors_.clear();
    const int turn = rng_.Range(0, kDirs - 1);
    for (int j = 0; j < k; ++j) {
      const Pt d = kDir[static_cast<size_t>((j * kDirs / k + turn) % kDirs)];
      const int64_t f = 100 + rng_.Range(-jitter, jitter);
      anchors_.push_back({Clamp(c.x + int64_t{d.x} * rx * f / (kUnit * 100), 0, width_),
                          Clamp(c.y + int64_t{d.y} * ry * f / (kUnit * 100), 0, height_)});
    }
  }

  Pt Centre(int32_t rx, int32_t ry) {
    return {rng_.Range(std::min(rx, width_ / 2), std::max(width_ - rx, width_ / 2)),
            rng_.Range(std::min(ry, height_ / 2), std::max(height_ - ry, height_ / 2))};
  }

  // Writes path_ as "PU" to its first point and "PD" through the rest.
  void EmitPath() {
    if (path_.size() < 2) return;
    const size_t room = Remaining() / kApproxBytesPerPair + 2;
    if (path_.size() > room) path_.resize(std::max<size_t>(room, 2));

    buf_.append("PU");
    Pair(path_[0]);
    EndCommand();

    const int32_t style = rng_.Range(0, 9);
    const size_t perCommand = style < 5   ? kMaxPairsPerCommand  // one command per path
                              : style < 8 ? static_cast<size_t>(rng_.Range(2, 8))
                                          : 1;  // one pair per command
    size_t inCommand = 0;
    for (size_t i = 1; i < path_.size(); ++i) {
      if (inCommand == 0) {
        buf_.append("PD");
      } else {
        buf_.push_back(',');
      }
      Pair(path_[i]);
      if (++inCommand == perCommand || i + 1 == path_.size()) {
        EndCommand();
        inCommand = 0;
      }
    }
  }

  // A curved outline such as a logo part or a shape traced from artwork.
  void Blob() {
    const int32_t rx = rng_.Range(400, 8000);
    const int32_t ry = rx * rng_.Range(50, 150) / 100;
    EllipseAnchors(Centre(rx, ry), rx, ry, rng_.Range(4, 10), 30);
    ClosedSpline(anchors_, rng_.Range(40, 160));
    EmitPath();
  }

  // Sharp corners: a rectangle or a star / regular polygon.
  void Polygon() {
    path_.clear();
    if (rng_.Percent(50)) {
      const int32_t w = rng_.Range(400, 20000), h = rng_.Range(400, 12000);
      const Pt c = Centre(w / 2, h / 2);
      const Pt lo{c.x - w / 2, c.y - h / 2};
      Add(lo.x, lo.y);
      Add(lo.x + w, lo.y);
      Add(lo.x + w, lo.y + h);
      Add(lo.x, lo.y + h);
    } else {
      const int32_t r = rng_.Range(300, 6000);
      const Pt c = Centre(r, r);
      const bool star = rng_.Percent(50);
      const int corners = star ? rng_.Range(5, 8) : rng_.Range(3, 8);
      const int steps = star ? 2 * corners : corners;
      const int turn = rng_.Range(0, kDirs - 1);
      for (int j = 0; j < steps; ++j) {
        const Pt d = kDir[static_cast<size_t>((j * kDirs / steps + turn) % kDirs)];
        const int64_t rr = (star && j % 2 == 1) ? r * 45 / 100 : r;
        Add(c.x + d.x * rr / kUnit, c.y + d.y * rr / kUnit);
      }
    }
    if (path_.size() >= 3) path_.push_back(path_.front());
    EmitPath();
  }

  // An open line: a chain of curves or a polyline with straight runs.
  void OpenPath() {
    path_.clear();
    Pt p{rng_.Range(0, width_), rng_.Range(0, height_)};
    Add(p.x, p.y);
    const int pieces = rng_.Range(1, 6);
    const bool curved = rng_.Percent(60);
    const int32_t segLen = rng_.Range(40, 160);
    for (int i = 0; i < pieces; ++i) {
      const int32_t reach = rng_.Range(500, 6000);
      const Pt to{Clamp(int64_t{p.x} + rng_.Range(-reach, reach), 0, width_),
                  Clamp(int64_t{p.y} + rng_.Range(-reach, reach), 0, height_)};
      if (curved) {
        const Pt c1{Clamp(int64_t{p.x} + rng_.Range(-reach, reach), 0, width_),
                    Clamp(int64_t{p.y} + rng_.Range(-reach, reach), 0, height_)};
        const Pt c2{Clamp(int64_t{to.x} + rng_.Range(-reach, reach), 0, width_),
                    Clamp(int64_t{to.y} + rng_.Range(-reach, reach), 0, height_)};
        Cubic(c1, c2, to, segLen);
      } else if (rng_.Percent(50)) {
        Add(to.x, p.y);  // axis-parallel runs, as in frames and weeding lines
        Add(to.x, to.y);
      } else {
        Add(to.x, to.y);
      }
      p = path_.back();
    }
    EmitPath();
  }

  // A line of lettering: small closed glyph outlines side by side, round
  // glyphs with a counter, stroke glyphs with sharp corners.
  void TextRow() {
    const int32_t h = rng_.Range(200, 1500);
    const int letters = rng_.Range(3, 14);
    const int64_t rowWidth = int64_t{h} * letters;
    int64_t x = rng_.Range(0, static_cast<int32_t>(std::max<int64_t>(width_ - rowWidth, 0)));
    const int32_t y = rng_.Range(0, std::max(height_ - h, 0));
    const int32_t segLen = std::max(h / rng_.Range(15, 40), 8);
    for (int i = 0; i < letters && Remaining() > 0; ++i) {
      const int32_t w = h * rng_.Range(50, 80) / 100;
      const int32_t kind = rng_.Range(0, 9);
      if (kind < 4) {  // o, e, a: outer outline and a counter
        const Pt c{static_cast<int32_t>(std::min<int64_t>(x + w / 2, width_)), y + h / 2};
        EllipseAnchors(c, w / 2, h / 2, 8, 6);
        ClosedSpline(anchors_, segLen);
        EmitPath();
        if (Remaining() == 0) break;
        EllipseAnchors(c, w / 4, h / 4, rng_.Range(4, 8), 10);
        ClosedSpline(anchors_, segLen);
        EmitPath();
      } else if (kind < 6) {  // s, c: one irregular curved outline
        const Pt c{static_cast<int32_t>(std::min<int64_t>(x + w / 2, width_)), y + h / 2};
        EllipseAnchors(c, w / 2, h / 2, rng_.Range(5, 9), 35);
        ClosedSpline(anchors_, segLen);
        EmitPath();
      } else {
        const GlyphTemplate& g =
            kStrokeGlyphs[static_cast<size_t>(rng_.Range(0, static_cast<int32_t>(kStrokeGlyphs.size()) - 1))];
        path_.clear();
        for (int j = 0; j < g.count; ++j) {
          const Pt q = g.pts[static_cast<size_t>(j)];
          Add(x + int64_t{q.x} * w / 100, y + int64_t{q.y} * h / 100);
        }
        path_.push_back(path_.front());
        EmitPath();
      }
      x += w + h / 8;
    }
  }

  // One path of a long job: of the three kinds, the one furthest below its
  // third of the bytes.
  void AcrossBandsPath() {
    size_t least = 0;
    for (size_t k = 1; k < acrossBytes_.size(); ++k) {
      if (acrossBytes_[k] < acrossBytes_[least]) least = k;
    }
    const size_t before = Emitted();
    if (least == 0) {
      WeedingLine();
    } else if (least == 1) {
      LongOutline();
    } else {
      Zigzag();
    }
    acrossBytes_[least] += Emitted() - before;
  }

  // A weeding line or a frame over the whole length of the sheet.
  void WeedingLine() {
    path_.clear();
    const int32_t x = rng_.Range(0, width_);
    const int32_t y0 = rng_.Range(0, height_ / 100);
    const int32_t y1 = height_ - rng_.Range(0, height_ / 100);
    Add(x, y0);
    Add(x, y1);
    if (rng_.Percent(30)) {
      const int32_t x2 = Clamp(int64_t{x} + rng_.Range(-8000, 8000), 0, width_);
      Add(x2, y1);
      Add(x2, y0);
      Add(x, y0);
    }
    EmitPath();
  }

  // The curved outline of a long, narrow strip: up one side and down the
  // other, flattened into short segments.
  void LongOutline() {
    const int32_t x0 = rng_.Range(0, width_);
    const int32_t strip = rng_.Range(300, 3000);
    const int32_t y0 = rng_.Range(0, height_ / 20);
    const int32_t y1 = height_ - rng_.Range(0, height_ / 20);
    const int k = rng_.Range(12, 40);
    anchors_.clear();
    for (int j = 0; j <= k; ++j) {
      const int64_t y = y0 + int64_t{y1 - y0} * j / k;
      anchors_.push_back({Clamp(int64_t{x0} + rng_.Range(-1500, 1500), 0, width_), Clamp(y, 0, height_)});
    }
    for (int j = k; j >= 0; --j) {
      const int64_t y = y0 + int64_t{y1 - y0} * j / k;
      anchors_.push_back({Clamp(int64_t{x0} + strip + rng_.Range(-1500, 1500), 0, width_), Clamp(y, 0, height_)});
    }
    ClosedSpline(anchors_, rng_.Range(40, 160));
    EmitPath();
  }

  // An open line that runs along the feed axis two steps forward, one step
  // back, crossing the same stretch of the sheet again and again.
  void Zigzag() {
    path_.clear();
    int64_t x = rng_.Range(0, width_);
    int64_t y = rng_.Range(0, height_ / 2);
    const int64_t end = std::min<int64_t>(y + rng_.Range(height_ / 4, height_), height_);
    Add(x, y);
    while (y < end) {
      const int32_t forward = rng_.Range(800, 6000);
      y += forward;
      x = Clamp(x + rng_.Range(-400, 400), 0, width_);
      Add(x, y);
      y -= int64_t{forward} * rng_.Range(30, 80) / 100;
      x = Clamp(x + rng_.Range(-400, 400), 0, width_);
      Add(x, y);
    }
    EmitPath();
  }

  const JobGenOptions& opt_;
  const JobSink& sink_;
  Rng rng_;
  int32_t width_;
  int32_t height_;
  size_t trailer_;  // bytes of the closing "PU0,0;" and "@"
  int32_t pen_ = 1;
  std::string buf_;
  size_t total_ = 0;
  std::vector<Pt> path_;
  std::vector<Pt> anchors_;
  std::array<size_t, 3> acrossBytes_{};  // bytes of each kind of path in a long job
};

}  // namespace

size_t GenerateJob(const JobGenOptions& options, const JobSink& sink) {
  Generator gen(options, sink);
  return gen.Run();
}

std::string GenerateJobText(const JobGenOptions& options) {
  std::string out;
  out.reserve(options.targetBytes + 4096);
  GenerateJob(options, [&out](std::string_view piece) { out.append(piece); });
  return out;
}

bool WriteJobFile(const std::string& path, const JobGenOptions& options) {
  std::ofstream file(Utf8Path(path), std::ios::binary | std::ios::trunc);
  if (!file) return false;
  GenerateJob(options, [&file](std::string_view piece) {
    file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  });
  file.close();
  return !file.fail();
}

}  // namespace plotsend
