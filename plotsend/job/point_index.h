#pragma once
// A static k-d tree over points whose entries can be switched on and off:
// nearest-point queries see only the active entries. Built once in
// O(n log n); switching an entry costs O(log n); a query skips every subtree
// without active entries. The tree is implicit in one array (the median of
// each range is its node), so it takes a few words per point and no
// allocation per node.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace plotsend {

class PointIndex {
 public:
  struct Entry {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t id = 0;  // the caller's
  };
  static constexpr size_t kNone = std::numeric_limits<size_t>::max();

  // Builds the tree; every entry starts inactive. Entries are reordered:
  // SlotOf tells where entry number i (in the order given) went. At most
  // 2^32 - 1 entries.
  explicit PointIndex(std::vector<Entry> entries);

  size_t Size() const { return entries_.size(); }
  size_t SlotOf(size_t given) const { return slotOf_[given]; }
  const Entry& At(size_t slot) const { return entries_[slot]; }
  bool Active(size_t slot) const { return active_[slot] != 0; }
  void SetActive(size_t slot, bool on);
  size_t ActiveCount() const { return entries_.empty() ? 0 : count_[Mid(0, entries_.size())]; }

  // The active slot nearest to (x, y), kNone when none is active.
  size_t Nearest(int32_t x, int32_t y) const;
  // Up to k active slots nearest to (x, y), nearest first, skipping those
  // whose id equals `skipId`.
  void KNearest(int32_t x, int32_t y, size_t k, uint32_t skipId, std::vector<size_t>& out) const;

 private:
  struct Item {
    Entry entry;
    uint32_t given;
  };
  static size_t Mid(size_t lo, size_t hi) { return lo + (hi - lo) / 2; }
  void Build(size_t lo, size_t hi, std::vector<Item>& items);

  std::vector<Entry> entries_;
  std::vector<uint32_t> slotOf_;
  std::vector<uint32_t> count_;  // at a node's median: active entries in its range
  std::vector<uint8_t> axis_;    // at a node's median: 0 splits on x, 1 on y
  std::vector<uint8_t> active_;
};

// Squared distance in doubles: exact for the coordinates of real jobs, and
// free of overflow for any two int32 points.
inline double SquaredDistance(int32_t ax, int32_t ay, int32_t bx, int32_t by) {
  const double dx = static_cast<double>(ax) - bx;
  const double dy = static_cast<double>(ay) - by;
  return dx * dx + dy * dy;
}

}  // namespace plotsend
