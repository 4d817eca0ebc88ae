#include "job/trig_tables.h"

#include <cmath>

namespace plotsend {
namespace {

constexpr double kPi = 3.14159265358979323846;

int32_t Truncated1000(int degrees) {
  return static_cast<int32_t>(std::trunc(std::sin(degrees * kPi / 180.0) * 1000.0));
}

TrigTables BuildTables() {
  TrigTables t;
  for (size_t d = 0; d < kTrigTableSize; ++d) {
    t.sin[d] = Truncated1000(static_cast<int>(d));
    t.cos[d] = Truncated1000(static_cast<int>(d) + 90);
  }
  // Where the scaled value is a whole number, sin() lands a hair to either
  // side of it and the truncation depends on the maths library. These
  // entries are pinned to the values the cutter's tables hold; every other
  // entry lies more than 0.001 away from a whole number and is stable.
  t.sin[0] = 0;
  t.sin[30] = 500;
  t.sin[90] = 1000;
  t.sin[150] = 499;
  t.sin[180] = 0;
  t.cos[0] = 1000;
  t.cos[60] = 499;
  t.cos[90] = 0;
  t.cos[120] = -500;
  t.cos[180] = -1000;
  return t;
}

size_t Clamp(int d) {
  constexpr int kLast = static_cast<int>(kTrigTableSize) - 1;
  return static_cast<size_t>(d < 0 ? 0 : (d > kLast ? kLast : d));
}

}  // namespace

const TrigTables& GetTrigTables() {
  static const TrigTables tables = BuildTables();
  return tables;
}

int32_t Sin1000(int d) { return GetTrigTables().sin[Clamp(d)]; }
int32_t Cos1000(int d) { return GetTrigTables().cos[Clamp(d)]; }

}  // namespace plotsend
