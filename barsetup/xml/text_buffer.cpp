#include "xml/text_buffer.h"

#include <cstring>

namespace barsetup {

void TextBuffer::MoveGap(size_t to) const {
  if (gapLength_ != 0) {
    char* b = buffer_.data();
    if (to < gapStart_) {
      std::memmove(b + to + gapLength_, b + to, gapStart_ - to);
    } else if (to > gapStart_) {
      std::memmove(b + gapStart_, b + gapStart_ + gapLength_, to - gapStart_);
    }
  }
  gapStart_ = to;
}

std::string_view TextBuffer::View(size_t from, size_t to) const {
  if (from < gapStart_ && gapStart_ < to) MoveGap(gapStart_ - from <= to - gapStart_ ? from : to);
  const size_t at = to <= gapStart_ ? from : from + gapLength_;
  return std::string_view(buffer_.data() + at, to - from);
}

const std::string& TextBuffer::Str() const {
  MoveGap(size());
  buffer_.resize(gapStart_);  // the gap becomes spare room of the string
  gapLength_ = 0;
  return buffer_;
}

void TextBuffer::Assign(std::string&& text) {
  buffer_ = std::move(text);
  gapStart_ = buffer_.size();
  gapLength_ = 0;
  widening_ = kFirstWidening;
}

// Makes the gap hold at least needed bytes. Each widening of a run of edits
// doubles what it adds beyond them, so that long runs move the tail only a
// few times, while a single edit touches little memory that the text has
// reserved but not used yet (first touches are costly). Past the reserved
// room the buffer grows to 1.5 times the size needed plus 128 bytes.
void TextBuffer::Widen(size_t needed) {
  const size_t length = size();
  const size_t tail = buffer_.size() - gapStart_ - gapLength_;
  const size_t least = length + needed;
  size_t physical = least + widening_;
  if (physical > buffer_.capacity()) {
    physical = buffer_.capacity() >= least ? buffer_.capacity() : least + least / 2 + 128;
  }
  if (widening_ < least) widening_ *= 2;
  buffer_.resize(physical);
  char* b = buffer_.data();
  std::memmove(b + physical - tail, b + gapStart_ + gapLength_, tail);
  gapLength_ = physical - length;
}

bool TextBuffer::Replace(size_t pos, size_t removeLength, std::string_view insert) {
  if (pos > size() || removeLength > size() - pos) return false;
  MoveGap(pos);
  gapLength_ += removeLength;
  if (insert.size() > gapLength_) Widen(insert.size());
  if (!insert.empty()) std::memcpy(buffer_.data() + gapStart_, insert.data(), insert.size());
  gapStart_ += insert.size();
  gapLength_ -= insert.size();
  return true;
}

}  // namespace barsetup
