#include "job/job_files.h"

#include <array>
#include <charconv>
#include <string_view>

namespace plotmark {
namespace {

// "PU" or "PD" with one pair; two int32 numbers fit the buffer.
void AppendPair(std::string& out, std::string_view command, UnitPoint p) {
  std::array<char, 32> buffer{};
  char* const last = buffer.data() + buffer.size();
  out += command;
  char* end = std::to_chars(buffer.data(), last, p.a).ptr;
  out.append(buffer.data(), end);
  out += ',';
  end = std::to_chars(buffer.data(), last, p.b).ptr;
  out.append(buffer.data(), end);
  out += ';';
}

}  // namespace

std::string KavrenPltText(const CutJob& job) {
  std::string out;
  out.reserve(16 + job.points.size() * 16 + job.paths.size());
  out += "IN;SP1;\n";
  for (const UnitPath& path : job.paths) {
    AppendPair(out, "PU", job.points[path.begin]);
    for (size_t i = path.begin + 1; i < path.end; ++i) AppendPair(out, "PD", job.points[i]);
    out += '\n';
  }
  return out;
}

std::string MarkRefText(const MarkValues& v) {
  return std::to_string(v.spanX) + "," + std::to_string(v.spanY) + "," + std::to_string(v.margin) + "," +
         std::to_string(v.type) + "," + std::to_string(v.sections);
}

std::string CodeInfoText(int mode) {
  if (mode <= 0) return "0,0,";
  return std::string("1,") + static_cast<char>('0' + (mode % 10)) + ",";
}

std::string CodeNumberText(int32_t number) { return std::to_string(number); }

}  // namespace plotmark
