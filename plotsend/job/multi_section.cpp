#include "job/multi_section.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "job/decimal.h"
#include "job/drawing_findings.h"
#include "job/file_io.h"
#include "job/int_text.h"
#include "job/plt_read_back.h"

namespace plotsend {

namespace {

constexpr uint8_t kUp = 1;
constexpr uint8_t kDown = 2;
constexpr int32_t kMaxSections = 50;
// How far (25 mm) a path may reach over a band end and still be kept whole.
constexpr int64_t kOverhang = 1000;

// One stored move. Before the quarter turn a/b are the numbers in file
// order; afterwards they are the turned (a', b').
struct Record {
  int32_t a = 0;
  int32_t b = 0;
  uint8_t kind = 0;
  char pen = 0;  // '1'..'8' when a pen selection preceded this record
};

static_assert(sizeof(Record) == 12, "one record per stored move: keep it small");

// The text of one number: the digits and "-" collected for it. Usually one
// contiguous run of the source; ignored characters inside it (as in "1A2")
// make it fall back to a reused scratch string.
class NumberText {
 public:
  // [p, q) is a run of digits and "-"; `plain` tells that it is an optional
  // "-" and at most 9 digits, whose value is `value`.
  void Add(const char* p, const char* q, bool plain, int32_t value) {
    const size_t n = static_cast<size_t>(q - p);
    if (!scattered_ && size_ == 0) {
      plain_ = plain;
      value_ = value;
    }
    if (scattered_) {
      scratch_.append(p, n);
    } else if (size_ == 0) {
      begin_ = p;
      size_ = n;
    } else {
      scratch_.assign(begin_, size_);
      scratch_.append(p, n);
      scattered_ = true;
    }
  }
  // The value; `saturated` is set when it is beyond the 32-bit range.
  int32_t Value(bool& saturated) const {
    if (scattered_) return Long(scratch_, saturated);
    if (plain_) return value_;
    // Short runs (the usual case) are read here; the result is the same as
    // ParseInt32's, which handles the long ones and their saturation.
    const char* p = begin_;
    const char* const end = begin_ + size_;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    if (end - p > 9) return Long(std::string_view(begin_, size_), saturated);
    int32_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) value = value * 10 + (*p - '0');
    return negative ? -value : value;
  }
  void Clear() {
    size_ = 0;
    scattered_ = false;
    plain_ = false;
    scratch_.clear();
  }

 private:
  static int32_t Long(std::string_view text, bool& saturated) {
    bool beyond = false;
    const int32_t value = ParseInt32(text, beyond);
    saturated = saturated || beyond;
    return value;
  }

  const char* begin_ = nullptr;
  size_t size_ = 0;
  bool scattered_ = false;
  bool plain_ = false;
  int32_t value_ = 0;
  std::string scratch_;
};

// Minimum and maximum of a and of b over the records, gathered while reading.
struct Extent {
  int32_t minA = INT32_MAX, maxA = INT32_MIN;
  int32_t minB = INT32_MAX, maxB = INT32_MIN;
  void Add(int32_t a, int32_t b) {
    minA = std::min(minA, a);
    maxA = std::max(maxA, a);
    minB = std::min(minB, b);
    maxB = std::max(maxB, b);
  }
};

// Turns every record a quarter into the cutter's axes, (a, b) ->
// (b - min b, max a - a). Returns the extent of a' (max b - min b).
int32_t QuarterTurn(std::vector<Record>& records, const Extent& ext) {
  if (records.empty()) return 0;
  for (Record& r : records) {
    const int32_t a = SaturateInt32(int64_t{r.b} - ext.minB);
    const int32_t b = SaturateInt32(int64_t{ext.maxA} - r.a);
    r.a = a;
    r.b = b;
  }
  return SaturateInt32(int64_t{ext.maxB} - ext.minB);
}

// An upper bound of the records that a text can give, so that the list is
// allocated once: every stored pair takes two of ",", " " and ";", and a
// "PD" right after a pen-up stores one record more, at most once per "D".
// The text may be counted a piece at a time.
// Eight bytes are counted at a time.
class RecordBound {
 public:
  void Count(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    for (; end - p >= 8; p += 8) {
      uint64_t w;
      std::memcpy(&w, p, 8);
      separators_ += Ones(Equal(w, ',') | Equal(w, ' ') | Equal(w, ';'));
      downs_ += Ones(Equal(w, 'D'));
    }
    for (; p < end; ++p) {
      separators_ += *p == ',' || *p == ' ' || *p == ';';
      downs_ += *p == 'D';
    }
  }
  size_t Bound() const { return static_cast<size_t>(separators_ / 2 + downs_); }

