// markref.kv text: any bytes must parse without crashing or undefined
// behaviour, and the section count is never 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/job_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const plotsend::MarkRef ref = plotsend::ParseMarkRef(text);
  if (ref.SectionCount == 0) std::abort();
  return 0;
}
