#include "job/plt_file.h"

#include <cstring>
#include <exception>
#include <functional>
#include <utility>

#include "job/decimal.h"
#include "job/file_io.h"
#include "job/int_text.h"
#include "job/plt_read_back.h"

namespace plotsend {
namespace {

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

// Parses a file handed over in pieces, so that neither its text nor its
// points are ever held whole: each run of complete commands is parsed as
// soon as its ';' has arrived and its points handed to `batch`; only the
// unfinished command is carried to the next piece. The pieces must add up
// to `expectedSize` bytes when that is given.
class PieceParser {
 public:
  using BatchFn = std::function<void(std::vector<JobPoint>&)>;
  PieceParser(const BatchFn& batch, const uint64_t* expectedSize)
      : batch_(batch), expectedSize_(expectedSize), parser_(points_) {}

  void Feed(std::string_view piece, uint64_t total) {
    size_ = total;
    seen_ += piece.size();
    if (expectedSize_ != nullptr && total != *expectedSize_) sizeOk_ = false;
    if (!sizeOk_) return;
    Parse(piece);
    Deliver();
  }

  // The file's length as the reader reported it; 0 when nothing was read.
  uint64_t FileSize() const { return seen_ == 0 ? 0 : size_; }
  // Whether the pieces were the whole file expected. The bytes after the
  // last ';' are no command.
  bool Complete() const { return sizeOk_ && (expectedSize_ == nullptr || seen_ == *expectedSize_); }

 private:
  void Parse(std::string_view piece) {
    const size_t last = piece.rfind(';');
    if (last == std::string_view::npos) {
      carry_.append(piece);  // a command longer than a piece goes on
      return;
    }
    size_t from = 0;
    if (!carry_.empty()) {  // finish the carried command first
      from = piece.find(';') + 1;
      carry_.append(piece.substr(0, from));
      parser_.Run(carry_);
      carry_.clear();
    }
    parser_.Run(piece.substr(from, last + 1 - from));
    carry_.append(piece.substr(last + 1));
  }

  void Deliver() {
    if (points_.empty()) return;
    batch_(points_);
    points_.clear();
  }

  const BatchFn& batch_;
  const uint64_t* const expectedSize_;
  std::vector<JobPoint> points_;
  Parser parser_;
  std::string carry_;
  uint64_t size_ = 0;
  uint64_t seen_ = 0;
  bool sizeOk_ = true;
};

// Reads and parses a file a piece at a time (PieceParser). False when the
// file cannot be read, is not `expectedSize` bytes long (when given), or
// memory runs out. `size` receives the file's length.
bool ParseFile(const std::string& path, const PieceParser::BatchFn& batch, uint64_t& size,
               const uint64_t* expectedSize = nullptr) {
  constexpr size_t kPieceSize = 1 << 20;
  try {
    PieceParser pieces(batch, expectedSize);
    const bool read = ReadInPieces(path, kPieceSize,
                                   [&pieces](std::string_view piece, uint64_t total) { pieces.Feed(piece, total); });
    size = pieces.FileSize();
    return read && pieces.Complete();
  } catch (const std::exception&) {
    return false;
  }
}

bool AnyCut(std::span<const JobPoint> points) {
  for (const JobPoint& p : points) {
    if (p.kind == kCut) return true;
  }
  return false;
}

int32_t SaturatingAdd(int32_t a, int32_t b) { return SaturateInt32(int64_t{a} + b); }
int32_t SaturatingSub(int32_t a, int32_t b) { return SaturateInt32(int64_t{a} - b); }

// Formats "<letter><y>,<x>;" and "TM<n>;" into a chunk that goes to the
// file writer in bulk.
class CommandFormatter {
 public:
  explicit CommandFormatter(BufferedWriter& out) : out_(out), chunk_(kChunk + kLongest) {}

  void Move(char letter, int32_t y, int32_t x) {
    char* p = Room();
    *p++ = letter;
    p = PutInt32(p, y);
    *p++ = ',';
    p = PutInt32(p, x);
    *p++ = ';';
    used_ = static_cast<size_t>(p - chunk_.data());
  }
  void Marker(int n) {
    char* p = Room();
    *p++ = 'T';
    *p++ = 'M';
    p = PutInt32(p, n);
    *p++ = ';';
    used_ = static_cast<size_t>(p - chunk_.data());
  }
  void Flush() {
    if (used_ > 0) out_.Write(std::string_view(chunk_.data(), used_));
    used_ = 0;
  }