 private:
  static constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  static constexpr uint64_t kEachByte = 0x0101010101010101ull;
  // The high bit of every byte of `w` that equals `c`, and no other bit:
  // a byte of x is zero exactly when neither its low seven bits (which
  // cannot carry out of the byte when 0x7F is added) nor its high bit is set.
  static uint64_t Equal(uint64_t w, char c) {
    const uint64_t x = w ^ (kEachByte * static_cast<uint8_t>(c));
    return ~(((x & kLow7) + kLow7) | x | kLow7);
  }
  // How many bytes have their high bit set in a mask made by Equal.
  static uint64_t Ones(uint64_t mask) { return ((mask >> 7) * kEachByte) >> 56; }

  uint64_t separators_ = 0;
  uint64_t downs_ = 0;
};

// Reads "SPn;", "PU..;" and "PD..;" commands into records, and notes what
// else the drawing uses.
class SourceReader {
 public:
  SourceReader(std::vector<Record>& out, Extent& extent, DrawingFindings& findings)
      : out_(out), extent_(extent), findings_(findings), inspector_(findings) {}

  void Read(std::string_view text) {
    Commands(text);
    Finish();
  }

  // The commands of `text`, each ended by its ";"; bytes after the last
  // ";" are dropped. A text may be given in several runs of whole commands.
  void Commands(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
      const void* hit = std::memchr(p, ';', static_cast<size_t>(end - p));
      if (hit == nullptr) break;
      const char* semi = static_cast<const char*>(hit);
      Command(p, semi + 1);
      p = semi + 1;
    }
  }

  // After the last command.
  void Finish() {
    if (!out_.empty()) {
      inspector_.Extent(int64_t{extent_.maxA} - extent_.minA, int64_t{extent_.maxB} - extent_.minB);
    }
  }

 private:
  // [p, end) is one command with its ";", possibly with CR/LF inside, which
  // do not count as characters of the command.
  void Command(const char* p, const char* end) {
    const char* head[4];
    int found = 0;
    for (const char* q = p; q < end && found < 4; ++q) {
      if (*q != '\r' && *q != '\n') head[found++] = q;
    }
    if (found < 4) {  // shorter than 4 characters: not read
      if (found == 3) inspector_.Ignored(*head[0], *head[1], /*bare=*/true);
      return;
    }
    const char c0 = *head[0];
    const char c1 = *head[1];
    const char c2 = *head[2];
    if (c0 == 'S' && c1 == 'P') {
      if (c2 >= '1' && c2 <= '8') pen_ = c2;
    } else if (c0 == 'P' && (c1 == 'U' || c1 == 'D')) {
      Pairs(head[2], end, c1 == 'U');
    } else {
      inspector_.Ignored(c0, c1, /*bare=*/false);
    }
  }

