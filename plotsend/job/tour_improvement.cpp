#include "job/tour_improvement.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace plotsend {
namespace {

// Gains below this (units) are rounding, not shorter travel.
constexpr double kMinGain = 1e-3;
constexpr ptrdiff_t kMaxRun = 3;  // paths moved at once by Or-opt
// Moves shift every path between their two ends, so their cost grows with
// the distance along the order; within a time budget many near moves gain
// more than a few far ones.
constexpr ptrdiff_t kMaxSpan = 10000;
// A closed path moved on its own may start at any vertex when it has at
// most this many points.
constexpr size_t kMaxRingScan = 64;

class Improver {
 public:
  Improver(PathTour& tour, const SectionPaths& paths, const Nesting& nesting, NearPaths& near, bool turnPaths,
           OrderClock::time_point deadline)
      : tour_(tour),
        paths_(paths),
        nesting_(nesting),
        near_(near),
        turn_(turnPaths),
        deadline_(deadline),
        queued_(paths.Count(), 0) {}

  bool Run() {
    for (ptrdiff_t i = 0; i < tour_.Size(); ++i) Push(tour_.PathAt(i));
    size_t steps = 0;
    while (!queue_.empty()) {
      if ((steps++ & 15) == 0 && OrderClock::now() >= deadline_) return false;
      const uint32_t p = queue_.front();
      queue_.pop_front();
      queued_[p] = 0;
      if (Improve(p)) Push(p);
    }
    return true;
  }

 private:
  void Push(uint32_t p) {
    if (queued_[p] != 0) return;
    queued_[p] = 1;
    queue_.push_back(p);
  }
  void PushAt(ptrdiff_t i) {
    if (i >= 0 && i < tour_.Size()) Push(tour_.PathAt(i));
  }

  bool Improve(uint32_t p) {
    if (turn_ && tour_.IsClosed(p) && BetterStart(p)) return true;
    const ptrdiff_t i = tour_.PositionOf(p);
    if (turn_) {
      if (TwoOpt(i - 1, i) || TwoOpt(-1, i) || TwoOpt(i - 1, tour_.Size() - 1)) return true;
      for (const uint32_t q : near_.Of(p)) {
        const ptrdiff_t j = tour_.PositionOf(q);
        const ptrdiff_t lo = std::min(i, j), hi = std::max(i, j);
        if (TwoOpt(lo, hi) || TwoOpt(lo - 1, hi - 1)) return true;
      }
    }
    return OrOpt(p);
  }

  // A closed path entered and left at the vertex that is nearest to both
  // neighbours together.
  bool BetterStart(uint32_t p) {
    const ptrdiff_t i = tour_.PositionOf(p);
    const OrderPoint before = tour_.Out(i - 1), after = tour_.In(i + 1);
    const std::span<const OrderPoint> ring = paths_.Path(p).first(paths_.Path(p).size() - 1);
    double best = Distance(before, tour_.In(i)) + Distance(tour_.In(i), after);
    const double current = best;
    uint32_t vertex = tour_.Start(p);
    for (size_t v = 0; v < ring.size(); ++v) {
      const double d = Distance(before, ring[v]) + Distance(ring[v], after);
      if (d < best) {
        best = d;
        vertex = static_cast<uint32_t>(v);
      }
    }
    if (current - best <= kMinGain) return false;
    tour_.SetStart(p, vertex);
    PushAt(i - 1);
    PushAt(i + 1);
    return true;
  }

  // Reverses positions a+1..b (-1 <= a < b < n): the travel from a then
  // goes to b's exit, and a+1's entry leads on to b+1.
  bool TwoOpt(ptrdiff_t a, ptrdiff_t b) {
    if (a < -1 || b >= tour_.Size() || a >= b || b - a > kMaxSpan) return false;
    const double gain = tour_.Edge(a) + tour_.Edge(b) - Distance(tour_.Out(a), tour_.Out(b)) -
                        Distance(tour_.In(a + 1), tour_.In(b + 1));
    if (gain <= kMinGain || !RunKeepsNesting(a + 1, b)) return false;
    tour_.Reverse(a + 1, b);
    for (const ptrdiff_t k : {a, a + 1, b, b + 1}) PushAt(k);
    return true;
  }

  // Whether no path in positions [a, b] is enclosed by another of them.
  bool RunKeepsNesting(ptrdiff_t a, ptrdiff_t b) const {
    if (nesting_.Empty()) return true;
    for (ptrdiff_t k = a; k <= b; ++k) {
      for (const uint32_t o : nesting_.Enclosers(tour_.PathAt(k))) {
        const ptrdiff_t at = tour_.PositionOf(o);
        if (at >= a && at <= b) return false;
      }
    }
    return true;
  }

  struct Insertion {
    ptrdiff_t s = 0, e = 0, j = 0;
    bool turned = false;
    uint32_t start = kKeepStart;  // a moved closed path's new start vertex
    double gain = kMinGain;
  };
  static constexpr uint32_t kKeepStart = UINT32_MAX;