 private:
  static constexpr size_t kChunk = 64 * 1024;
  // Longest item: a letter, two int32 numbers, "," and ";".
  static constexpr size_t kLongest = 2 * kMaxInt32Text + 3;

  // Where the next item goes; there are always kLongest bytes free there.
  char* Room() {
    if (used_ >= kChunk) Flush();
    return chunk_.data() + used_;
  }

  BufferedWriter& out_;
  std::vector<char> chunk_;
  size_t used_ = 0;
};

// A parsed text's points, held in memory.
class HeldPoints : public PointSource {
 public:
  explicit HeldPoints(std::vector<JobPoint> points) : points_(std::move(points)) {}
  bool ForEachBatch(const PointBatchFn& fn) const override {
    if (!points_.empty()) fn(points_);
    return true;
  }

 private:
  std::vector<JobPoint> points_;
};

// A loaded file's points, parsed again a piece at a time for every pass;
// the file must still be as long as it was when it was loaded.
class FilePoints : public PointSource {
 public:
  FilePoints(std::string path, uint64_t size) : path_(std::move(path)), size_(size) {}
  bool ForEachBatch(const PointBatchFn& fn) const override {
    uint64_t size = 0;
    return ParseFile(
        path_, [&fn](std::vector<JobPoint>& batch) { fn(batch); }, size, &size_);
  }

 private:
  std::string path_;
  uint64_t size_;
};

// Hands `points` to fn with the steps applied, in order.
bool ForEachStepped(const PointSource& points, const std::vector<PointTransform>& steps, const PointBatchFn& fn) {
  if (steps.empty()) return points.ForEachBatch(fn);
  std::vector<JobPoint> stepped;
  return points.ForEachBatch([&](std::span<const JobPoint> batch) {
    stepped.assign(batch.begin(), batch.end());
    for (const PointTransform& step : steps) {
      for (JobPoint& p : stepped) step.Apply(p);
    }
    fn(stepped);
  });
}

// The points the reader reads back from the plain work file of a job:
// "U0,0;" first, then the job's commands, then the closing move.
class SavedJobPoints : public PointSource {
 public:
  SavedJobPoints(std::shared_ptr<const PointSource> points, std::vector<PointTransform> steps, int32_t closingMove)
      : points_(std::move(points)), steps_(std::move(steps)), closingMove_(closingMove) {}

  bool ForEachBatch(const PointBatchFn& fn) const override {
    constexpr size_t kBatch = 4096;
    Batch out;
    out.points.reserve(kBatch + 1);
    PltReadBack<Batch> back(out);
    back.Move(false, 0, 0);
    const bool read = points_ == nullptr || ForEachStepped(*points_, steps_, [&](std::span<const JobPoint> batch) {
                        for (const JobPoint& p : batch) {
                          if (IsMarkerKind(p.kind)) {
                            back.Marker(p.kind - 3);
                          } else {
                            back.Move(p.kind >= kCut, p.y, p.x);
                          }
                          if (out.points.size() >= kBatch) {
                            fn(out.points);
                            out.points.clear();
                          }
                        }
                      });
    if (!read) return false;
    back.Move(false, closingMove_, 0);
    if (!out.points.empty()) fn(out.points);
    return true;
  }

 private:
  struct Batch {
    std::vector<JobPoint> points;
    void Append(const JobPoint& p) { points.push_back(p); }
  };

