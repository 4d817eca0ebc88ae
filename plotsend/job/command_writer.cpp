#include "command_writer.h"

#include <charconv>
#include <cstring>

#include "decimal.h"

namespace plotsend {
namespace {

constexpr size_t kMaxNumberLength = 11;  // "-2147483648"
constexpr size_t kChunkSize = 64 * 1024;

char* PutNumber(char* p, int64_t v) {
  return std::to_chars(p, p + kMaxNumberLength, SaturateInt32(v)).ptr;
}

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

}  // namespace

size_t FormatDeviceMove(char letter, int32_t first, int32_t second,
                        std::array<char, kMaxMoveLength>& out) {
  char* const begin = out.data();
  char* p = begin;
  *p++ = letter;
  p = PutNumber(p, first);
  begin[1] = Transposed(begin[1]);
  *p++ = ',';
  p = PutNumber(p, second);
  *p++ = ';';
  return static_cast<size_t>(p - begin);
}

CommandWriter::CommandWriter(const std::string& path, const Params& params)
    : params_(params), out_(path), chunk_(kChunkSize) {
  const int32_t sections = params_.mark.SectionCount == 0 ? 1 : params_.mark.SectionCount;
  sectionWidth_ = params_.mark.MarkSpanY / sections;
}

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
  std::array<char, kMaxMoveLength> buffer;
  const size_t n = FormatDeviceMove(letter, first, second, buffer);
  Put(std::string_view(buffer.data(), n));
}

void CommandWriter::Move(char letter, int32_t x, int32_t y) {
  RawMove(letter, SaturateInt32(int64_t{y} - shift_), x);
}

// "TB27,<margin>,<section width>,<span x + 2 margins>;"
void CommandWriter::SectionStart() {
  const MarkRef& m = params_.mark;
  std::array<char, 5 + 3 * (kMaxNumberLength + 1)> buffer;
  char* p = buffer.data();
  for (char c : std::string_view("TB27,")) *p++ = c;
  p = PutNumber(p, m.MarkMargin);
  *p++ = ',';
  p = PutNumber(p, sectionWidth_);
  *p++ = ',';
  p = PutNumber(p, int64_t{m.MarkSpanX} + 2 * int64_t{m.MarkMargin});
  *p++ = ';';
  Put(std::string_view(buffer.data(), static_cast<size_t>(p - buffer.data())));
}

void CommandWriter::Announce() {
  Put("TKN;U0,0;");
  announced_ = true;
}

void CommandWriter::Header() {
  const MarkRef& m = params_.mark;
  const int64_t margin = m.MarkMargin;
  switch (m.MarkType) {
    case 8:
    case 9:
      if (InWindow()) {
        SectionStart();
        Announce();
      }
      return;
    case 2:
    case 4:
    case 6:
    case 3:
    case 5:
    case 7: {
      const bool framed = m.MarkType % 2 == 0;  // 2, 4, 6: span Y plus both margins
      std::array<char, 5 + 3 * (kMaxNumberLength + 1)> buffer;
      char* p = buffer.data();
      for (char c : std::string_view("TB26,")) *p++ = c;
      p = PutNumber(p, margin);
      *p++ = ',';
      p = PutNumber(p, framed ? m.MarkSpanY + 2 * margin : int64_t{m.MarkSpanY});
      *p++ = ',';
      p = PutNumber(p, m.MarkSpanX + 2 * margin);
      *p++ = ';';
      Put(std::string_view(buffer.data(), static_cast<size_t>(p - buffer.data())));
      break;
    }
    default:
      break;
  }
  // Written for every type but 8 and 9 without counting as announced, so the
  // first section marker announces again.
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
  const bool sectioned = params_.mark.MarkType == 8 || params_.mark.MarkType == 9;
  RawMove('U', sectioned ? sectionWidth_ : params_.jobLength, 0);
  Put("@");
  FlushChunk();
  return out_.Close();
}

}  // namespace plotsend
