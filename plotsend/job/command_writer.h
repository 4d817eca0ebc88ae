#pragma once
// The parts of a device command file that both cut writers share: the
// registration-mark header, the section markers and window, the section
// shift, the trailer and the transposed U/D moves.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "job/cut_params.h"
#include "job/file_io.h"

namespace plotsend {

// Longest move: letter, two int32 numbers of up to 11 characters, ',' and ';'.
inline constexpr size_t kMaxMoveLength = 25;

// "<letter><first>,<second>;" with the device transposition applied to the
// first character of the first number (3<->4, 6<->7). Returns the bytes
// written into `out`.
size_t FormatDeviceMove(char letter, int32_t first, int32_t second, std::array<char, kMaxMoveLength>& out);

class CommandWriter {
 public:
  // Creates (or replaces) the file at `path`; Ok() tells whether that
  // worked. Takes the mark description, the window and the closing move
  // from `params`.
  CommandWriter(const std::string& path, const CutParams& params);

  bool Ok() const { return out_.Ok(); }
  bool InWindow() const { return window_.Contains(current_); }

  void Header();
  // A move to job point (x, y): written as (y - shift, x). Callers skip
  // moves of sections outside the window.
  void Move(char letter, int32_t x, int32_t y);
  // A section marker: closes the current section, opens the next.
  void Marker();
  // Final move and "@"; closes the file. True when every byte reached it.
  bool Finish();

 private:
  // Commands are gathered in a chunk and handed to the file writer in bulk.
  void Put(std::string_view bytes);
  void FlushChunk();
  void RawMove(char letter, int32_t first, int32_t second);
  void MarkCommand(std::string_view name, int32_t a, int32_t b);
  void SectionStart();
  void Announce();

  const MarkRef mark_;
  const SectionWindow window_;
  const int32_t sectionWidth_;
  const int32_t closingMove_;
  const std::function<bool()> beforeCommit_;
  BufferedWriter out_;
  std::vector<char> chunk_;
  size_t used_ = 0;
  int32_t shift_ = 0;
  int current_ = 1;  // wide enough never to wrap, however many markers
  bool announced_ = false;
};

}  // namespace plotsend