  std::shared_ptr<const PointSource> points_;
  std::vector<PointTransform> steps_;
  int32_t closingMove_;
};

}  // namespace

CPLTFile::CPLTFile(Notify notify) : notify_(std::move(notify)) {}

void CPLTFile::Replace(std::shared_ptr<const PointSource> points, std::optional<Summary> summary) {
  points_ = std::move(points);
  steps_.clear();
  summary_ = summary;
}

int CPLTFile::LoadPlt(const std::string& path) {
  BoundsAccumulator bounds;
  bool hasCut = false;
  uint64_t size = 0;
  const bool loaded = ParseFile(
      path,
      [&](std::vector<JobPoint>& batch) {
        bounds.Add(batch);
        hasCut = hasCut || AnyCut(batch);
      },
      size);
  if (!loaded) {
    if (notify_) notify_(JobMessage::OpenFileFailed);
    return 0;
  }
  Replace(std::make_shared<FilePoints>(path, size), Summary{bounds.Result(), hasCut});
  return 1;
}

void CPLTFile::ParsePlt(std::string_view text) {
  std::vector<JobPoint> points;
  if (!ParseInto(text, points)) return;
  BoundsAccumulator bounds;
  bounds.Add(points);
  const bool hasCut = AnyCut(points);
  Replace(std::make_shared<HeldPoints>(std::move(points)), Summary{bounds.Result(), hasCut});
}

void CPLTFile::SetRecord(std::shared_ptr<const PointRecord> record) {
  const Summary summary{record->MoveBounds(), record->HasCut()};
  Replace(std::move(record), summary);
}

void CPLTFile::SetPoints(std::shared_ptr<const PointSource> points) { Replace(std::move(points), std::nullopt); }

bool CPLTFile::ForEachBatch(const PointBatchFn& fn) const {
  return points_ == nullptr || ForEachStepped(*points_, steps_, fn);
}

std::vector<JobPoint> CPLTFile::Points() const {
  std::vector<JobPoint> all;
  ForEachBatch([&all](std::span<const JobPoint> batch) { all.insert(all.end(), batch.begin(), batch.end()); });
  return all;
}

bool CPLTFile::HasCuttingMove() const {
  if (summary_) return summary_->hasCut;
  bool hasCut = false;
  ForEachBatch([&hasCut](std::span<const JobPoint> batch) { hasCut = hasCut || AnyCut(batch); });
  return hasCut;
}

int CPLTFile::ComputeBounds() {
  Bounds b;
  if (summary_ && steps_.empty()) {
    b = summary_->bounds;
  } else {
    BoundsAccumulator acc;
    ForEachBatch([&acc](std::span<const JobPoint> batch) { acc.Add(batch); });
    b = acc.Result();
  }
  bounds_ = b;
  jobLength_ = SaturateInt32(int64_t{b.maxY} - b.minY);
  return 1;
}

void PointTransform::Apply(JobPoint& p) const {
  switch (kind) {
    case Kind::Subtract:
      p.x = SaturatingSub(p.x, dx);
      p.y = SaturatingSub(p.y, dy);
      break;
    case Kind::Add:
      p.x = SaturatingAdd(p.x, dx);
      p.y = SaturatingAdd(p.y, dy);
      break;
    case Kind::Bilinear: ApplyBilinear(p); break;
  }
}

void CPLTFile::Transform(const PointTransform& step) { steps_.push_back(step); }

int CPLTFile::MoveToOrigin(int32_t dx, int32_t dy) {
  Transform(PointTransform{PointTransform::Kind::Subtract, dx, dy});
  return 1;
}

bool CPLTFile::ApplyOriginOffset(int32_t dx, int32_t dy) {
  Transform(PointTransform{PointTransform::Kind::Add, dx, dy});
  return true;
}

int CPLTFile::SaveNormalizedPlt(const std::string& path, const MarkRef& mark) {
  try {
    BufferedWriter out(path);
    if (!out.Ok()) return 0;
    CommandFormatter fmt(out);
    out.Write("IN;PA;U0,0;");
    const bool read = ForEachBatch([&](std::span<const JobPoint> batch) {
      for (const JobPoint& p : batch) {
        if (p.kind >= kFirstMarker) {
          fmt.Marker(p.kind - 3);
        } else {
          fmt.Move(p.kind >= kCut ? 'D' : 'U', p.y, p.x);
        }
      }
    });
    if (!read) return 0;  // the job's file changed or went away: no partial copy
    fmt.Move('U', mark.ClosingMove(jobLength_), 0);
    fmt.Flush();
    return out.Close() ? 1 : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

std::shared_ptr<const PointSource> CPLTFile::SavedPoints(const MarkRef& mark) const {
  return std::make_shared<SavedJobPoints>(points_, steps_, mark.ClosingMove(jobLength_));
}

std::unique_ptr<CPLTFile> CPLTFile::Snapshot() const {
  auto copy = std::make_unique<CPLTFile>();
  copy->points_ = points_;  // read only, by any number of threads
  copy->steps_ = steps_;
  copy->summary_ = summary_;
  copy->bounds_ = bounds_;
  copy->jobLength_ = jobLength_;
  return copy;
}

}  // namespace plotsend
