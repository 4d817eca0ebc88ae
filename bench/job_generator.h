#pragma once
// A deterministic generator of large, realistic kavren.plt cut jobs: the
// HPGL-style "IN;", "SPn;", "PU x,y;" and "PD x,y,...;" commands that the
// CorelDRAW output macros write, with curve outlines flattened into short
// segments, sharp-cornered shapes, open paths and rows of small text-like
// glyphs. The same options always give the same bytes, on every platform
// (integer arithmetic only, no library random distributions).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace plotsend {

// What a job is made of. kArtwork: curved outlines, sharp-cornered shapes,
// open lines and rows of lettering, each within a part of the sheet.
// kAcrossBands: a long job whose paths run along the feed axis (the second
// number) over much of the sheet: weeding lines the whole length, long
// outlines of short segments and zig-zags that go back and forth, so that
// a job in several sections has its paths cut at many band borders. Each of
// the three takes about a third of the bytes.
enum class JobShape { kArtwork, kAcrossBands };

struct JobGenOptions {
  uint64_t seed = 1;
  // Requested job size in bytes; the job stops at the first path that
  // reaches it, so it ends up at most a few kilobytes larger.
  size_t targetBytes = 1 << 20;
  // Sheet in plotter units (40 per mm); every coordinate lies inside.
  int32_t sheetWidth = 50000;   // first number of each pair
  int32_t sheetHeight = 30000;  // second number of each pair
  bool lineBreaks = false;      // "\r\n" after every command
  bool endMark = true;          // "@" after the final "PU0,0;"
  JobShape shape = JobShape::kArtwork;
};

// Receives the job text in pieces of about 1 MiB, in order.
using JobSink = std::function<void(std::string_view piece)>;

// Generates the whole job into `sink`; returns the number of bytes produced.
size_t GenerateJob(const JobGenOptions& options, const JobSink& sink);

// The whole job as one string (for tests and small jobs).
std::string GenerateJobText(const JobGenOptions& options);

// Writes the job to `path` (UTF-8), replacing any file there. False when the
// file cannot be created or written.
bool WriteJobFile(const std::string& path, const JobGenOptions& options);

}  // namespace plotsend
