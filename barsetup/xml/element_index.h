// The element index of a document: one record per element, in segments of
// 65,536 records that never move once full.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace barsetup {

inline constexpr uint32_t kElementReleased = 0x20000;
inline constexpr uint32_t kElementFirstChild = 0x80000;
inline constexpr uint32_t kElementUnended = 0x100000;
inline constexpr uint32_t kElementMarkupError = 0x200000;
inline constexpr uint32_t kDocumentNotWellFormed = 0x800000;  // record 0 only

// Record 0 stands for the document. Start offsets live apart from the rest
// of the record so that shifting them after an edit is one tight loop.
struct ElementRecord {
  uint32_t length = 0;          // start tag to end of end tag
  uint32_t startTagLength = 0;
  uint32_t endTagLength = 0;    // 0 when there is none
  uint32_t flags = 0;
  uint32_t depth = 0;           // the root element is depth 0
  int32_t parent = 0;
  int32_t firstChild = 0;
  int32_t next = 0;             // also chains released records
  int32_t prev = 0;             // the first child's prev is the last sibling
};

class ElementIndex {
 public:
  static constexpr int kSegmentBits = 16;
  static constexpr uint32_t kSegmentSize = 1u << kSegmentBits;

  ElementIndex() { Reset(8); }

  // Back to record 0 alone (cleared), with room for at least minRecords.
  void Reset(size_t minRecords) {
    for (auto& s : segments_) {
      s->starts.clear();
      s->records.clear();
    }
    if (segments_.empty()) segments_.push_back(std::make_unique<Segment>());
    Reserve(minRecords);
    count_ = 0;
    Add();
  }

  // A new cleared record at the end; its number.
  int32_t Add() {
    const uint32_t seg = count_ >> kSegmentBits;
    if (seg >= segments_.size()) segments_.push_back(std::make_unique<Segment>());
    Segment& s = *segments_[seg];
    if (s.records.size() == s.records.capacity()) {
      size_t grown = s.records.capacity() + s.records.capacity() / 2 + 16;
      if (grown > kSegmentSize) grown = kSegmentSize;
      s.records.reserve(grown);
      s.starts.reserve(grown);
    }
    s.records.emplace_back();
    s.starts.push_back(0);
    return static_cast<int32_t>(count_++);
  }

  ElementRecord& operator[](int32_t p) {
    return segments_[static_cast<uint32_t>(p) >> kSegmentBits]->records[p & (kSegmentSize - 1)];
  }
  const ElementRecord& operator[](int32_t p) const {
    return segments_[static_cast<uint32_t>(p) >> kSegmentBits]->records[p & (kSegmentSize - 1)];
  }
  uint32_t& Start(int32_t p) {
    return segments_[static_cast<uint32_t>(p) >> kSegmentBits]->starts[p & (kSegmentSize - 1)];
  }
  uint32_t Start(int32_t p) const {
    return segments_[static_cast<uint32_t>(p) >> kSegmentBits]->starts[p & (kSegmentSize - 1)];
  }

  // Links record r in as the last child of parent.
  void AppendChild(int32_t parent, int32_t r) {
    ElementRecord& p = (*this)[parent];
    ElementRecord& rec = (*this)[r];
    if (p.firstChild == 0) {
      p.firstChild = r;
      rec.flags |= kElementFirstChild;
      rec.prev = r;
      return;
    }
    ElementRecord& first = (*this)[p.firstChild];
    const int32_t last = first.prev;
    (*this)[last].next = r;
    rec.prev = last;
    first.prev = r;
  }

  // Next unused record number.
  uint32_t Count() const { return count_; }

  // Every record starting at or after from moves by delta (mod 2^32).
  void ShiftStarts(uint32_t from, uint32_t delta) {
    for (auto& s : segments_) {
      uint32_t* p = s->starts.data();
      const size_t n = s->starts.size();
      for (size_t i = 0; i < n; ++i) p[i] += p[i] >= from ? delta : 0u;
    }
  }

 private:
  struct Segment {
    std::vector<uint32_t> starts;
    std::vector<ElementRecord> records;
  };

  void Reserve(size_t n) {
    size_t seg = 0;
    while (n > 0) {
      if (seg >= segments_.size()) segments_.push_back(std::make_unique<Segment>());
      const size_t here = n < kSegmentSize ? n : kSegmentSize;
      segments_[seg]->records.reserve(here);
      segments_[seg]->starts.reserve(here);
      n -= here;
      ++seg;
    }
  }

  std::vector<std::unique_ptr<Segment>> segments_;
  uint32_t count_ = 0;
};

}  // namespace barsetup
