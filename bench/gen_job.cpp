// gen_job: writes a generated kavren.plt cut job of a requested size.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "bench/job_generator.h"

namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& out) {
  const auto res = std::from_chars(text.data(), text.data() + text.size(), out);
  return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

int Usage() {
  std::fputs(
      "usage: gen_job [--mb N | --bytes N] [--seed S] [--width W] [--height H]\n"
      "               [--crlf] [--no-end-mark] [--across-bands] OUTPUT\n"
      "  Writes a deterministic HPGL-style cut job (default 100 MB, seed 1,\n"
      "  sheet 50000 x 30000 units). --across-bands makes a long job of paths that\n"
      "  run along the feed axis (give it a long sheet, such as --height 300000).\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  plotsend::JobGenOptions options;
  options.targetBytes = size_t{100} << 20;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--mb" && hasValue) {
      double mb = 0;
      if (!ParseNumber(argv[++i], mb) || mb < 0) return Usage();
      options.targetBytes = static_cast<size_t>(mb * 1024 * 1024);
    } else if (arg == "--bytes" && hasValue) {
      if (!ParseNumber(argv[++i], options.targetBytes)) return Usage();
    } else if (arg == "--seed" && hasValue) {
      if (!ParseNumber(argv[++i], options.seed)) return Usage();
    } else if (arg == "--width" && hasValue) {
      if (!ParseNumber(argv[++i], options.sheetWidth)) return Usage();
    } else if (arg == "--height" && hasValue) {
      if (!ParseNumber(argv[++i], options.sheetHeight)) return Usage();
    } else if (arg == "--crlf") {
      options.lineBreaks = true;
    } else if (arg == "--across-bands") {
      options.shape = plotsend::JobShape::kAcrossBands;
    } else if (arg == "--no-end-mark") {
      options.endMark = false;
    } else if (!arg.empty() && arg[0] != '-' && output.empty()) {
      output = arg;
    } else {
      return Usage();
    }
  }
  if (output.empty()) return Usage();
  if (!plotsend::WriteJobFile(output, options)) {
    std::fprintf(stderr, "gen_job: cannot write %s\n", output.c_str());
    return 1;
  }
  return 0;
}
