// libFuzzer target for the section stage: the first byte picks the section
// count (-4..59, so the refusal above 50 and the non-positive counts are
// reached too), the rest is the source drawing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "job/multi_section.h"

namespace {

size_t Moves(std::string_view text) {
  size_t n = 0;
  for (const char c : text) n += c == 'U' || c == 'D';
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int32_t sections = static_cast<int32_t>(data[0] % 64) - 4;
  const std::string_view source(reinterpret_cast<const char*>(data + 1), size - 1);

  plotsend::CPltMultiSection stage;
  stage.SetSectionCount(sections);
  std::string out;
  const bool ok = stage.Transform(source, out);

  // Results that must hold for every input.
  if (sections > 50) {
    if (ok || !out.empty()) std::abort();
    return 0;
  }
  if (!ok) std::abort();
  const std::string_view end = sections <= 1 ? "@" : "@;";
  if (out.size() < end.size() || out.compare(out.size() - end.size(), end.size(), end) != 0) std::abort();
  if (sections <= 1) return 0;
  if (out.compare(0, 3, "IN;") != 0) std::abort();

  // Bands keep every record of the single-section output: whole paths are
  // copied, cut paths gain points on the boundaries.
  plotsend::CPltMultiSection single;
  std::string whole;
  if (!single.Transform(source, whole)) std::abort();
  if (Moves(out) < Moves(whole)) std::abort();
  return 0;
}
