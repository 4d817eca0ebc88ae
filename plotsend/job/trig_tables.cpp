#include "trig_tables.h"

#include <array>
#include <cmath>

namespace plotsend {
namespace {

constexpr double kPi = 3.14159265358979323846;

int32_t Truncated1000(int degrees) {
  return static_cast<int32_t>(std::trunc(std::sin(degrees * kPi / 180.0) * 1000.0));
}

struct Tables {
  std::array<int32_t, kTrigTableSize> sin{};
  std::array<int32_t, kTrigTableSize> cos{};

  Tables() {
    for (int d = 0; d < kTrigTableSize; ++d) {
      sin[d] = Truncated1000(d);
      cos[d] = Truncated1000(d + 90);
    }
    // Where the scaled value is a whole number, sin() lands a hair to either
    // side of it and the truncation depends on the maths library. These
    // entries are pinned to the values the cutter's tables hold; every other
    // entry lies more than 0.001 away from a whole number and is stable.
    sin[0] = 0;
    sin[30] = 500;
    sin[90] = 1000;
    sin[150] = 499;
    sin[180] = 0;
    cos[0] = 1000;
    cos[60] = 499;
    cos[90] = 0;
    cos[120] = -500;
    cos[180] = -1000;
  }
};

const Tables& GetTables() {
  static const Tables tables;
  return tables;
}

int Clamp(int d) { return d < 0 ? 0 : (d >= kTrigTableSize ? kTrigTableSize - 1 : d); }

}  // namespace

int32_t Sin1000(int d) { return GetTables().sin[static_cast<size_t>(Clamp(d))]; }
int32_t Cos1000(int d) { return GetTables().cos[static_cast<size_t>(Clamp(d))]; }

}  // namespace plotsend
