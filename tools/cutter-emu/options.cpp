#include "cutter-emu/options.h"

#include <charconv>
#include <cmath>

namespace cutter_emu {
namespace {

template <typename T>
bool ParseWhole(std::string_view text, T& value) {
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && p == end;
}

bool ParseSeconds(std::string_view text, double& value) {
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && p == end && std::isfinite(value) && value > 0;
}

}  // namespace

std::string UsageText() {
  return "usage: cutter-emu [--port PORT | --pty] [options]\n"
         "  --port PORT         listen on 127.0.0.1:PORT (default 9100; 0: any free port);\n"
         "                      the port is printed (--tcp PORT is the same)\n"
         "  --pty               create a pseudo-terminal; its slave path is printed\n"
         "  --jobs N            receive N jobs (default 1)\n"
         "  --keep              serve job after job until stopped\n"
         "  --idle-timeout S    give up when nothing arrives for S seconds\n"
         "  --svg FILE          draw the job as SVG\n"
         "  --png FILE          draw the job as PNG\n"
         "  --log FILE          write the decoded commands, one a line\n"
         "  --raw FILE          keep every byte received, as it came\n"
         "  --hide-travel       leave pen-up moves out of the drawings\n"
         "  --drop-after N      drop the connection after N bytes (--close-after N)\n"
         "  --stall-after N     stop reading after N bytes\n"
         "  --read-rate N       read at most N bytes a second, like a slow cutter\n"
         "  --sheet FILE        a sheet made by plotmark lies on the bed (NAME.svg or\n"
         "                      NAME.layout.txt): the cut is measured against its\n"
         "                      printed contour, TB26/TB27 against its marks\n"
         "  --place R,DX,DY,SX,SY[,K]  how the sheet lies: turned R degrees, shifted DX,\n"
         "                      DY mm, printed SX, SY % larger across and along the\n"
         "                      feed, K % wider per 100 mm along it (a trapezoid)\n"
         "  --sheet-png FILE    draw the print (grey) and the cut on it (red) as PNG\n"
         "  --status FILE       keep FILE telling where the head is, and with --sheet\n"
         "                      how far each printed mark lies from it\n"
         "Exit status 0 when every job arrived whole up to its \"@\".\n";
}

bool ParseOptions(std::span<const std::string_view> args, Options& o, std::string& error) {
  bool placed = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    const bool hasValue = i + 1 < args.size();
    const std::string_view v = hasValue ? args[i + 1] : std::string_view();
    auto need = [&](bool ok, const char* what) {
      if (!hasValue) error = std::string(a) + " needs " + what;
      else if (!ok) error = std::string(a) + ": not " + what + ": " + std::string(v);
      ++i;
      return hasValue && ok;
    };
    uint64_t n = 0;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--pty") {
      if (o.link == Options::Link::Tcp) return error = "give --port or --pty, not both", false;
      o.link = Options::Link::Pty;
    } else if (a == "--hide-travel") {
      o.showTravel = false;
    } else if (a == "--keep") {
      o.jobs = kKeepServing;
    } else if (a == "--tcp" || a == "--port") {
      if (!need(ParseWhole(v, o.port), "a port number 0..65535")) return false;
      if (o.link == Options::Link::Pty) return error = "give --port or --pty, not both", false;
      o.link = Options::Link::Tcp;
    } else if (a == "--jobs") {
      if (!need(ParseWhole(v, o.jobs) && o.jobs >= 1, "a job count of 1 or more")) return false;
    } else if (a == "--idle-timeout") {
      double s = 0;
      if (!need(ParseSeconds(v, s), "a number of seconds above 0")) return false;
      o.idleTimeout = s;
    } else if (a == "--read-rate") {
      if (!need(ParseWhole(v, n) && n > 0, "a byte count above 0")) return false;
      o.readRate = n;
    } else if (a == "--close-after" || a == "--drop-after" || a == "--stall-after") {
      if (!need(ParseWhole(v, n), "a byte count")) return false;
      (a == "--stall-after" ? o.limits.stallAfter : o.limits.closeAfter) = n;
    } else if (a == "--place") {
      const std::optional<Placement> p = ParsePlacement(v);
      if (!need(p.has_value(), "a placement ROT,DX,DY,SX,SY[,KEYSTONE]")) return false;
      o.placement = *p;
      placed = true;
    } else if (a == "--sheet" || a == "--sheet-png" || a == "--status") {
      if (!need(!v.empty(), "a file name")) return false;
      (a == "--sheet" ? o.sheetPath : a == "--sheet-png" ? o.sheetPngPath : o.statusPath) = std::string(v);
    } else if (a == "--svg" || a == "--png" || a == "--log" || a == "--raw") {
      if (!need(!v.empty(), "a file name")) return false;
      (a == "--svg" ? o.svgPath : a == "--png" ? o.pngPath : a == "--log" ? o.logPath : o.rawPath) = std::string(v);
    } else {
      error = "unknown option: " + std::string(a);
      return false;
    }
  }
  if (o.sheetPath.empty() && (placed || !o.sheetPngPath.empty())) {
    error = std::string(placed ? "--place" : "--sheet-png") + " needs --sheet";
    return false;
  }
  if (o.link == Options::Link::None) {
    o.link = Options::Link::Tcp;
    o.port = kDefaultPort;
  }
  return true;
}

std::string JobFilePath(const std::string& path, int job, int jobs) {
  if (jobs <= 1 || path.empty()) return path;
  const size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
      dot == (slash == std::string::npos ? 0 : slash + 1)) {
    dot = path.size();
  }
  return path.substr(0, dot) + "-" + std::to_string(job) + path.substr(dot);
}

}  // namespace cutter_emu
