#include "app/cli/cli_options.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "app/settings.h"

namespace plotsend {

const char* const kUsage =
    "usage: plotsend [--workdir DIR] [field options] export [FILE]\n"
    "       plotsend [--workdir DIR] [link options] [field options] start\n"
    "       plotsend [--workdir DIR] ports\n"
    "       plotsend [--workdir DIR] [link options] wifi-test\n"
    "       plotsend [--workdir DIR] preview FILE.png\n"
    "export writes the command file; start sends the job to the cutter (Ctrl-C\n"
    "cancels); ports lists the links; wifi-test tries the TCP connection;\n"
    "preview draws the job as the dialog shows it into a PNG file, leaving the job\n"
    "in the work directory.\n"
    "link options (saved like the dialog's fields):\n"
    "  --port ENTRY         the link as ports lists it (USB_0, /dev/ttyUSB0, TCP/IP)\n"
    "  --ip A.B.C.D         the cutter's address for TCP/IP\n"
    "  --tcp-port N         its TCP port (default 9100)\n"
    "  --send-timeout S     give up a TCP or USB send that makes no progress for S seconds (default 60)\n"
    "field options (applied in order, saved like the dialog's fields):\n"
    "  --offset MM|off      blade offset (sharp corner) compensation\n"
    "  --close MM|off       closure compensation\n"
    "  --origin X,Y         origin offset in millimetres\n"
    "  --dashed LINE,GAP|off  dashed-line output (switches both compensations off)\n"
    "  --from N  --to N     first and last output section, 0-based\n"
    "  --sort on|off        optimise the cut order (shorter pen-up travel, contours\n"
    "                       inside others first)\n"
    "  --sort-time S        time the cut order may take, in seconds (default 1; not saved)\n";

namespace {

bool ParseMm(std::string_view text, double& out) {
  if (text.empty()) return false;
  if (text.front() == '+') text.remove_prefix(1);
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out, std::chars_format::fixed);
  return ec == std::errc() && ptr == end && std::isfinite(out);
}

bool ParsePair(std::string_view text, double& a, double& b) {
  const size_t comma = text.find(',');
  return comma != std::string_view::npos && ParseMm(text.substr(0, comma), a) && ParseMm(text.substr(comma + 1), b);
}

bool ParseSection(std::string_view text, uint8_t& out) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value > 255) return false;
  out = static_cast<uint8_t>(value);
  return true;
}

// Parses the value of one field option into `edit`; false when it is malformed.
bool ParseEditValue(FieldEdit& edit, std::string_view value) {
  using F = FieldEdit::Field;
  switch (edit.field) {
    case F::Offset:
    case F::Close:
      if (value == "off") return edit.on = false, true;
      return ParseMm(value, edit.a);
    case F::Dashed:
      if (value == "off") return edit.on = false, true;
      return ParsePair(value, edit.a, edit.b);
    case F::Origin: return ParsePair(value, edit.a, edit.b);
    case F::From:
    case F::To: return ParseSection(value, edit.section);
    case F::Sort: edit.on = value == "on"; return value == "on" || value == "off";
  }
  return false;
}

// The range of a field option's millimetres; nothing for the sections.
std::optional<SettingRange> RangeOf(FieldEdit::Field field) {
  using F = FieldEdit::Field;
  switch (field) {
    case F::Offset:
    case F::Close: return kCompensationRange;
    case F::Origin: return kOriginOffsetRange;
    case F::Dashed: return kDashRange;
    case F::From:
    case F::To:
    case F::Sort: break;
  }
  return std::nullopt;
}

// Whether the millimetres of a parsed edit lie in its range; an edit that
// switches a field off has none.
bool InRange(const FieldEdit& edit, SettingRange range) {
  if (!edit.on) return true;
  const bool pair = edit.field == FieldEdit::Field::Origin || edit.field == FieldEdit::Field::Dashed;
  return range.Contains(edit.a) && (!pair || range.Contains(edit.b));
}

