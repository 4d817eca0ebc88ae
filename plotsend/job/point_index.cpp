#include "job/point_index.h"

#include <algorithm>
#include <utility>

namespace plotsend {
namespace {

struct Candidate {
  double distance;
  size_t slot;
  bool operator<(const Candidate& o) const { return distance < o.distance; }
};

}  // namespace

PointIndex::PointIndex(std::vector<Entry> entries)
    : slotOf_(entries.size()), count_(entries.size(), 0), axis_(entries.size(), 0), active_(entries.size(), 0) {
  std::vector<Item> items(entries.size());
  for (size_t i = 0; i < items.size(); ++i) items[i] = Item{entries[i], static_cast<uint32_t>(i)};
  entries = {};
  Build(0, items.size(), items);
  entries_.resize(items.size());
  for (size_t slot = 0; slot < items.size(); ++slot) {
    entries_[slot] = items[slot].entry;
    slotOf_[items[slot].given] = static_cast<uint32_t>(slot);
  }
}

// Splits [lo, hi) at its median along the axis of the larger spread; the
// median stays at Mid(lo, hi), smaller coordinates before it, larger after.
void PointIndex::Build(size_t lo, size_t hi, std::vector<Item>& items) {
  while (hi - lo > 1) {
    int32_t minX = items[lo].entry.x, maxX = minX, minY = items[lo].entry.y, maxY = minY;
    for (size_t i = lo + 1; i < hi; ++i) {
      minX = std::min(minX, items[i].entry.x);
      maxX = std::max(maxX, items[i].entry.x);
      minY = std::min(minY, items[i].entry.y);
      maxY = std::max(maxY, items[i].entry.y);
    }
    const uint8_t axis = int64_t{maxY} - minY > int64_t{maxX} - minX ? 1 : 0;
    const size_t mid = Mid(lo, hi);
    const auto begin = items.begin();
    std::nth_element(begin + static_cast<std::ptrdiff_t>(lo), begin + static_cast<std::ptrdiff_t>(mid),
                     begin + static_cast<std::ptrdiff_t>(hi), [axis](const Item& a, const Item& b) {
                       return axis == 0 ? a.entry.x < b.entry.x : a.entry.y < b.entry.y;
                     });
    axis_[mid] = axis;
    Build(lo, mid, items);
    lo = mid + 1;
  }
}

void PointIndex::SetActive(size_t slot, bool on) {
  if ((active_[slot] != 0) == on) return;
  active_[slot] = on ? 1 : 0;
  size_t lo = 0, hi = entries_.size();
  while (lo < hi) {
    const size_t mid = Mid(lo, hi);
    if (on) {
      ++count_[mid];
    } else {
      --count_[mid];
    }
    if (slot == mid) return;
    if (slot < mid) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
}

namespace {

// A depth-first search that visits the nearer side of each split first and
// the farther side only while it can still hold something nearer than the
// worst result kept so far.
template <typename Visit, typename Bound>
void Search(const std::vector<PointIndex::Entry>& entries, const std::vector<uint32_t>& count,
            const std::vector<uint8_t>& axis, size_t lo, size_t hi, int32_t x, int32_t y, Visit& visit, Bound& bound) {
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (count[mid] == 0) return;
    const PointIndex::Entry& e = entries[mid];
    visit(mid);
    const double diff = axis[mid] == 0 ? static_cast<double>(x) - e.x : static_cast<double>(y) - e.y;
    if (diff < 0) {
      Search(entries, count, axis, lo, mid, x, y, visit, bound);
      if (diff * diff >= bound()) return;
      lo = mid + 1;
    } else {
      Search(entries, count, axis, mid + 1, hi, x, y, visit, bound);
      if (diff * diff >= bound()) return;
      hi = mid;
    }
  }
}

}  // namespace

size_t PointIndex::Nearest(int32_t x, int32_t y) const {
  double best = std::numeric_limits<double>::infinity();
  size_t found = kNone;
  auto visit = [&](size_t slot) {
    if (active_[slot] == 0) return;
    const double d = SquaredDistance(x, y, entries_[slot].x, entries_[slot].y);
    if (d < best) {
      best = d;
      found = slot;
    }
  };
  auto bound = [&] { return best; };
  Search(entries_, count_, axis_, 0, entries_.size(), x, y, visit, bound);
  return found;
}

void PointIndex::KNearest(int32_t x, int32_t y, size_t k, uint32_t skipId, std::vector<size_t>& out) const {
  out.clear();
  if (k == 0) return;
  std::vector<Candidate> heap;  // max-heap of the k nearest so far
  heap.reserve(k + 1);
  auto visit = [&](size_t slot) {
    if (active_[slot] == 0 || entries_[slot].id == skipId) return;
    const double d = SquaredDistance(x, y, entries_[slot].x, entries_[slot].y);
    if (heap.size() == k && !(d < heap.front().distance)) return;
    heap.push_back({d, slot});
    std::push_heap(heap.begin(), heap.end());
    if (heap.size() > k) {
      std::pop_heap(heap.begin(), heap.end());
      heap.pop_back();
    }
  };
  auto bound = [&] { return heap.size() < k ? std::numeric_limits<double>::infinity() : heap.front().distance; };
  Search(entries_, count_, axis_, 0, entries_.size(), x, y, visit, bound);
  std::sort_heap(heap.begin(), heap.end());
  for (const Candidate& c : heap) out.push_back(c.slot);
}

}  // namespace plotsend
