#pragma once
// Runs a program as a child process and measures it, for the benchmark
// report: wall time and the child's own peak resident memory.
#include <cstdint>
#include <string>
#include <vector>

namespace plotsend {

struct ChildRun {
  bool ok = false;      // started and exited with status 0
  double seconds = 0;   // wall clock from start to exit
  int64_t peakRss = 0;  // the child's highest resident set size, in bytes
};

// Runs argv[0] (looked up on PATH when it has no '/') with its output thrown
// away, and waits for it.
ChildRun RunChild(const std::vector<std::string>& argv);

}  // namespace plotsend