  // The cheapest way to put the run [s, e] between positions j and j + 1:
  // as it is, turned round, or (a lone closed path) entered at another vertex.
  Insertion Cheapest(ptrdiff_t s, ptrdiff_t e, ptrdiff_t j, double removed) const {
    Insertion best{s, e, j};
    best.gain = -1;
    const OrderPoint before = tour_.Out(j), after = tour_.In(j + 1);
    const double edge = tour_.Edge(j);
    const uint32_t p = tour_.PathAt(s);
    if (s == e && turn_ && tour_.IsClosed(p) && paths_.Path(p).size() <= kMaxRingScan) {
      const std::span<const OrderPoint> ring = paths_.Path(p).first(paths_.Path(p).size() - 1);
      for (size_t v = 0; v < ring.size(); ++v) {
        const double gain = removed - (Distance(before, ring[v]) + Distance(ring[v], after) - edge);
        if (gain > best.gain) best.gain = gain, best.start = static_cast<uint32_t>(v);
      }
      return best;
    }
    for (const bool turned : {false, true}) {
      if (turned && !turn_) continue;
      const OrderPoint enter = turned ? tour_.Out(e) : tour_.In(s);
      const OrderPoint leave = turned ? tour_.In(s) : tour_.Out(e);
      const double gain = removed - (Distance(before, enter) + Distance(leave, after) - edge);
      if (gain > best.gain) best.gain = gain, best.turned = turned;
    }
    return best;
  }

  // Tries the runs of up to three paths that begin or end with p, each
  // after or before one of p's neighbours or at either end of the tour.
  bool OrOpt(uint32_t p) {
    const ptrdiff_t i = tour_.PositionOf(p), n = tour_.Size();
    Insertion best;
    bool found = false;
    for (ptrdiff_t len = 1; len <= kMaxRun; ++len) {
      for (const ptrdiff_t s : {i, i - len + 1}) {
        const ptrdiff_t e = s + len - 1;
        if (s < 0 || e >= n || (len == 1 && s != i)) continue;
        const double removed = tour_.Edge(s - 1) + tour_.Edge(e) - Distance(tour_.Out(s - 1), tour_.In(e + 1));
        if (removed <= kMinGain) continue;
        auto consider = [&](ptrdiff_t j) {
          if (j < -1 || j >= n || (j >= s - 1 && j <= e) || std::abs(j - s) > kMaxSpan) return;
          const Insertion option = Cheapest(s, e, j, removed);
          if (option.gain > best.gain) {
            best = option;
            found = true;
          }
        };
        consider(-1);
        consider(n - 1);
        for (const uint32_t q : near_.Of(p)) {
          consider(tour_.PositionOf(q) - 1);
          consider(tour_.PositionOf(q));
        }
      }
    }
    if (!found || !MoveKeepsNesting(best)) return false;
    const ptrdiff_t touched[] = {best.s - 1, best.e + 1, best.j, best.j + 1};
    uint32_t around[4];
    size_t count = 0;
    for (const ptrdiff_t k : touched) {
      if (k >= 0 && k < n) around[count++] = tour_.PathAt(k);
    }
    tour_.Move(best.s, best.e, best.j, best.turned);
    if (best.start != kKeepStart) tour_.SetStart(p, best.start);
    for (size_t k = 0; k < count; ++k) Push(around[k]);
    return true;
  }

  bool MoveKeepsNesting(const Insertion& m) const {
    if (nesting_.Empty()) return true;
    const auto inRange = [this](uint32_t path, ptrdiff_t a, ptrdiff_t b) {
      const ptrdiff_t at = tour_.PositionOf(path);
      return at >= a && at <= b;
    };
    if (m.turned && !RunKeepsNesting(m.s, m.e)) return false;
    if (m.j < m.s) {  // the paths passed over come after the run
      for (ptrdiff_t k = m.j + 1; k < m.s; ++k) {
        for (const uint32_t o : nesting_.Enclosers(tour_.PathAt(k))) {
          if (inRange(o, m.s, m.e)) return false;
        }
      }
    } else {  // the paths passed over come before the run
      for (ptrdiff_t k = m.s; k <= m.e; ++k) {
        for (const uint32_t o : nesting_.Enclosers(tour_.PathAt(k))) {
          if (inRange(o, m.e + 1, m.j)) return false;
        }
      }
    }
    return true;
  }

  PathTour& tour_;
  const SectionPaths& paths_;
  const Nesting& nesting_;
  NearPaths& near_;
  const bool turn_;
  const OrderClock::time_point deadline_;
  std::vector<uint8_t> queued_;
  std::deque<uint32_t> queue_;
};

}  // namespace

bool ImproveTour(PathTour& tour, const SectionPaths& paths, const Nesting& nesting, NearPaths& near, bool turnPaths,
                 OrderClock::time_point deadline) {
  return Improver(tour, paths, nesting, near, turnPaths, deadline).Run();
}

}  // namespace plotsend