  // Coordinate pairs from the command's third character on: digits and "-"
  // go to the current number; ",", " " and ";" flip between the first and
  // the second number, and a flip back to the first completes a pair.
  void Pairs(const char* p, const char* end, bool up) {
    first_.Clear();
    second_.Clear();
    bool inSecond = false;
    while (p < end) {
      const char c = *p;
      if (IsNumberChar(c)) {
        // The usual number is read as it is scanned.
        const char* q = c == '-' ? p + 1 : p;
        const char* const digits = q;
        uint32_t value = 0;
        for (; q < end && *q >= '0' && *q <= '9'; ++q) value = value * 10 + static_cast<uint32_t>(*q - '0');
        const bool plain = q - digits <= 9 && (q == end || *q != '-');
        while (q < end && IsNumberChar(*q)) ++q;
        const int32_t v = plain ? static_cast<int32_t>(value) : 0;
        (inSecond ? second_ : first_).Add(p, q, plain, c == '-' ? -v : v);
        p = q;
        continue;
      }
      ++p;
      if (c == ',' || c == ' ' || c == ';') {
        if (inSecond) {
          Pair(first_.Value(findings_.outOfRange), second_.Value(findings_.outOfRange), up);
          first_.Clear();
          second_.Clear();
        }
        inSecond = !inSecond;
      } else if (c == '.') {
        findings_.decimalCoordinates = true;  // passed over: "1.5" reads 15
      }
    }
  }

  static bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '-'; }

  void Pair(int32_t a, int32_t b, bool up) {
    const bool same = haveLast_ && a == lastA_ && b == lastB_;
    if (up) {
      Store(a, b, kUp);
      upLast_ = true;
    } else if (upLast_) {
      // Every path's cutting starts at its pen-up point.
      if (!same) Store(lastA_, lastB_, kDown);
      Store(a, b, kDown);
      upLast_ = false;
    } else if (!same) {
      Store(a, b, kDown);
    }
    lastA_ = a;
    lastB_ = b;
    haveLast_ = true;
  }

  void Store(int32_t a, int32_t b, uint8_t kind) {
    out_.push_back(Record{a, b, kind, pen_});
    extent_.Add(a, b);
    pen_ = 0;
  }

  std::vector<Record>& out_;
  Extent& extent_;
  DrawingFindings& findings_;
  DrawingInspector inspector_;
  NumberText first_;
  NumberText second_;
  char pen_ = 0;
  bool upLast_ = false;
  bool haveLast_ = false;
  int32_t lastA_ = 0;
  int32_t lastB_ = 0;
};

// Formats records into a chunk that goes to a sink with
// Write(std::string_view) whenever it fills, and at Finish(). When given a
// point record, also records the points the reader reads back from them.
template <class Sink>
class RecordOut {
 public:
  RecordOut(Sink& sink, PointRecord* points) : sink_(sink), chunk_(kChunk + kLongest, '\0') {
    if (points != nullptr) readBack_.emplace(*points);
  }

  void Move(uint8_t kind, int32_t a, int32_t b, char pen = 0) {
    char* p = Room();
    if (pen != 0) {
      *p++ = 'S';
      *p++ = 'P';
      *p++ = pen;
      *p++ = ';';
    }
    *p++ = kind == kUp ? 'U' : 'D';
    p = PutInt32(p, a);
    *p++ = ',';
    p = PutInt32(p, b);
    *p++ = ';';
    used_ = static_cast<size_t>(p - chunk_.data());
    if (readBack_) readBack_->Move(kind != kUp, a, b);
  }

  void Marker(int number) {
    char* p = Room();
    *p++ = 'T';
    *p++ = 'M';
    p = PutInt32(p, number);
    *p++ = ';';
    used_ = static_cast<size_t>(p - chunk_.data());
    if (readBack_) readBack_->Marker(number);
  }

  void Text(std::string_view text) {
    Flush();
    sink_.Write(text);
  }

  void Finish() { Flush(); }

 private:
  static constexpr size_t kChunk = 64 * 1024;
  // Longest single item: "SPn;" + "U" + two int32 + "," + ";" is 29 bytes.
  static constexpr size_t kLongest = 64;

  // Where the next item goes; there are always kLongest bytes free there.
  char* Room() {
    if (used_ >= kChunk) Flush();
    return chunk_.data() + used_;
  }
  void Flush() {
    if (used_ > 0) sink_.Write(std::string_view(chunk_.data(), used_));
    used_ = 0;
  }

  Sink& sink_;
  std::string chunk_;
  size_t used_ = 0;
  std::optional<PltReadBack<PointRecord>> readBack_;
};

