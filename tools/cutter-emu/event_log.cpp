#include "cutter-emu/event_log.h"

#include <charconv>

namespace cutter_emu {
namespace {

constexpr size_t kFlushSize = 64 * 1024;

template <typename T>
void AppendNumber(T v, std::string& out) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

void AppendPoint(const char* name, const StreamEvent& e, std::string& out) {
  out += name;
  out += " x=";
  AppendNumber(e.x, out);
  out += " y=";
  AppendNumber(e.y, out);
}

void AppendArgs(const char* name, const StreamEvent& e, std::string& out) {
  out += name;
  for (int32_t a : e.args) {
    out += ' ';
    AppendNumber(a, out);
  }
}

void AppendEscaped(std::string_view bytes, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f && c != '"' && c != '\\') {
      out += c;
    } else {
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }
}

void AppendUnknown(const StreamEvent& e, std::string& out) {
  out += "unknown at=";
  AppendNumber(e.offset, out);
  out += " bytes=";
  AppendNumber(e.length, out);
  out += " \"";
  AppendEscaped(e.text.substr(0, kShownUnknownBytes), out);
  out += '"';
  if (e.length > kShownUnknownBytes) out += "...";
  if (!e.terminated) out += " unterminated";
}

}  // namespace

std::string FormatMillimetres(double units) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, units / 40.0, std::chars_format::fixed, 3);
  return std::string(buf, r.ptr);
}

void AppendJobLine(int job, std::string& out) {
  out += "job ";
  AppendNumber(job, out);
  out += '\n';
}

void AppendEventLine(const StreamEvent& e, std::string& out) {
  switch (e.kind) {
    case EventKind::Origin: out += "origin"; break;
    case EventKind::JogStart: out += "jog-start"; break;
    case EventKind::Announce: out += "announce"; break;
    case EventKind::End: out += "end"; break;
    case EventKind::Marks: AppendArgs("marks", e, out); break;
    case EventKind::Section: AppendArgs("section", e, out); break;
    case EventKind::PenUp: AppendPoint("up", e, out); break;
    case EventKind::Cut: AppendPoint("cut", e, out); break;
    case EventKind::Jog: AppendPoint("jog", e, out); break;
    case EventKind::Unknown: AppendUnknown(e, out); break;
  }
  out += '\n';
}

void AppendSummaryLine(const JobRecord& record, std::string& out) {
  const JobSummary& s = record.summary;
  out += "summary status=";
  out += StatusName(record.status);
  const std::pair<const char*, uint64_t> counts[] = {{" bytes=", s.bytes},
                                                     {" up=", s.penUps},
                                                     {" cut=", s.cuts},
                                                     {" jog=", s.jogs},
                                                     {" sections=", s.sections},
                                                     {" unknown=", s.unknown},
                                                     {" unknown_bytes=", s.unknownBytes}};
  for (const auto& [name, n] : counts) {
    out += name;
    AppendNumber(n, out);
  }
  out += " cut_mm=";
  out += FormatMillimetres(s.cutLength);
  out += '\n';
}

bool EventLog::Open(const std::string& path) {
  file_.open(path, std::ios::binary | std::ios::trunc);
  open_ = file_.is_open();
  return open_;
}

void EventLog::Flush(bool force) {
  if (!force && buffer_.size() < kFlushSize) return;
  if (open_) file_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

bool EventLog::Close() {
  Flush(true);
  if (!open_) return true;
  file_.close();
  return !file_.fail();
}

}  // namespace cutter_emu
