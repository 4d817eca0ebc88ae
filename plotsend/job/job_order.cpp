#include "job/job_order.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <exception>
#include <optional>
#include <vector>

#include "job/decimal.h"
#include "job/file_io.h"
#include "job/int_text.h"
#include "job/path_tour.h"
#include "job/plt_read_back.h"

namespace plotsend {
namespace {

using Clock = std::chrono::steady_clock;

// Writes "<letter><y>,<x>;" and "TM<n>;" as the reader reads them, and
// records the points it reads back when there is a record.
class PltOut {
 public:
  PltOut(BufferedWriter& out, PointRecord* points) : out_(out) {
    if (points != nullptr) readBack_.emplace(*points);
  }
  void Move(char letter, OrderPoint p) {
    std::array<char, 1 + 2 * kDigits + 2> b;  // a letter, two numbers, "," and ";"
    char* q = b.data();
    *q++ = letter;
    q = PutInt32(q, p.y);
    *q++ = ',';
    q = PutInt32(q, p.x);
    *q++ = ';';
    out_.Write(std::string_view(b.data(), static_cast<size_t>(q - b.data())));
    if (readBack_) readBack_->Move(letter == 'D', p.y, p.x);
  }
  void Marker(uint8_t kind) {
    std::array<char, 2 + kMaxInt32Text + 1> b{'T', 'M'};
    char* q = PutInt32(b.data() + 2, kind - 3);
    *q++ = ';';
    out_.Write(std::string_view(b.data(), static_cast<size_t>(q - b.data())));
    if (readBack_) readBack_->Marker(kind - 3);
  }

 private:
  static constexpr int kDigits = 11;  // "-2147483648"
  BufferedWriter& out_;
  std::optional<PltReadBack<PointRecord>> readBack_;
};

class JobOrderer {
 public:
  JobOrderer(const CPLTFile& job, PltOut& out, const JobOrderOptions& options, JobOrderStats& stats)
      : out_(out),
        options_(options),
        stats_(stats),
        deadline_(Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(std::max(0.0, options.budgetSeconds)))),
        sections_(options.mark.Sections()),
        width_(options.mark.SectionWidth()),
        lastLength_(options.mark.ClosingMove(job.JobLength())) {
    head_ = SectionStart();
  }

  void Push(const JobPoint& p) {
    const OrderPoint q{p.x, p.y};
    if (IsMarkerKind(p.kind)) {
      EndSection(SectionStart(section_ + 1));
      out_.Marker(p.kind);
      ++section_;
      head_ = SectionStart();
      return;
    }
    if (!IsCutKind(p.kind)) {
      stats_.travelBefore += Distance(head_, q);
      pending_ = q;
      hasPending_ = true;
    } else {
      stats_.cutLength += Distance(head_, q);
      if (hasPending_) {
        paths_.StartPath(pending_);
        hasPending_ = false;
      }
      if (paths_.Count() == 0) {
        prefix_.push_back(q);  // cut on from where the head stands
      } else {
        paths_.AddPoint(q);
      }
    }
    head_ = q;
  }

  void Finish() {
    OrderPoint end = SectionStart();
    end.y = SaturateInt32(int64_t{end.y} + lastLength_);
    EndSection(end);
  }

 private:
  OrderPoint SectionStart(int64_t section) const {
    return {options_.origin.x, SaturateInt32(int64_t{options_.origin.y} + section * width_)};
  }
  OrderPoint SectionStart() const { return SectionStart(section_); }

  void EndSection(OrderPoint end) {
    stats_.travelBefore += Distance(head_, end);
    for (const OrderPoint& q : prefix_) out_.Move('D', q);
    OrderOptions order;
    order.from = prefix_.empty() ? SectionStart() : prefix_.back();
    order.to = end;
    order.turnPaths = options_.turnPaths;
    const double left = std::chrono::duration<double>(deadline_ - Clock::now()).count();
    order.budgetSeconds = std::max(0.0, left) / static_cast<double>(std::max<int64_t>(1, sections_ - section_));
    const OrderResult result = OrderPaths(paths_, order);
    stats_.travelAfter += result.orderedTravel;
    stats_.travelNearest += result.nearestTravel;
    for (const PathCut& cut : result.order) {
      char letter = 'U';
      ForEachCutPoint(paths_, cut, [&](OrderPoint q) {
        out_.Move(letter, q);
        letter = 'D';
      });
    }
    paths_.Clear();
    prefix_.clear();
    hasPending_ = false;
  }

  PltOut& out_;
  const JobOrderOptions options_;
  JobOrderStats& stats_;
  const Clock::time_point deadline_;
  const int64_t sections_;
  const int32_t width_;
  const int32_t lastLength_;  // the closing move's length along y
  int64_t section_ = 0;       // 0-based, may pass the section count
  OrderPoint head_;           // where the head is in the job as it was
  SectionPaths paths_;
  std::vector<OrderPoint> prefix_;
  OrderPoint pending_;  // the last pen-up move, until a cut follows it
  bool hasPending_ = false;
};

}  // namespace

bool OrderJob(const CPLTFile& job, const std::string& path, const JobOrderOptions& options, JobOrderStats& stats,
              PointRecord* ordered) {
  stats = {};
  try {
    BufferedWriter out(path);
    if (!out.Ok()) return false;
    PltOut plt(out, ordered);
    JobOrderer orderer(job, plt, options, stats);
    const bool read = job.ForEachBatch([&](std::span<const JobPoint> batch) {
      for (const JobPoint& p : batch) orderer.Push(p);
    });
    if (!read) return false;
    orderer.Finish();
    return out.Close();
  } catch (const std::exception&) {
    return false;  // out of memory
  }
}

std::string Metres(double units) {
  std::array<char, 64> b;
  const auto r = std::to_chars(b.data(), b.data() + b.size(), units / 40000.0, std::chars_format::fixed, 2);
  return std::string(b.data(), r.ptr);
}

}  // namespace plotsend