// The bands along a': band k runs from w*k to w*(k+1), the last one to E.
class Bands {
 public:
  Bands(int32_t extent, int32_t count) : extent_(extent), count_(count), width_(extent / count) {}

  int32_t Count() const { return count_; }
  int64_t Width() const { return width_; }
  int64_t Start(int32_t k) const { return width_ * k; }
  int64_t End(int32_t k) const { return k == count_ - 1 ? extent_ : width_ * (k + 1); }

  // Band of a point, or of a segment whose lower end is `lo` and that
  // crosses no inner boundary (the band it rises into from a boundary).
  int32_t Of(int64_t lo) const {
    if (width_ == 0) return count_ - 1;
    return static_cast<int32_t>(std::min<int64_t>(lo / width_, count_ - 1));
  }
  // Index j of the inner boundary w*j at `a`, or 0 when `a` is on none.
  int32_t InnerAt(int64_t a) const {
    if (width_ == 0 || a <= 0 || a % width_ != 0) return 0;
    const int64_t j = a / width_;
    return j < count_ ? static_cast<int32_t>(j) : 0;
  }

 private:
  int64_t extent_;
  int32_t count_;
  int64_t width_;
};

// Where a path with a' from mn to mx goes: one band whole, or cut (band < 0).
int32_t PlacePath(int64_t mn, int64_t mx, const Bands& bands) {
  const int32_t n = bands.Count();
  // Bands that end below the path's minimum can match no rule.
  int32_t k = 0;
  if (bands.Width() > 0) {
    k = static_cast<int32_t>(std::min<int64_t>(mn / bands.Width(), n - 1));
    if (k > 0) --k;
  }
  for (; k < n; ++k) {
    const int64_t start = bands.Start(k);
    const int64_t end = bands.End(k);
    if ((start < mx && mx <= end) || mn == start) return k;
    if (mn < end && end < mx) {
      if (mx - end <= kOverhang) return k;
      if (end - mn <= kOverhang) return k + 1;
      return -1;
    }
  }
  return n - 1;
}

// The extent of a' over fixed blocks of records, so that a walk for one
// band passes over long runs of a cut path that lie in other bands without
// looking at every record.
class BlockExtent {
 public:
  static constexpr size_t kSize = 64;

  explicit BlockExtent(const std::vector<Record>& records) {
    extents_.reserve(records.size() / kSize);
    for (size_t i = 0; i + kSize <= records.size(); i += kSize) {
      int32_t mn = records[i].a, mx = records[i].a;
      for (size_t j = i + 1; j < i + kSize; ++j) {
        mn = std::min(mn, records[j].a);
        mx = std::max(mx, records[j].a);
      }
      extents_.push_back({mn, mx});
    }
  }

  // Whether every segment from a' = `from` through the records of the
  // block that starts at record `start` (a multiple of kSize) lies wholly
  // below `lo` or wholly above `hi`.
  bool Outside(size_t start, int64_t from, int64_t lo, int64_t hi) const {
    const auto [mn, mx] = extents_[start / kSize];
    return std::max<int64_t>(mx, from) < lo || std::min<int64_t>(mn, from) > hi;
  }

 private:
  std::vector<std::pair<int32_t, int32_t>> extents_;
};

// Walks a cut path and writes the pieces that fall into band `target`.
// Segments get points inserted where they strictly cross an inner
// boundary; every piece starts with a pen-up move to its first point and
// keeps within one band. Only the target band's boundary points are
// computed and runs of records in other bands are passed over by blocks, so
// a path cut into many bands is not walked in full once per band.
template <class Sink>
class CutWalker {
 public:
  CutWalker(const std::vector<Record>& records, const BlockExtent& blocks, size_t first, size_t last,
            const Bands& bands, int32_t target, RecordOut<Sink>& out)
      : recs_(records.data() + first),
        count_(last - first),
        first_(first),
        blocks_(blocks),
        bands_(bands),
        target_(target),
        tStart_(bands.Start(target)),
        tEnd_(bands.End(target)),
        out_(out) {}

