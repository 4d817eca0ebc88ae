// The text of a document, held with a gap at the place of the last edit:
// a run of edits close to each other moves only the text between them,
// where moving the whole tail for every edit would make long runs of edits
// quadratic. Reads see the text without the gap. Moving the gap changes no
// byte of the text, so the reads that move it are const.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace barsetup {

class TextBuffer {
 public:
  size_t size() const { return buffer_.size() - gapLength_; }
  bool empty() const { return size() == 0; }
  char operator[](size_t i) const { return buffer_[i < gapStart_ ? i : i + gapLength_]; }

  // The text [from, to) in one piece, from <= to <= size() (the gap moves
  // out of it if it lies inside). Valid until the next edit, or until a
  // View of an overlapping range or Str() moves the gap.
  std::string_view View(size_t from, size_t to) const;
  // The whole text in one piece; the gap moves to the end.
  const std::string& Str() const;

  // Takes text (and the room it has reserved).
  void Assign(std::string&& text);
  // Replaces [pos, pos + removeLength) by insert, which must not lie in
  // this text; false if out of range.
  bool Replace(size_t pos, size_t removeLength, std::string_view insert);

 private:
  void MoveGap(size_t to) const;
  void Widen(size_t needed);

  static constexpr size_t kFirstWidening = 4096;

  mutable std::string buffer_;  // text before the gap, gap, text after it
  mutable size_t gapStart_ = 0;
  mutable size_t gapLength_ = 0;
  size_t widening_ = kFirstWidening;
};

}  // namespace barsetup
