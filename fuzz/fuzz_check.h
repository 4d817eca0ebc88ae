#pragma once
// A fuzz target's invariant: a failed one aborts with its text and line, so
// libFuzzer keeps the input that broke it.
#include <cstdio>
#include <cstdlib>

#define Check(condition)                                                          \
  do {                                                                            \
    if (!(condition)) {                                                           \
      std::fprintf(stderr, "check failed: %s (line %d)\n", #condition, __LINE__); \
      std::abort();                                                               \
    }                                                                             \
  } while (0)