bool ParseIp(std::string_view text, std::array<uint8_t, 4>& out) {
  for (size_t i = 0; i < 4; ++i) {
    const size_t dot = i < 3 ? text.find('.') : text.size();
    if (dot == std::string_view::npos) return false;
    unsigned value = 0;
    const std::string_view part = text.substr(0, dot);
    auto [ptr, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (part.empty() || ec != std::errc() || ptr != part.data() + part.size() || value > 255) return false;
    out[i] = static_cast<uint8_t>(value);
    text.remove_prefix(i < 3 ? dot + 1 : dot);
  }
  return text.empty();
}

bool ParseTcpPort(std::string_view text, int32_t& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return !text.empty() && ec == std::errc() && ptr == end && kTcpPortRange.Contains(out);
}

bool IsCommand(std::string_view arg) {
  return arg == "export" || arg == "start" || arg == "ports" || arg == "wifi-test" || arg == "preview";
}

std::optional<FieldEdit::Field> FieldOption(std::string_view arg) {
  using F = FieldEdit::Field;
  if (arg == "--offset") return F::Offset;
  if (arg == "--close") return F::Close;
  if (arg == "--origin") return F::Origin;
  if (arg == "--dashed") return F::Dashed;
  if (arg == "--from") return F::From;
  if (arg == "--to") return F::To;
  if (arg == "--sort") return F::Sort;
  return std::nullopt;
}

}  // namespace

std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args, std::string& error) {
  CliOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      options.help = true;
      return options;
    }
    const bool takesValue = arg == "--workdir" || arg == "--port" || arg == "--ip" || arg == "--tcp-port" ||
                            arg == "--send-timeout" || arg == "--sort-time" || FieldOption(arg).has_value();
    if (takesValue && i + 1 >= args.size()) {
      error = arg + " needs a value";
      return std::nullopt;
    }
    if (arg == "--workdir") {
      options.workDir = args[++i];
      if (options.workDir->empty()) {
        error = "--workdir needs a directory, not an empty name";
        return std::nullopt;
      }
    } else if (arg == "--port") {
      options.port = args[++i];
    } else if (arg == "--ip") {
      std::array<uint8_t, 4> ip{};
      if (!ParseIp(args[++i], ip)) {
        error = "bad address for --ip: " + args[i] + " (four numbers 0-255, such as 192.168.0.233)";
        return std::nullopt;
      }
      options.ip = ip;
    } else if (arg == "--tcp-port") {
      int32_t port = 0;
      if (!ParseTcpPort(args[++i], port)) {
        error = "bad value for --tcp-port: " + args[i] + " (1-65535)";
        return std::nullopt;
      }
      options.tcpPort = port;
    } else if (arg == "--send-timeout") {
      double seconds = 0;
      if (!ParseMm(args[++i], seconds) || seconds <= 0 || seconds > 86400) {
        error = "bad value for --send-timeout: " + args[i] + " (seconds, above 0)";
        return std::nullopt;
      }
      options.sendTimeoutMs = static_cast<int>(seconds * 1000);
    } else if (arg == "--sort-time") {
      double seconds = 0;
      if (!ParseMm(args[++i], seconds) || seconds < 0 || seconds > 3600) {
        error = "bad value for --sort-time: " + args[i] + " (seconds, 0 to 3600)";
        return std::nullopt;
      }
      options.sortSeconds = seconds;
    } else if (auto field = FieldOption(arg)) {
      FieldEdit edit{*field};
      if (!ParseEditValue(edit, args[++i])) {
        error = "bad value for " + arg + ": " + args[i];
        return std::nullopt;
      }
      if (const auto range = RangeOf(edit.field); range && !InRange(edit, *range)) {
        error = "bad value for " + arg + ": " + args[i] + " (" + DescribeRange(*range) + " mm)";
        return std::nullopt;
      }
      options.edits.push_back(edit);
    } else if (arg.starts_with("--")) {
      error = "unknown option " + arg;
      return std::nullopt;
    } else if (options.command.empty()) {
      if (!IsCommand(arg)) {
        error = "unknown command " + arg;
        return std::nullopt;
      }
      options.command = arg;
    } else if (!options.file && (options.command == "export" || options.command == "preview")) {
      options.file = arg;
    } else {
      error = "unexpected argument " + arg;
      return std::nullopt;
    }
  }
  if (options.command.empty()) {
    error = "no command given";
    return std::nullopt;
  }
  if (options.command == "preview" && !options.file) {
    error = "preview needs the PNG file to write";
    return std::nullopt;
  }
  return options;
}

}  // namespace plotsend
