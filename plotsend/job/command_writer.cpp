#include "job/command_writer.h"

#include <algorithm>
#include <cstring>

#include "job/decimal.h"
#include "job/int_text.h"

namespace plotsend {
namespace {

constexpr size_t kMaxNumberLength = kMaxInt32Text;
constexpr size_t kChunkSize = 64 * 1024;

char* PutNumber(char* p, int64_t v) { return PutInt32(p, SaturateInt32(v)); }

// The cutter expects these digit pairs exchanged in the first character of
// the y number and swaps them back.
char Transposed(char c) {
  switch (c) {
    case '3': return '4';
    case '4': return '3';
    case '6': return '7';
    case '7': return '6';
    default: return c;
  }
}

// FormatDeviceMove into `begin`, which has kMaxMoveLength bytes of room.
char* PutDeviceMove(char* const begin, char letter, int32_t first, int32_t second) {
  char* p = begin;
  *p++ = letter;
  p = PutNumber(p, first);
  begin[1] = Transposed(begin[1]);
  *p++ = ',';
  p = PutNumber(p, second);
  *p++ = ';';
  return p;
}

}  // namespace

size_t FormatDeviceMove(char letter, int32_t first, int32_t second, std::array<char, kMaxMoveLength>& out) {
  return static_cast<size_t>(PutDeviceMove(out.data(), letter, first, second) - out.data());
}

CommandWriter::CommandWriter(const std::string& path, const CutParams& params)
    : mark_(params.mark),
      window_(params.window),
      sectionWidth_(params.mark.SectionWidth()),
      closingMove_(params.ClosingMove()),
      beforeCommit_(params.beforeCommit),
      out_(path),
      chunk_(kChunkSize) {}

void CommandWriter::FlushChunk() {
  out_.Write(std::string_view(chunk_.data(), used_));
  used_ = 0;
}

void CommandWriter::Put(std::string_view bytes) {
  if (bytes.size() > chunk_.size() - used_) {
    FlushChunk();
    if (bytes.size() > chunk_.size()) {
      out_.Write(bytes);
      return;
    }
  }
  std::memcpy(chunk_.data() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

void CommandWriter::RawMove(char letter, int32_t first, int32_t second) {
  if (chunk_.size() - used_ < kMaxMoveLength) FlushChunk();
  used_ = static_cast<size_t>(PutDeviceMove(chunk_.data() + used_, letter, first, second) - chunk_.data());
}

void CommandWriter::Move(char letter, int32_t x, int32_t y) { RawMove(letter, SaturateInt32(int64_t{y} - shift_), x); }

// "<name><margin>,<a>,<b>;": the mark commands TB26 and TB27.
void CommandWriter::MarkCommand(std::string_view name, int32_t a, int32_t b) {
  std::array<char, 5 + 3 * (kMaxNumberLength + 1)> buffer;
  char* p = std::copy(name.begin(), name.end(), buffer.data());
  p = PutNumber(p, mark_.MarkMargin);
  *p++ = ',';
  p = PutNumber(p, a);
  *p++ = ',';
  p = PutNumber(p, b);
  *p++ = ';';
  Put(std::string_view(buffer.data(), static_cast<size_t>(p - buffer.data())));
}

// "TB27,<margin>,<section width>,<span x + 2 margins>;"
void CommandWriter::SectionStart() { MarkCommand("TB27,", sectionWidth_, mark_.SpanXWithMargins()); }

void CommandWriter::Announce() {
  Put("TKN;U0,0;");
  announced_ = true;
}

void CommandWriter::Header() {
  if (mark_.IsSectioned()) {
    if (InWindow()) {
      SectionStart();
      Announce();
    }
    return;
  }
  switch (mark_.MarkType) {
    case 2:
    case 4:
    case 6:  // span Y plus both margins
      MarkCommand("TB26,", mark_.SpanYWithMargins(), mark_.SpanXWithMargins());
      break;
    case 3:
    case 5:
    case 7:  // span Y as it is
      MarkCommand("TB26,", mark_.MarkSpanY, mark_.SpanXWithMargins());
      break;
    default: break;
  }
  // Written for every unsectioned type without counting as announced, so
  // the first section marker announces again.
  Put("TKN;U0,0;");
}

void CommandWriter::Marker() {
  if (InWindow()) RawMove('U', sectionWidth_, 0);
  ++current_;
  if (InWindow()) {
    SectionStart();
    if (!announced_) Announce();
  }
  shift_ = SaturateInt32(int64_t{shift_} + sectionWidth_);
}

bool CommandWriter::Finish() {
  RawMove('U', closingMove_, 0);
  Put("@");
  FlushChunk();
  return out_.Close(beforeCommit_);
}

}  // namespace plotsend
