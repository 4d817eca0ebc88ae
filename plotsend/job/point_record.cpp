#include "job/point_record.h"

#include <algorithm>
#include <span>
#include <utility>

namespace plotsend {

// Turns the encoded bytes back into points and hands them on in batches.
class PointRecord::Decoder {
 public:
  explicit Decoder(const PointBatchFn& fn) : fn_(fn) { batch_.reserve(kBatch); }

  void Decode(const uint8_t* p, const uint8_t* const end) {
    while (p < end) {
      JobPoint q;
      q.kind = *p++;
      int64_t step = 0;
      p = GetStep(p, step);
      x_ = static_cast<int32_t>(x_ + step);
      p = GetStep(p, step);
      y_ = static_cast<int32_t>(y_ + step);
      q.x = x_;
      q.y = y_;
      batch_.push_back(q);
      if (batch_.size() == kBatch) Flush();
    }
  }

  void Flush() {
    if (!batch_.empty()) fn_(batch_);
    batch_.clear();
  }

 private:
  static constexpr size_t kBatch = 4096;

  static const uint8_t* GetStep(const uint8_t* p, int64_t& step) {
    uint64_t v = *p++;
    if (v >= 0x80) {
      v &= 0x7F;
      for (int shift = 7; shift < 64; shift += 7) {
        const uint64_t b = *p++;
        v |= (b & 0x7F) << shift;
        if (b < 0x80) break;
      }
    }
    step = static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
    return p;
  }

  const PointBatchFn& fn_;
  std::vector<JobPoint> batch_;
  int32_t x_ = 0;
  int32_t y_ = 0;
};

PointRecord::PointRecord(Options options) : options_(std::move(options)) {
  options_.blockSize = std::max(options_.blockSize, size_t{kMaxPointBytes});
}

PointRecord::~PointRecord() = default;

void PointRecord::NextBlock() {
  if (!blocks_.empty()) {
    Block& current = blocks_.back();
    current.used = static_cast<size_t>(at_ - current.bytes.get());
    heldBytes_ += current.used;
    if (heldBytes_ > options_.memoryLimit && !spillFailed_) Spill();
  }
  Block block;
  block.bytes = spare_ ? std::move(spare_) : std::make_unique<uint8_t[]>(options_.blockSize);
  at_ = block.bytes.get();
  end_ = at_ + options_.blockSize;
  blocks_.push_back(std::move(block));
}

// Moves every block held in memory (all closed) to the scratch file. When
// the file cannot be made or written, the record stays in memory.
void PointRecord::Spill() {
  if (!scratch_) scratch_ = CreateScratchFile(options_.scratchDir);
  if (!scratch_) {
    spillFailed_ = true;
    return;
  }
  size_t moved = 0;
  for (; moved < blocks_.size(); ++moved) {
    const Block& block = blocks_[moved];
    if (!scratch_->Append(std::span<const uint8_t>(block.bytes.get(), block.used))) {
      spillFailed_ = true;  // the blocks from here on stay; what the file holds of this one is never read
      break;
    }
    spilledSizes_.push_back(block.used);
    heldBytes_ -= block.used;
  }
  if (moved > 0) spare_ = std::move(blocks_[moved - 1].bytes);
  blocks_.erase(blocks_.begin(), blocks_.begin() + static_cast<ptrdiff_t>(moved));
}

// The spilled blocks, mapped a few at a time.
bool PointRecord::DecodeSpilled(Decoder& decoder) const {
  constexpr size_t kWindow = size_t{8} << 20;
  uint64_t offset = 0;
  size_t i = 0;
  while (i < spilledSizes_.size()) {
    size_t length = spilledSizes_[i];
    size_t last = i + 1;
    while (last < spilledSizes_.size() && length + spilledSizes_[last] <= kWindow) length += spilledSizes_[last++];
    const std::unique_ptr<ScratchWindow> window = scratch_->Map(offset, length);
    if (!window) return false;
    const uint8_t* p = window->Bytes().data();
    for (; i < last; ++i) {
      decoder.Decode(p, p + spilledSizes_[i]);
      p += spilledSizes_[i];
    }
    offset += length;
  }
  return true;
}

bool PointRecord::ForEachBatch(const PointBatchFn& fn) const {
  Decoder decoder(fn);
  if (!DecodeSpilled(decoder)) return false;
  for (const Block& block : blocks_) {
    const uint8_t* begin = block.bytes.get();
    const bool current = &block == &blocks_.back();
    decoder.Decode(begin, current ? at_ : begin + block.used);
  }
  decoder.Flush();
  return true;
}

}  // namespace plotsend
