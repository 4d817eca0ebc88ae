// Design files: any bytes, taken as SVG or HP-GL as their content says (and
// also forced through each importer), must import without crashing or
// undefined behaviour, and every path must lie within the point list.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "import/hpgl_import.h"
#include "import/load_design.h"
#include "import/svg_import.h"

namespace {

void CheckPaths(const plotmark::ImportResult& r) {
  for (const plotmark::DesignPath& p : r.design.paths) Check(p.begin <= p.end && p.end <= r.design.points.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckPaths(plotmark::ImportDesign(text, {"a"}));
  CheckPaths(plotmark::ImportSvg(text, {}));
  CheckPaths(plotmark::ImportHpgl(text));
  return 0;
}
