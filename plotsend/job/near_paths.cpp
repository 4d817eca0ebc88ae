#include "job/near_paths.h"

#include <algorithm>

namespace plotsend {

NearPaths::NearPaths(const SectionPaths& paths)
    : paths_(paths), index_(Entries()), lists_(paths.Count() * kMost), count_(paths.Count(), kUnknown) {
  for (size_t i = 0; i < index_.Size(); ++i) index_.SetActive(i, true);
}

NearPaths::Places NearPaths::PlacesOf(uint32_t path) const {
  const std::span<const OrderPoint> pts = paths_.Path(path);
  if (!paths_.Closed(path)) return {{pts.front(), pts.back()}, 2};
  int64_t x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
  for (const OrderPoint& q : pts) {
    x0 = std::min<int64_t>(x0, q.x), x1 = std::max<int64_t>(x1, q.x);
    y0 = std::min<int64_t>(y0, q.y), y1 = std::max<int64_t>(y1, q.y);
  }
  return {{{static_cast<int32_t>((x0 + x1) / 2), static_cast<int32_t>((y0 + y1) / 2)}}, 1};
}

std::vector<PointIndex::Entry> NearPaths::Entries() const {
  std::vector<PointIndex::Entry> entries;
  entries.reserve(paths_.Count() * 2);
  for (uint32_t p = 0; p < paths_.Count(); ++p) {
    const Places places = PlacesOf(p);
    for (size_t k = 0; k < places.count; ++k) entries.push_back({places.at[k].x, places.at[k].y, p});
  }
  return entries;
}

std::span<const uint32_t> NearPaths::Of(uint32_t path) {
  uint32_t* list = &lists_[size_t{path} * kMost];
  if (count_[path] != kUnknown) return {list, count_[path]};
  size_t count = 0;
  const Places places = PlacesOf(path);
  for (size_t k = 0; k < places.count; ++k) {
    index_.KNearest(places.at[k].x, places.at[k].y, kMost, path, found_);
    for (const size_t slot : found_) {
      const uint32_t q = index_.At(slot).id;
      if (count < kMost && std::find(list, list + count, q) == list + count) list[count++] = q;
    }
  }
  count_[path] = static_cast<uint8_t>(count);
  return {list, count};
}

}  // namespace plotsend
