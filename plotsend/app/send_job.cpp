#include "app/send_job.h"

#include <algorithm>

namespace plotsend {

SendOutcome SendJob(std::span<const uint8_t> job, const ChunkWriter& write, SendProgress& progress,
                    const std::atomic<bool>& cancel) {
  const uint64_t length = job.size();
  // Kilobyte blocks, plus one; 32 bits wide so that big jobs do not wrap.
  progress.Start(static_cast<uint32_t>(std::min<uint64_t>((length >> 10) + 1, UINT32_MAX)));
  uint64_t offset = 0;
  uint64_t lastBlock = 0;
  uint64_t shown = 0;
  while (offset < length) {
    if (offset >> 10 != lastBlock) {
      lastBlock = offset >> 10;
      progress.Step();
    }
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kSendChunk, length - offset));
    if (!write(job.data() + offset, n)) return SendOutcome::Failed;
    offset += n;
    // The count grows by a whole chunk, the last shorter one too.
    shown += kSendChunk;
    progress.Count(shown);
    if (cancel.load()) return offset < length ? SendOutcome::Cancelled : SendOutcome::Finished;
  }
  return SendOutcome::Finished;
}

}  // namespace plotsend
