#include "plt_file.h"

#include <array>
#include <charconv>
#include <cstring>
#include <exception>
#include <utility>

#include "decimal.h"
#include "file_io.h"

namespace plotsend {
namespace {

// The coordinates a freshly loaded job compares its first point against.
constexpr int32_t kStartCoordinate = -100;

// One number string of a coordinate pair, converted as it is collected:
// the same result as ParseInt32 on the collected digits and minus signs
// (a leading '-' is the sign, anything after the digits ends the number),
// without holding the string.
class NumberAccumulator {
 public:
  // Adds the run of digits starting at p; returns the first byte after it.
  // The run always ends before the command's closing ';'.
  const char* AddDigits(const char* p) {
    if (stopped_) {
      while (IsDigit(*p)) ++p;
      return p;
    }
    empty_ = false;
    int64_t v = value_;
    for (; IsDigit(*p); ++p) {
      if (v <= kLimit) v = v * 10 + (*p - '0');
    }
    value_ = v;
    return p;
  }
  void AddMinus() {
    if (empty_) {
      negative_ = true;
      empty_ = false;
    } else {
      stopped_ = true;
    }
  }
  int32_t Value() const { return SaturateInt32(negative_ ? -value_ : value_); }
  void Clear() { *this = NumberAccumulator{}; }

  static bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

 private:
  static constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;  // saturated beyond this
  int64_t value_ = 0;
  bool negative_ = false;
  bool empty_ = true;
  bool stopped_ = false;
};

inline bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Room for the points of `textSize` bytes at a typical density; only a
// hint, the list grows past it.
void ReservePoints(std::vector<JobPoint>& points, uint64_t textSize) {
  try {
    points.reserve(static_cast<size_t>(textSize / 6));
  } catch (const std::exception&) {
  }
}

// First byte at or after p that is not CR/LF; callers only scan ahead of a
// command's closing ';', so the scan always stops.
inline const char* SkipLineBreaks(const char* p) {
  while (IsLineBreak(*p)) ++p;
  return p;
}

// Whether the command [p, semi] holds at least `n` bytes once CR/LF are left out.
bool HasLengthAtLeast(const char* p, const char* semi, int n) {
  if (semi - p + 1 < n) return false;
  for (; p <= semi && n > 0; ++p) {
    if (!IsLineBreak(*p)) --n;
  }
  return n == 0;
}

class Parser {
 public:
  explicit Parser(std::vector<JobPoint>& out) : out_(out) {}

  void Run(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
      const auto* semi = static_cast<const char*>(std::memchr(p, ';', static_cast<size_t>(end - p)));
      if (semi == nullptr) break;  // trailing bytes without ';' ("@") are not a command
      Command(SkipLineBreaks(p), semi);
      p = semi + 1;
    }
  }

 private:
  // One command from its first non-CR/LF byte `c` to its closing ';'.
  void Command(const char* c, const char* semi) {
    const char first = *c;
    if (first == 'T') {
      const char* second = SkipLineBreaks(c + 1);
      if (*second != 'M') return;
      const char* third = SkipLineBreaks(second + 1);  // exists: 'M' is not the ';'
      Marker(static_cast<unsigned char>(*third));
    } else if (first == 'U' || first == 'D') {
      if (!HasLengthAtLeast(c, semi, 4)) return;
      Pairs(c + 1, semi, first == 'U' ? kPenUp : kCut);
    }
  }

  // The kind is the third character's code minus 45 ("TM1;" gives 4). Only
  // characters that give a marker kind are accepted: below '1' the kind
  // would read as a move (or wrap around), so such commands are ignored.
  void Marker(unsigned char code) {
    if (code < '1') return;
    out_.push_back(JobPoint{lastX_, lastY_, static_cast<uint8_t>(code - 45)});
  }

  // Coordinate pairs of a U/D command: digits and '-' go to the current
  // number, each ' ', ',' or ';' switches between the first (y) and second
  // (x) number; switching back to the first completes a pair.
  void Pairs(const char* p, const char* semi, uint8_t kind) {
    NumberAccumulator number[2];
    int current = 0;
    while (p <= semi) {
      const char ch = *p;
      if (NumberAccumulator::IsDigit(ch)) {
        p = number[current].AddDigits(p);
        continue;
      }
      if (ch == '-') {
        number[current].AddMinus();
      } else if (ch == ' ' || ch == ',' || ch == ';') {
        if (current == 1) {
          Point(number[1].Value(), number[0].Value(), kind);
          number[0].Clear();
          number[1].Clear();
        }
        current ^= 1;
      }
      ++p;
    }
  }

  void Point(int32_t x, int32_t y, uint8_t kind) {
    if (x == lastX_ && y == lastY_) return;
    out_.push_back(JobPoint{x, y, kind});
    lastX_ = x;
    lastY_ = y;
  }