  void Run() {
    for (size_t i = 1; i < count_; ++i) {
      const size_t next = NextInTarget(i);
      if (next != i) {
        // Segments wholly in other bands: nothing to write, but the open
        // piece (if any) is now in another band.
        LeavePiece();
        i = next;
        if (i == count_) break;
      }
      const Point s{recs_[i - 1].a, recs_[i - 1].b};
      const Point e{recs_[i].a, recs_[i].b};
      if (s.a == e.a || bands_.Width() == 0) {
        Segment(s, e, i);
      } else {
        Crossing(s, e, i);
      }
    }
    if (piece_ == kNone && bands_.Of(recs_[0].a) == target_) {
      // Never left its start boundary (or a single point): one piece.
      Flush(target_);
    }
  }

 private:
  struct Point {
    int64_t a;
    int64_t b;
  };
  static constexpr int32_t kNone = -1;   // no piece opened yet
  static constexpr int32_t kOther = -2;  // open piece is in a band not written now

  // The first segment from segment i on (the one ending at record i) that
  // reaches into the target band, or count_. Whole blocks of segments are
  // passed over by their extent.
  size_t NextInTarget(size_t i) const {
    int64_t from = recs_[i - 1].a;
    while (i < count_) {
      const size_t at = first_ + i;
      if (at % BlockExtent::kSize == 0 && i + BlockExtent::kSize <= count_ &&
          blocks_.Outside(at, from, tStart_, tEnd_)) {
        i += BlockExtent::kSize;
        from = recs_[i - 1].a;
        continue;
      }
      const int64_t to = recs_[i].a;
      if (std::max(from, to) >= tStart_ && std::min(from, to) <= tEnd_) break;
      from = to;
      ++i;
    }
    return i;
  }

  void LeavePiece() {
    piece_ = kOther;
    deferred_ = 0;
  }

  // A segment s -> e whose a' changes. It is cut where it strictly crosses
  // an inner boundary into one piece per band, from band `from` to band
  // `to`; the target band's piece is written, the others only close the
  // open piece.
  void Crossing(const Point& s, const Point& e, size_t index) {
    const bool rising = s.a < e.a;
    const int32_t from = rising ? bands_.Of(s.a) : bands_.Of(s.a - 1);
    const int32_t to = rising ? bands_.Of(e.a - 1) : bands_.Of(e.a);
    const int32_t low = std::min(from, to), high = std::max(from, to);
    if (target_ < low || target_ > high) {
      LeavePiece();
      return;
    }
    if (target_ != from) LeavePiece();
    // The target piece runs between the segment's ends or the target band's
    // boundaries, in the segment's direction.
    const int64_t enter = rising ? tStart_ : tEnd_;
    const int64_t leave = rising ? tEnd_ : tStart_;
    const Point ps = target_ == from ? s : OnBoundary(s, e, enter);
    const Point pe = target_ == to ? e : OnBoundary(s, e, leave);
    Segment(ps, pe, index);
    if (target_ != to) LeavePiece();
  }

  // The point where segment s -> e crosses a' = B, b' in integers with the
  // product first and the division truncating toward zero.
  static Point OnBoundary(const Point& s, const Point& e, int64_t B) {
    const int64_t t = s.a, o = s.b, u = e.a, v = e.b;
    if (t < u) return Point{B, v - (v - o) * (u - B) / (u - t)};
    return Point{B, o - (o - v) * (t - B) / (t - u)};
  }

  // A piece of segment s -> e lying within one band; `index` is the record
  // that ends the original segment.
  void Segment(const Point& s, const Point& e, size_t index) {
    const int64_t lo = std::min(s.a, e.a);
    const int64_t hi = std::max(s.a, e.a);
    int32_t band;
    const int32_t j = lo == hi ? bands_.InnerAt(lo) : 0;
    if (j > 0) {
      // Along a boundary: belongs to either neighbour; stay in the open piece.
      if (piece_ == kNone) {
        deferred_ = index;  // decided by the first segment that leaves it
        return;
      }
      if (piece_ == kOther) return;
      band = piece_;
    } else {
      band = bands_.Of(lo);
    }
    if (band != target_) {
      LeavePiece();
      return;
    }
    if (piece_ == kNone) {
      Flush(band);
    } else if (piece_ != band) {
      out_.Move(kUp, Narrow(s.a), Narrow(s.b));
    }
    piece_ = band;
    out_.Move(kDown, Narrow(e.a), Narrow(e.b));
  }

