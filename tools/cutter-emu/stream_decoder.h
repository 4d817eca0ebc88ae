#pragma once
// Incremental decoder of the byte stream a cutter receives: bytes may come in
// pieces of any size, split anywhere, and every byte ends up in exactly one
// event. Commands end with ';'; the single bytes '<', '>' and '@' stand alone
// between commands.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace cutter_emu {

enum class EventKind : uint8_t {
  Origin,    // '<': the head's position becomes the job's origin
  JogStart,  // '>': the alignment dialog drives the head until the next '<'
  Announce,  // "TKN;"
  Marks,     // "TB26,a,b,c;": registration-mark frame
  Section,   // "TB27,a,b,c;": a section starts
  PenUp,     // "U...;" outside jogging
  Cut,       // "D...;"
  Jog,       // "U...;" between '>' and '<'
  End,       // '@': end of job
  Unknown,   // bytes that are none of the above
};

// A command buffer longer than this cannot hold any known command; the rest
// of such a run up to its ';' is counted, not kept.
inline constexpr size_t kMaxCommandLength = 256;

struct StreamEvent {
  EventKind kind = EventKind::Unknown;
  uint64_t offset = 0;  // stream offset of the event's first byte
  uint64_t length = 0;  // bytes the event covers
  // Moves, in job terms: x is the second number, y the first with the
  // digit transposition undone.
  int32_t x = 0;
  int32_t y = 0;
  std::array<int32_t, 3> args{};  // Marks, Section
  // Unknown: the bytes (at most kMaxCommandLength of them); valid only
  // during the call. `terminated` is false for a run cut off by Finish.
  std::string_view text;
  bool terminated = true;
};

using EventSink = std::function<void(const StreamEvent&)>;

class StreamDecoder {
 public:
  explicit StreamDecoder(EventSink sink);

  void Feed(std::string_view bytes);
  // End of the stream: a command without its ';' becomes an unterminated
  // Unknown event.
  void Finish();

  uint64_t Offset() const { return offset_; }  // bytes fed so far
  bool Jogging() const { return jogging_; }
  bool HoldsPartialCommand() const { return runLength_ > 0; }

 private:
  void Byte(char c);
  void Single(EventKind kind);
  void Complete();
  void Emit(StreamEvent& e);
  void EmitUnknown(bool terminated);

  EventSink sink_;
  std::string pending_;     // the command so far, up to kMaxCommandLength bytes
  uint64_t runLength_ = 0;  // bytes of the command so far, kept or not
  uint64_t runStart_ = 0;
  uint64_t offset_ = 0;
  bool jogging_ = false;
};

// The digit exchange applied to the first character of a move's first
// number (3<->4, 6<->7); it is its own inverse.
char ExchangeDigit(char c);

}  // namespace cutter_emu