  std::vector<JobPoint>& out_;
  int32_t lastX_ = kStartCoordinate;
  int32_t lastY_ = kStartCoordinate;
};

// Parses into a fresh list; false (and `out` untouched) when memory runs out.
bool ParseInto(std::string_view text, std::vector<JobPoint>& out) {
  try {
    std::vector<JobPoint> points;
    ReservePoints(points, text.size());
    Parser(points).Run(text);
    out.swap(points);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Reads and parses a file a piece at a time, so that its text is never held
// whole: each run of complete commands is parsed as soon as its ';' has
// arrived, and only the unfinished command is carried to the next piece.
// False (and `out` untouched) when the file cannot be read or memory runs out.
bool LoadInto(const std::string& path, std::vector<JobPoint>& out) {
  constexpr size_t kPieceSize = 1 << 20;
  try {
    std::vector<JobPoint> points;
    Parser parser(points);
    std::string carry;
    const bool read = ReadInPieces(path, kPieceSize, [&](std::string_view piece, uint64_t size) {
      if (points.capacity() == 0) ReservePoints(points, size);
      const size_t last = piece.rfind(';');
      if (last == std::string_view::npos) {
        carry.append(piece);  // a command longer than a piece goes on
        return;
      }
      size_t from = 0;
      if (!carry.empty()) {  // finish the carried command first
        from = piece.find(';') + 1;
        carry.append(piece.substr(0, from));
        parser.Run(carry);
        carry.clear();
      }
      parser.Run(piece.substr(from, last + 1 - from));
      carry.append(piece.substr(last + 1));
    });
    if (!read) return false;
    out.swap(points);  // the bytes after the last ';' are no command
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

int32_t SaturatingAdd(int32_t a, int32_t b) { return SaturateInt32(int64_t{a} + b); }
int32_t SaturatingSub(int32_t a, int32_t b) { return SaturateInt32(int64_t{a} - b); }

// Formats "<letter><y>,<x>;" or "TM<n>;" into a bounded local buffer.
class CommandFormatter {
 public:
  std::string_view Move(char letter, int32_t y, int32_t x) {
    char* p = buffer_.data();
    *p++ = letter;
    p = Number(p, y);
    *p++ = ',';
    p = Number(p, x);
    *p++ = ';';
    return {buffer_.data(), static_cast<size_t>(p - buffer_.data())};
  }
  std::string_view Marker(int n) {
    char* p = buffer_.data();
    *p++ = 'T';
    *p++ = 'M';
    p = Number(p, n);
    *p++ = ';';
    return {buffer_.data(), static_cast<size_t>(p - buffer_.data())};
  }

 private:
  // An int32 takes at most 11 characters ("-2147483648").
  static constexpr int kMaxDigits = 11;
  static char* Number(char* p, int32_t v) { return std::to_chars(p, p + kMaxDigits, v).ptr; }
  // Letter, two numbers, comma and ';'.
  std::array<char, 2 * kMaxDigits + 3> buffer_{};
};

}  // namespace

CPLTFile::CPLTFile(Notify notify) : notify_(std::move(notify)) {}

void CPLTFile::SetDashedLine(bool enabled, double lineMm, double gapMm) {
  dashed_ = enabled;
  dashLineMm_ = lineMm;
  dashGapMm_ = gapMm;
}

void CPLTFile::SetMarkPositions(const MarkCorrection& positions, int32_t spanX, int32_t spanY) {
  markPositions_ = positions;
  spanX_ = spanX;
  spanY_ = spanY;
}

int CPLTFile::LoadPlt(const std::string& path) {
  bool loaded = false;
  try {
    loaded = LoadInto(path, points_);
  } catch (const std::exception&) {
    loaded = false;  // the file is larger than the memory available
  }
  if (!loaded) {
    if (notify_) notify_("Open File Failed");
    return 0;
  }
  return 1;
}

void CPLTFile::ParsePlt(std::string_view text) { ParseInto(text, points_); }

int CPLTFile::ComputeBounds() {
  Bounds b;
  if (!points_.empty() && points_.front().kind < 3) {
    const JobPoint& p = points_.front();
    b = Bounds{p.x, p.y, p.x, p.y};
  }
  for (const JobPoint& p : points_) {
    if (p.kind >= 3) continue;
    if (p.x < b.minX) b.minX = p.x;
    if (p.x > b.maxX) b.maxX = p.x;
    if (p.y < b.minY) b.minY = p.y;
    if (p.y > b.maxY) b.maxY = p.y;
  }
  bounds_ = b;
  jobLength_ = SaturateInt32(int64_t{b.maxY} - b.minY);
  return 1;
}

int CPLTFile::MoveToOrigin(int32_t dx, int32_t dy) {
  for (JobPoint& p : points_) {
    p.x = SaturatingSub(p.x, dx);
    p.y = SaturatingSub(p.y, dy);
  }
  return 1;
}

bool CPLTFile::ApplyOriginOffset(int32_t dx, int32_t dy) {
  for (JobPoint& p : points_) {
    p.x = SaturatingAdd(p.x, dx);
    p.y = SaturatingAdd(p.y, dy);
  }
  return true;
}

int CPLTFile::SaveNormalizedPlt(const std::string& path) {
  try {
    BufferedWriter out(path);
    if (!out.Ok()) return 0;
    CommandFormatter fmt;
    out.Write("IN;PA;U0,0;");
    for (const JobPoint& p : points_) {
      if (p.kind >= kFirstMarker) {
        out.Write(fmt.Marker(p.kind - 3));
      } else {
        out.Write(fmt.Move(p.kind >= kCut ? 'D' : 'U', p.y, p.x));
      }
    }
    int32_t finalY = jobLength_;
    if (mark_.MarkType == 8 || mark_.MarkType == 9) {
      const int32_t sections = mark_.SectionCount == 0 ? 1 : mark_.SectionCount;
      sectionWidth_ = mark_.MarkSpanY / sections;
      finalY = sectionWidth_;
    }
    out.Write(fmt.Move('U', finalY, 0));
    return out.Close() ? 1 : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace plotsend
