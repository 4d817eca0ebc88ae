// Feeds arbitrary bytes to the job reader, then bounds and the move to the
// origin, the way a prepared job goes through them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "job/plt_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plotsend::CPLTFile job;
  job.ParsePlt(std::string_view(reinterpret_cast<const char*>(data), size));
  job.ComputeBounds();
  const plotsend::Bounds b = job.GetBounds();
  job.MoveToOrigin(b.minX, b.minY);
  job.ApplyOriginOffset(b.maxX, b.maxY);
  return 0;
}
