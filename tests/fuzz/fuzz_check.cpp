#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_input.h"

namespace zq::fuzz {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace zq::fuzz
