#pragma once

#include <cstdio>
#include <cstdlib>

// A property the program relies on after a read. A failed one aborts, which
// libFuzzer reports as a crash with the input that caused it.
inline void FuzzCheck(bool Holds, const char* What) {
  if (Holds)
    return;
  std::fprintf(stderr, "fuzz check failed: %s\n", What);
  std::abort();
}
