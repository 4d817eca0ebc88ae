#pragma once
// Streaming the device command file to the cutter: 99-byte chunks, the
// progress bar stepped once per 1024 bytes, the running count in the status
// field, the cancel flag polled after every chunk.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace plotsend {

inline constexpr size_t kSendChunk = 99;

// What the send loop shows while it runs; called on the sending thread.
class SendProgress {
 public:
  virtual ~SendProgress() = default;
  virtual void Start(uint32_t range) = 0;  // position 0, range 0..range, step 1
  virtual void Step() = 0;
  virtual void Count(uint64_t shown) = 0;  // the running count for the status field
};

enum class SendOutcome { Finished, Cancelled, Failed };

// Writes one chunk; true only when every byte went out.
using ChunkWriter = std::function<bool(const uint8_t* bytes, size_t length)>;

// Sends `job` chunk by chunk. Stops at the first chunk that cannot be
// written (Failed) or after the chunk during which `cancel` was set.
SendOutcome SendJob(std::span<const uint8_t> job, const ChunkWriter& write, SendProgress& progress,
                    const std::atomic<bool>& cancel);

}  // namespace plotsend
