// libFuzzer's entry: one input through the check this target was built for.
// A broken rule aborts with its description, which libFuzzer reports as a
// crash and keeps the input of.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz_checks.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  PrepareFuzzChecks();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault = FUZZ_CHECK(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!fault.empty()) {
    std::fprintf(stderr, "fuzz check failed: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