  // Opens the path's first piece: pen-up to its first record, then the
  // records that ran along its start boundary.
  void Flush(int32_t band) {
    out_.Move(kUp, recs_[0].a, recs_[0].b);
    for (size_t i = 1; i <= deferred_; ++i) out_.Move(kDown, recs_[i].a, recs_[i].b);
    deferred_ = 0;
    piece_ = band;
  }

  // Inserted points lie between two int32 points, so they fit.
  static int32_t Narrow(int64_t v) { return SaturateInt32(v); }

  const Record* recs_;
  size_t count_;
  size_t first_;  // index of recs_[0] among all records, for the block extents
  const BlockExtent& blocks_;
  const Bands& bands_;
  int32_t target_;
  int64_t tStart_;
  int64_t tEnd_;
  RecordOut<Sink>& out_;
  int32_t piece_ = kNone;
  size_t deferred_ = 0;  // records 1..deferred_ still to write after the opening pen-up
};

template <class Sink>
void WriteSingle(const std::vector<Record>& records, Sink& sink, PointRecord* points) {
  RecordOut<Sink> out(sink, points);
  for (const Record& r : records) out.Move(r.kind, r.a, r.b, r.pen);
  out.Text("@");
  out.Finish();
}

// The bands a path is written in: `low` alone for a whole path; for a cut
// path the run of bands from `low` to `high` that it is cut into.
struct BandSpan {
  uint8_t low = 0;
  uint8_t high = 0;
  bool cut = false;
};
static_assert(kMaxSections <= 255, "band numbers are held in a byte");

BandSpan SpanOf(int64_t mn, int64_t mx, const Bands& bands) {
  const int32_t band = PlacePath(mn, mx, bands);
  if (band >= 0) return BandSpan{static_cast<uint8_t>(band), static_cast<uint8_t>(band), false};
  const int32_t low = bands.Of(mn);
  const int32_t high = std::max(low, bands.Of(mx - 1));
  return BandSpan{static_cast<uint8_t>(low), static_cast<uint8_t>(high), true};
}

// Calls fn(first, last, span) for every path in list order. A path is a
// pen-up record and the records up to the next pen-up, [first, last);
// records before the first pen-up form a path of their own so that nothing
// of the drawing is dropped.
template <class Fn>
void ForEachPath(const std::vector<Record>& records, const Bands& bands, Fn fn) {
  size_t first = 0;
  while (first < records.size()) {
    int64_t mn = records[first].a;
    int64_t mx = mn;
    size_t last = first + 1;
    for (; last < records.size() && records[last].kind != kUp; ++last) {
      mn = std::min<int64_t>(mn, records[last].a);
      mx = std::max<int64_t>(mx, records[last].a);
    }
    fn(first, last, SpanOf(mn, mx, bands));
    first = last;
  }
}

// The paths sorted for writing band by band. A whole path is marked with
// its band at its first record, so that a band finds its whole paths in list
// order with one memchr pass over the marks. Cut paths are kept once, in
// list order, with their bands beside them; every band picks out the ones
// that reach it.
struct BandPlan {
  static constexpr uint8_t kNoWholePath = 0xFF;
  struct CutPath {
    size_t first;
    size_t last;
  };
  std::vector<uint8_t> wholeAt;  // per record: band of the whole path starting there
  std::vector<CutPath> cuts;
  std::vector<BandSpan> cutBands;
};
static_assert(kMaxSections < BandPlan::kNoWholePath, "a band number is never the no-path mark");

