#pragma once
// Which closed paths of a section enclose which: a contour inside another
// is cut first, so that a letter's counter is cut while the letter is still
// held by the material around it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "job/section_paths.h"

namespace plotsend {

// Where a point lies against a closed path (even-odd rule).
enum class RingSide { Outside, Inside, Boundary };
RingSide SideOfRing(std::span<const OrderPoint> closedPath, OrderPoint q);

// Closed path A is enclosed by closed path B when B's bounding box holds
// A's, B ranks above A (larger box area, then later in the section), and
// the first vertex of A that is not on B's outline lies inside B. For
// contours that do not cross this is plain nesting at any depth. At most
// kMaxEnclosers enclosers are kept per path, those ranked lowest (for
// nested contours the innermost, which also orders the rest through them).
inline constexpr size_t kMaxEnclosers = 16;

class Nesting {
 public:
  std::span<const uint32_t> Enclosers(size_t path) const {
    return {outer_.data() + begin_[path], begin_[path + 1] - begin_[path]};
  }
  bool Empty() const { return outer_.empty(); }

 private:
  friend Nesting FindNesting(const SectionPaths& paths);
  std::vector<size_t> begin_;    // per path, plus the end
  std::vector<uint32_t> outer_;  // the enclosers of every path in turn
};

// Found through a grid of cells of doubling size (each box registered in at
// most four cells of the size that fits it), so a section of many small
// contours is not compared pair by pair.
Nesting FindNesting(const SectionPaths& paths);

}  // namespace plotsend
