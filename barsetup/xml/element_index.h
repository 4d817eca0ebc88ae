// The element index of a document: one record per element, in segments of
// 65,536 records that never move once full.
//
// An edit moves the starts of all elements after it. So that a run of edits
// close to each other costs no more than the records between them, starts
// are kept in two forms around the place of the last edit: the records
// before it hold their start, those after it their start plus a common
// shift, and an edit changes only the shift. Only the records that the next
// edit point passes over change form.
#pragma once

#include <algorithm>
#include <cstddef>
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
  uint32_t length = 0;  // start tag to end of end tag
  uint32_t startTagLength = 0;
  uint32_t endTagLength = 0;  // 0 when there is none
  uint32_t flags = 0;
  uint32_t depth = 0;  // the root element is depth 0
  int32_t parent = 0;
  int32_t firstChild = 0;
  int32_t next = 0;  // also chains released records
  int32_t prev = 0;  // the first child's prev is the last sibling
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
    order_.clear();
    order_.reserve(minRecords);
    beforeEnd_ = afterBegin_ = 0;
    orderWidening_ = kFirstOrderWidening;
    shift_ = kShiftBase;
    afterFrom_ = UINT32_MAX;
    NewRecord(0);
  }

  // A new cleared record at the end, starting at start; its number. The
  // start must lie after every other record's and before the last edit's
  // end: records come in document order, or one at a time from an edit.
  int32_t Add(uint32_t start) {
    const int32_t r = NewRecord(start);
    if (beforeEnd_ == afterBegin_) OpenOrderGap();
    order_[beforeEnd_++] = r;
    return r;
  }

  ElementRecord& operator[](int32_t p) {
    return segments_[static_cast<uint32_t>(p) >> kSegmentBits]->records[p & (kSegmentSize - 1)];
  }
  const ElementRecord& operator[](int32_t p) const {
    return segments_[static_cast<uint32_t>(p) >> kSegmentBits]->records[p & (kSegmentSize - 1)];
  }
  uint32_t Start(int32_t p) const {
    const uint32_t s = Stored(p);
    return s >= afterFrom_ ? s - shift_ : s;
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

  // Links record r in as a child of parent: before or after its child
  // sibling, or, with sibling 0, as the first or the last child.
  void Link(int32_t parent, int32_t r, int32_t sibling, bool before) {
    if (sibling == 0 && before) sibling = (*this)[parent].firstChild;
    if (sibling == 0) {
      AppendChild(parent, r);
    } else if (before) {
      InsertBefore(parent, sibling, r);
    } else {
      InsertAfter(parent, sibling, r);
    }
  }

  // Takes record r out of its parent's children; returns the sibling before
  // it, 0 when it was the first.
  int32_t Unlink(int32_t r) {
    const ElementRecord& rec = (*this)[r];
    ElementRecord& parent = (*this)[rec.parent];
    if ((rec.flags & kElementFirstChild) != 0) {
      parent.firstChild = rec.next;
      if (rec.next != 0) {
        (*this)[rec.next].flags |= kElementFirstChild;
        (*this)[rec.next].prev = rec.prev;
      }
      return 0;
    }
    (*this)[rec.prev].next = rec.next;
    (*this)[rec.next != 0 ? rec.next : parent.firstChild].prev = rec.prev;
    return rec.prev;
  }

  // Next unused record number.
  uint32_t Count() const { return count_; }

  // The text [pos, pos + removed) was replaced by inserted bytes: records
  // starting after it move, and those starting inside it, which the caller
  // has released, are dropped.
  void Edit(uint32_t pos, uint32_t removed, uint32_t inserted) {
    while (beforeEnd_ > 0 && Stored(order_[beforeEnd_ - 1]) >= pos) {
      const int32_t r = order_[--beforeEnd_];
      Stored(r) += shift_;
      order_[--afterBegin_] = r;
    }
    while (afterBegin_ < order_.size()) {
      const int32_t r = order_[afterBegin_];
      const uint32_t start = Stored(r) - shift_;
      if (start >= pos + removed) break;
      ++afterBegin_;
      if (start < pos) {
        Stored(r) = start;
        order_[beforeEnd_++] = r;
      }
    }
    shift_ += removed - inserted;
    afterFrom_ = pos + inserted + shift_;
  }

 private:
  struct Segment {
    std::vector<uint32_t> starts;
    std::vector<ElementRecord> records;
  };

  // The shift of the records after the edit point starts here and falls by
  // the net growth of the text. Texts hold at most 0x7FFF0000 bytes, so it
  // stays above 0x10000 and start plus shift below 2^32: the two forms of
  // start never meet.
  static constexpr uint32_t kShiftBase = 0x80000000u;

  void InsertAfter(int32_t parent, int32_t sibling, int32_t r) {
    ElementRecord& rec = (*this)[r];
    const int32_t next = (*this)[sibling].next;
    rec.prev = sibling;
    rec.next = next;
    // The first child's prev names the last child.
    (*this)[next != 0 ? next : (*this)[parent].firstChild].prev = r;
    (*this)[sibling].next = r;
  }

  void InsertBefore(int32_t parent, int32_t sibling, int32_t r) {
    ElementRecord& rec = (*this)[r];
    ElementRecord& at = (*this)[sibling];
    rec.next = sibling;
    rec.prev = at.prev;
    if ((at.flags & kElementFirstChild) != 0) {
      at.flags &= ~kElementFirstChild;
      rec.flags |= kElementFirstChild;
      (*this)[parent].firstChild = r;
    } else {
      (*this)[at.prev].next = r;
    }
    at.prev = r;
  }

  uint32_t& Stored(int32_t p) {
    return segments_[static_cast<uint32_t>(p) >> kSegmentBits]->starts[p & (kSegmentSize - 1)];
  }
  uint32_t Stored(int32_t p) const {
    return segments_[static_cast<uint32_t>(p) >> kSegmentBits]->starts[p & (kSegmentSize - 1)];
  }

  // Room for one more record before the edit point: at the end while
  // nothing lies after it (as in the parse), else a gap that doubles with
  // each opening up to half the records, so that a run of additions moves
  // the records after it only a few times and a single one touches little
  // new memory.
  void OpenOrderGap() {
    if (afterBegin_ == order_.size()) {
      order_.push_back(0);
      afterBegin_ = order_.size();
      return;
    }
    const size_t extra = std::min(orderWidening_, order_.size() / 2 + 16);
    if (orderWidening_ < order_.size()) orderWidening_ *= 2;
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(afterBegin_), extra, 0);
    afterBegin_ += extra;
  }

  int32_t NewRecord(uint32_t start) {
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
    s.starts.push_back(start);
    return static_cast<int32_t>(count_++);
  }

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
  // The records in document order (record 0 is not among them), with a gap
  // at the edit point: [0, beforeEnd_) lie before it, [afterBegin_, end)
  // after it. Moving the edit point moves records across the gap.
  std::vector<int32_t> order_;
  size_t beforeEnd_ = 0;
  size_t afterBegin_ = 0;
  static constexpr size_t kFirstOrderWidening = 64;
  size_t orderWidening_ = kFirstOrderWidening;
  uint32_t shift_ = kShiftBase;
  uint32_t afterFrom_ = UINT32_MAX;  // stored starts from here on are shifted
};

}  // namespace barsetup