BandPlan PlanBands(const std::vector<Record>& records, const Bands& bands) {
  BandPlan plan;
  plan.wholeAt.assign(records.size(), BandPlan::kNoWholePath);
  size_t cutCount = 0;
  ForEachPath(records, bands, [&](size_t first, size_t, BandSpan span) {
    if (span.cut) {
      ++cutCount;
    } else {
      plan.wholeAt[first] = span.low;
    }
  });
  plan.cuts.reserve(cutCount);
  plan.cutBands.reserve(cutCount);
  ForEachPath(records, bands, [&](size_t first, size_t last, BandSpan span) {
    if (!span.cut) return;
    plan.cuts.push_back(BandPlan::CutPath{first, last});
    plan.cutBands.push_back(span);
  });
  return plan;
}

// The first record from `from` on that starts a whole path of band k, or
// the number of records.
size_t NextWholeIn(const std::vector<uint8_t>& wholeAt, size_t from, int32_t k) {
  if (from >= wholeAt.size()) return wholeAt.size();
  const void* hit = std::memchr(wholeAt.data() + from, k, wholeAt.size() - from);
  return hit == nullptr ? wholeAt.size() : static_cast<size_t>(static_cast<const uint8_t*>(hit) - wholeAt.data());
}

// The first cut path from index c on that band k writes, or the end.
size_t NextCutIn(const std::vector<BandSpan>& cutBands, size_t c, int32_t k) {
  while (c < cutBands.size() && (k < cutBands[c].low || k > cutBands[c].high)) ++c;
  return c;
}

// A whole path from its first record, opened with a pen-up even when the
// drawing began with pen-down moves.
template <class Sink>
void WriteWhole(const std::vector<Record>& records, size_t first, RecordOut<Sink>& out) {
  out.Move(kUp, records[first].a, records[first].b);
  for (size_t i = first + 1; i < records.size() && records[i].kind != kUp; ++i) {
    out.Move(records[i].kind, records[i].a, records[i].b);
  }
}

// Writes the bands in order, each with its paths in list order: its whole
// paths and the pieces of the cut paths that reach it. A cut path is walked
// once in every band it reaches.
template <class Sink>
void WriteBands(const std::vector<Record>& records, int32_t extent, int32_t count, Sink& sink, PointRecord* points) {
  const Bands bands(extent, count);
  const BandPlan plan = PlanBands(records, bands);
  const BlockExtent blocks(records);

  RecordOut<Sink> out(sink, points);
  out.Text("IN;");
  for (int32_t k = 0; k < count; ++k) {
    if (k > 0) out.Marker(k + 1);
    size_t w = NextWholeIn(plan.wholeAt, 0, k);
    size_t c = NextCutIn(plan.cutBands, 0, k);
    while (w < records.size() || c < plan.cuts.size()) {
      if (c < plan.cuts.size() && plan.cuts[c].first < w) {
        const BandPlan::CutPath& cut = plan.cuts[c];
        CutWalker<Sink>(records, blocks, cut.first, cut.last, bands, k, out).Run();
        c = NextCutIn(plan.cutBands, c + 1, k);
      } else {
        WriteWhole(records, w, out);
        w = NextWholeIn(plan.wholeAt, w + 1, k);
      }
    }
  }
  out.Text("@;");
  out.Finish();
}

struct StringSink {
  std::string& text;
  void Write(std::string_view bytes) { text.append(bytes); }
};

// The source as read: its records, their extent and what the reader passed over.
struct Drawing {
  std::vector<Record> records;
  Extent extent;
  DrawingFindings findings;
};

void Reserve(Drawing& drawing, const RecordBound& bound) {
  try {
    drawing.records.reserve(bound.Bound());
  } catch (const std::exception&) {
    // Only a hint: the list grows as it fills.
  }
}

void Parse(std::string_view source, Drawing& drawing) {
  RecordBound bound;
  bound.Count(source);
  Reserve(drawing, bound);
  SourceReader(drawing.records, drawing.extent, drawing.findings).Read(source);
}

