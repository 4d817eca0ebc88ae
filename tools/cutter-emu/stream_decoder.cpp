#include "cutter-emu/stream_decoder.h"

#include <charconv>
#include <utility>

namespace cutter_emu {
namespace {

// Reads one decimal int32 ("-" and digits only) at `text`, then expects
// `separator`. Leading '+', blanks and out-of-range values are refused.
bool ReadNumber(std::string_view& text, char separator, int32_t& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin == end || *begin == '+') return false;
  const auto [p, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || p == end || *p != separator) return false;
  text.remove_prefix(static_cast<size_t>(p - begin) + 1);
  return true;
}

// "<first>,<second>;", the digit exchange already undone.
bool ParseMove(std::string_view body, int32_t& y, int32_t& x) {
  return ReadNumber(body, ',', y) && ReadNumber(body, ';', x) && body.empty();
}

// "a,b,c;" after "TB26," or "TB27,".
bool ParseTriple(std::string_view body, std::array<int32_t, 3>& args) {
  return ReadNumber(body, ',', args[0]) && ReadNumber(body, ',', args[1]) && ReadNumber(body, ';', args[2]) &&
         body.empty();
}

}  // namespace

char ExchangeDigit(char c) {
  switch (c) {
    case '3': return '4';
    case '4': return '3';
    case '6': return '7';
    case '7': return '6';
    default: return c;
  }
}

StreamDecoder::StreamDecoder(EventSink sink) : sink_(std::move(sink)) { pending_.reserve(kMaxCommandLength); }

void StreamDecoder::Feed(std::string_view bytes) {
  for (char c : bytes) Byte(c);
}

void StreamDecoder::Finish() {
  if (runLength_ > 0) EmitUnknown(false);
}

void StreamDecoder::Byte(char c) {
  if (runLength_ == 0) {
    switch (c) {
      case '<': Single(EventKind::Origin); return;
      case '>': Single(EventKind::JogStart); return;
      case '@': Single(EventKind::End); return;
      case '\r':
      case '\n': ++offset_; return;  // line breaks between commands carry nothing
      default: runStart_ = offset_; break;
    }
  }
  ++offset_;
  ++runLength_;
  if (pending_.size() < kMaxCommandLength) pending_.push_back(c);
  if (c == ';') Complete();
}

void StreamDecoder::Single(EventKind kind) {
  StreamEvent e;
  e.kind = kind;
  e.offset = offset_++;
  e.length = 1;
  // '<' hands the head back to the job, and so does the end of a job.
  jogging_ = kind == EventKind::JogStart;
  Emit(e);
}

void StreamDecoder::Emit(StreamEvent& e) { sink_(e); }

void StreamDecoder::EmitUnknown(bool terminated) {
  StreamEvent e;
  e.kind = EventKind::Unknown;
  e.offset = runStart_;
  e.length = runLength_;
  e.text = pending_;
  e.terminated = terminated;
  Emit(e);
  pending_.clear();
  runLength_ = 0;
}

void StreamDecoder::Complete() {
  if (runLength_ > pending_.size()) {
    EmitUnknown(true);
    return;
  }
  const std::string_view cmd(pending_);
  StreamEvent e;
  e.offset = runStart_;
  e.length = runLength_;
  bool known = true;
  if (cmd == "TKN;") {
    e.kind = EventKind::Announce;
  } else if (cmd.starts_with("TB26,")) {
    e.kind = EventKind::Marks;
    known = ParseTriple(cmd.substr(5), e.args);
  } else if (cmd.starts_with("TB27,")) {
    e.kind = EventKind::Section;
    known = ParseTriple(cmd.substr(5), e.args);
  } else if (cmd[0] == 'U' || cmd[0] == 'D') {
    // Undone in place (cmd[1] is at least the ';') and redone when the
    // command turns out not to be a move, so that it is reported as sent.
    pending_[1] = ExchangeDigit(pending_[1]);
    known = ParseMove(cmd.substr(1), e.y, e.x);
    if (!known) pending_[1] = ExchangeDigit(pending_[1]);
    if (cmd[0] == 'D') {
      e.kind = EventKind::Cut;
    } else {
      e.kind = jogging_ ? EventKind::Jog : EventKind::PenUp;
    }
  } else {
    known = false;
  }
  if (!known) {
    EmitUnknown(true);
    return;
  }
  Emit(e);
  pending_.clear();
  runLength_ = 0;
}

}  // namespace cutter_emu
