#pragma once
// The benchmarks' random numbers: splitmix64, small, fast and the same
// sequence everywhere, so that a generated job is the same on every machine.
#include <cstdint>

namespace plotsend {

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [lo, hi] (the modulo bias is far below anything visible here).
  int32_t Range(int32_t lo, int32_t hi) {
    if (hi <= lo) return lo;
    const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(hi) - lo) + 1;
    return static_cast<int32_t>(lo + static_cast<int64_t>(Next() % span));
  }
  bool Percent(int32_t p) { return Range(0, 99) < p; }

 private:
  uint64_t state_;
};

}  // namespace plotsend