// Hands a text that arrives in pieces to a reader as runs of whole
// commands: only the command that a piece ends inside is carried over.
class CommandPieces {
 public:
  explicit CommandPieces(SourceReader& reader) : reader_(reader) {}

  void Feed(std::string_view piece) {
    const size_t last = piece.rfind(';');
    if (last == std::string_view::npos) {
      carry_.append(piece);
      return;
    }
    size_t from = 0;
    if (!carry_.empty()) {
      from = piece.find(';') + 1;
      carry_.append(piece.substr(0, from));
      reader_.Commands(carry_);
      carry_.clear();
    }
    reader_.Commands(piece.substr(from, last + 1 - from));
    carry_.assign(piece.substr(last + 1));
  }

 private:
  SourceReader& reader_;
  std::string carry_;
};

// Reads the source file a piece at a time, twice: first to bound its
// records, then to parse them, so that its text is never held whole. False
// (and the drawing empty) when it cannot be read whole or is not the same
// version of the file in both reads; `read` says whether it changed.
bool ReadDrawing(const std::string& path, Drawing& drawing, FileRead& read) {
  constexpr size_t kPieceSize = size_t{1} << 20;
  RecordBound bound;
  if (!ReadInPieces(
          path, kPieceSize, [&bound](std::string_view piece, uint64_t) { bound.Count(piece); }, &read)) {
    return false;
  }
  const std::optional<FileIdentity> counted = read.identity;
  Reserve(drawing, bound);
  SourceReader reader(drawing.records, drawing.extent, drawing.findings);
  CommandPieces pieces(reader);
  const bool whole = ReadInPieces(
      path, kPieceSize, [&pieces](std::string_view piece, uint64_t) { pieces.Feed(piece); }, &read);
  read.changed = read.changed || (whole && read.identity != counted);
  if (!whole || read.changed) {
    drawing = Drawing{};
    return false;
  }
  reader.Finish();
  return true;
}

// The whole stage from the read drawing to a sink.
template <class Sink>
void WriteJob(Drawing& drawing, int32_t sections, Sink& sink, PointRecord* points = nullptr) {
  const int32_t extent = QuarterTurn(drawing.records, drawing.extent);
  if (sections <= 1) {
    WriteSingle(drawing.records, sink, points);
  } else {
    WriteBands(drawing.records, extent, sections, sink, points);
  }
}

}  // namespace

CPltMultiSection::CPltMultiSection(Notify notify) : notify_(std::move(notify)) {}

bool CPltMultiSection::Transform(std::string_view source, std::string& out, DrawingFindings* findings) const {
  out.clear();
  if (sections_ > kMaxSections) return false;
  try {
    Drawing drawing;
    Parse(source, drawing);
    if (findings != nullptr) *findings = drawing.findings;
    StringSink sink{out};
    WriteJob(drawing, sections_, sink);
    return true;
  } catch (...) {  // out of memory
    out.clear();
    return false;
  }
}

bool CPltMultiSection::SectionCountAccepted() const { return sections_ <= kMaxSections; }

int CPltMultiSection::ProcessSections(const std::string& outputPath, PointRecord* points) {
  sourceRead_ = false;
  findings_ = {};
  try {
    Drawing drawing;
    FileRead read;
    const bool whole = ReadDrawing(source_, drawing, read);
    const bool same = !sourceIdentity_ || read.identity == sourceIdentity_;
    if (whole && same) {
      sourceRead_ = true;
      sourceIdentity_ = read.identity;
      findings_ = drawing.findings;
    } else {
      drawing = Drawing{};
      if (notify_) notify_(read.changed || whole ? JobMessage::JobChanged : JobMessage::OpenFileFailed);
    }
    if (sections_ > kMaxSections) {
      if (notify_) notify_(JobMessage::MaxSectionNumbers);
      return 0;
    }
    BufferedWriter writer(outputPath);
    if (!writer.Ok()) return 0;
    WriteJob(drawing, sections_, writer, points);
    return writer.Close() ? 1 : 0;
  } catch (...) {  // out of memory
    return 0;
  }
}

}  // namespace plotsend
