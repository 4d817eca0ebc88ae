#pragma once
// Whole-degree sine and cosine tables scaled by 1000, as the cutter's corner
// arcs are laid out with them.
#include <array>
#include <cstddef>
#include <cstdint>

namespace plotsend {

// Degrees 0..179 are the table proper; 180 is held as well so that a corner
// routine that finds no smaller entry still reads inside the table.
inline constexpr size_t kTrigTableSize = 181;

struct TrigTables {
  std::array<int32_t, kTrigTableSize> sin{};
  std::array<int32_t, kTrigTableSize> cos{};
};
// The tables themselves, built once; Cos1000 is non-increasing over 0..180.
const TrigTables& GetTrigTables();

// sin(d degrees) x 1000 truncated toward zero, except 500 at 30 and 499 at 150.
// d outside 0..180 is clamped.
int32_t Sin1000(int d);
// sin((d + 90) degrees) x 1000 truncated toward zero: 1000 at 0, 499 at 60,
// -500 at 120, -999 at 179. d outside 0..180 is clamped.
int32_t Cos1000(int d);

}  // namespace plotsend
