#pragma once
// The command line of cutter-emu.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cutter-emu/session.h"
#include "cutter-emu/sheet_geometry.h"

namespace cutter_emu {

// The cutter's own TCP port, where the stand-in listens by default.
inline constexpr uint16_t kDefaultPort = 9100;
// --keep: jobs are served until the stand-in is stopped.
inline constexpr int kKeepServing = 1 << 30;

struct Options {
  enum class Link { None, Tcp, Pty };
  Link link = Link::None;
  uint16_t port = 0;  // 0: the system picks one
  int jobs = 1;
  std::optional<double> idleTimeout;  // seconds
  std::optional<uint64_t> readRate;   // bytes a second; none: as fast as they come
  Limits limits;
  std::string svgPath, pngPath, logPath;
  std::string rawPath;  // every byte received, as it came
  bool showTravel = true;
  // A printed sheet on the bed: its layout file (or its SVG, beside which
  // the layout lies), how it lies, the picture of the cut on it, and the
  // file that tells where the head is.
  std::string sheetPath, sheetPngPath, statusPath;
  Placement placement;
  bool help = false;
};

// False with a message in `error` for a bad command line.
bool ParseOptions(std::span<const std::string_view> args, Options& options, std::string& error);
std::string UsageText();

// The file for job `job` of `jobs`: `path` itself for a single job, else
// with "-<job>" before the extension ("out.svg" -> "out-2.svg").
std::string JobFilePath(const std::string& path, int job, int jobs);

}  // namespace cutter_emu
