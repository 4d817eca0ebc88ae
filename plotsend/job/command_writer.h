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

#include "file_io.h"
#include "mark_ref.h"

namespace plotsend {

// Longest move: letter, two int32 numbers of up to 11 characters, ',' and ';'.
inline constexpr size_t kMaxMoveLength = 25;

// "<letter><first>,<second>;" with the device transposition applied to the
// first character of the first number (3<->4, 6<->7). Returns the bytes
// written into `out`.
size_t FormatDeviceMove(char letter, int32_t first, int32_t second,
                        std::array<char, kMaxMoveLength>& out);

class CommandWriter {
 public:
  struct Params {
    MarkRef mark;
    uint8_t from = 1;  // section window, 1-based, inclusive
    uint8_t to = 255;
    int32_t jobLength = 0;
  };

  // Creates (or replaces) the file at `path`; Ok() tells whether that worked.
  CommandWriter(const std::string& path, const Params& params);

  bool Ok() const { return out_.Ok(); }
  // MarkSpanY / SectionCount, a section count of 0 counting as 1.
  int32_t SectionWidth() const { return sectionWidth_; }
  bool InWindow() const { return current_ >= params_.from && current_ <= params_.to; }

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
  void SectionStart();
  void Announce();

  Params params_;
  BufferedWriter out_;
  std::vector<char> chunk_;
  size_t used_ = 0;
  int32_t sectionWidth_ = 0;
  int32_t shift_ = 0;
  int current_ = 1;  // wide enough never to wrap, however many markers
  bool announced_ = false;
};

// Kinds below the first marker kind are moves; every move but a pen-up cuts.
inline bool IsMarkerKind(uint8_t kind) { return kind >= 4; }
inline bool IsCutKind(uint8_t kind) { return kind != 1 && kind < 4; }

}  // namespace plotsend
