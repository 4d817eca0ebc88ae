#pragma once
// For each path of a section, the few paths that lie nearest to it: the
// candidates the local moves try. A path lies at both ends when open, at
// the middle of its box when closed (its start may move to any vertex).
// Each list is found in a k-d tree the first time it is asked for.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "job/point_index.h"
#include "job/section_paths.h"

namespace plotsend {

class NearPaths {
 public:
  static constexpr size_t kMost = 8;

  explicit NearPaths(const SectionPaths& paths);
  std::span<const uint32_t> Of(uint32_t path);

 private:
  struct Places {
    OrderPoint at[2];
    size_t count;
  };
  Places PlacesOf(uint32_t path) const;
  std::vector<PointIndex::Entry> Entries() const;

  static constexpr uint8_t kUnknown = 0xff;
  const SectionPaths& paths_;
  PointIndex index_;
  std::vector<uint32_t> lists_;  // kMost slots per path
  std::vector<uint8_t> count_;   // kUnknown until found
  std::vector<size_t> found_;
};

}  // namespace plotsend
