#pragma once
// What the reader of the macros' drawing meets but does not read as drawn.
// It takes PU/PD with whole-number coordinates and ignores every other
// command, so a drawing that moves, scales or draws in other ways is cut as
// something else; these findings let the user be told.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plotsend {

// HPGL commands the reader ignores although they move the pen, draw, or
// change what coordinates mean.
inline constexpr std::array<std::string_view, 17> kIgnoredGeometry = {
    "PA", "PR", "SC", "IP", "IW", "RO", "AA", "AR", "CI", "EA", "ER", "RA", "RR", "EP", "FP", "PE", "LB"};

// A drawing longer or wider than this (50 m, in units) is taken for a misread.
inline constexpr int64_t kLargestDrawing = 50 * 1000 * 40;

struct DrawingFindings {
  uint32_t ignoredCommands = 0;     // bit i: kIgnoredGeometry[i] is used
  bool bareUpDown = false;          // "PU;" or "PD;" followed by PA/PR moves
  bool decimalCoordinates = false;  // a decimal point among PU/PD coordinates
  bool outOfRange = false;          // a PU/PD coordinate beyond the 32-bit range
  bool tooLarge = false;            // larger than kLargestDrawing on an axis

  bool Any() const { return ignoredCommands != 0 || bareUpDown || decimalCoordinates || outOfRange || tooLarge; }
  bool operator==(const DrawingFindings&) const = default;
};

namespace detail {
inline constexpr int kLetters = 26;
// kIgnoredGeometry's index for every two capital letters, -1 for the rest.
constexpr std::array<int8_t, kLetters * kLetters> MakeIgnoredIndex() {
  std::array<int8_t, kLetters * kLetters> index{};
  for (int8_t& i : index) i = -1;
  for (size_t i = 0; i < kIgnoredGeometry.size(); ++i) {
    const std::string_view name = kIgnoredGeometry[i];
    index[static_cast<size_t>((name[0] - 'A') * kLetters + (name[1] - 'A'))] = static_cast<int8_t>(i);
  }
  return index;
}
inline constexpr std::array<int8_t, kLetters* kLetters> kIgnoredIndex = MakeIgnoredIndex();
}  // namespace detail

// Index in kIgnoredGeometry of a two-letter command, -1 when it is none of them.
inline int IgnoredGeometryIndex(char c0, char c1) {
  if (c0 < 'A' || c0 > 'Z' || c1 < 'A' || c1 > 'Z') return -1;
  return detail::kIgnoredIndex[static_cast<size_t>((c0 - 'A') * detail::kLetters + (c1 - 'A'))];
}

// Collects the findings about the commands the reader passes over. Called
// for every such command, so it is kept inline and short.
class DrawingInspector {
 public:
  explicit DrawingInspector(DrawingFindings& findings) : findings_(findings) {}

  // A command that is not read, by its first two characters; `bare` when
  // nothing stands between them and its ";".
  void Ignored(char c0, char c1, bool bare) {
    if (bare && c0 == 'P' && (c1 == 'U' || c1 == 'D')) {
      barePen_ = true;
      return;
    }
    const int i = IgnoredGeometryIndex(c0, c1);
    if (i < 0 || (bare && !ActsWhenBare(c0, c1))) return;
    findings_.ignoredCommands |= uint32_t{1} << i;
    if (!bare && barePen_ && c0 == 'P' && (c1 == 'A' || c1 == 'R')) findings_.bareUpDown = true;
  }
  // The extent of the coordinates read, on each axis.
  void Extent(int64_t spanA, int64_t spanB) {
    if (spanA > kLargestDrawing || spanB > kLargestDrawing) findings_.tooLarge = true;
  }

 private:
  // Without parameters PA, SC, IP, IW and RO restore the defaults the
  // reader assumes anyway (absolute plotter units, no rotation), and the
  // arcs do nothing. PR switches to relative moves, EP and FP draw the
  // polygon buffer, and LB's text runs to its own terminator.
  static bool ActsWhenBare(char c0, char c1) {
    return (c0 == 'P' && c1 == 'R') || (c0 == 'E' && c1 == 'P') || (c0 == 'F' && c1 == 'P') || (c0 == 'L' && c1 == 'B');
  }

  DrawingFindings& findings_;
  bool barePen_ = false;  // a "PU;" or "PD;" has been met
};

}  // namespace plotsend
