#pragma once
// A job's points as one stage of a run hands them to the next: appended
// once, in order, then read as often as a pass asks, from any thread. Each
// point is held as its kind and its steps from the point before (a few
// bytes for the short segments of flattened curves). Past a memory limit
// the record goes on in a scratch file that is read back through mapped
// windows, so that a job of any size takes a bounded part of memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "job/bounds.h"
#include "job/point_source.h"
#include "job/scratch_file.h"

namespace plotsend {

class PointRecord final : public PointSource {
 public:
  struct Options {
    std::string scratchDir;                // for a large record; the system's temporary directory when empty
    size_t memoryLimit = size_t{8} << 20;  // encoded bytes held in memory before the scratch file takes over
    size_t blockSize = size_t{1} << 20;    // bytes the record grows by (and goes to the scratch file in)
  };

  PointRecord() : PointRecord(Options{}) {}
  explicit PointRecord(Options options);
  PointRecord(const PointRecord&) = delete;
  PointRecord& operator=(const PointRecord&) = delete;
  ~PointRecord() override;

  // Throws std::bad_alloc when memory runs out.
  void Append(const JobPoint& p) {
    if (end_ - at_ < kMaxPointBytes) NextBlock();
    at_ = Encode(at_, p);
    ++count_;
    bounds_.Add(p);
    hasCut_ = hasCut_ || p.kind == kCut;
  }

  uint64_t Count() const { return count_; }
  // The bounds of the moves (the reader's rule) and whether any cuts.
  const Bounds& MoveBounds() const { return bounds_.Result(); }
  bool HasCut() const { return hasCut_; }
  // Whether part of the record lies in the scratch file.
  bool Spilled() const { return !spilledSizes_.empty(); }

  // False when a part in the scratch file cannot be mapped any more.
  bool ForEachBatch(const PointBatchFn& fn) const override;

 private:
  static constexpr ptrdiff_t kMaxPointBytes = 1 + 5 + 5;  // kind, two 33-bit steps

  struct Block {
    std::unique_ptr<uint8_t[]> bytes;
    size_t used = 0;
  };

  uint8_t* Encode(uint8_t* p, const JobPoint& q) {
    *p++ = q.kind;
    p = PutStep(p, int64_t{q.x} - lastX_);
    p = PutStep(p, int64_t{q.y} - lastY_);
    lastX_ = q.x;
    lastY_ = q.y;
    return p;
  }
  // A signed step as a zigzag varint: small steps of either sign take one byte.
  static uint8_t* PutStep(uint8_t* p, int64_t step) {
    uint64_t v = (static_cast<uint64_t>(step) << 1) ^ static_cast<uint64_t>(step >> 63);
    while (v >= 0x80) {
      *p++ = static_cast<uint8_t>(v | 0x80);
      v >>= 7;
    }
    *p++ = static_cast<uint8_t>(v);
    return p;
  }

  class Decoder;
  void NextBlock();
  void Spill();
  bool DecodeSpilled(Decoder& decoder) const;

  Options options_;
  std::vector<Block> blocks_;         // in memory, after the spilled ones; the last one is being filled
  std::unique_ptr<uint8_t[]> spare_;  // a spilled block's memory, for the next one
  std::vector<size_t> spilledSizes_;  // the blocks in the scratch file, in order
  std::unique_ptr<ScratchFile> scratch_;
  bool spillFailed_ = false;
  size_t heldBytes_ = 0;  // encoded bytes of the closed blocks in memory
  uint8_t* at_ = nullptr;
  uint8_t* end_ = nullptr;
  int32_t lastX_ = 0;
  int32_t lastY_ = 0;
  uint64_t count_ = 0;
  BoundsAccumulator bounds_;
  bool hasCut_ = false;
};

}  // namespace plotsend
