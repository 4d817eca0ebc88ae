#pragma once
// The terminal front end's command line: the dialog's field edits, in the
// order given, and the command to run.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plotsend {

// One edit of a dialog field, applied like the dialog's handler for it.
struct FieldEdit {
  enum class Field { Offset, Close, Origin, Dashed, From, To, Sort };
  Field field;
  bool on = true;       // false for "off"
  double a = 0.0;       // millimetres: offset, closure, origin X, dash line
  double b = 0.0;       // millimetres: origin Y, dash gap
  uint8_t section = 0;  // From / To, 0-based
};

struct CliOptions {
  std::optional<std::string> workDir;
  std::vector<FieldEdit> edits;
  std::optional<std::string> port;  // a port list entry, such as "TCP/IP" or "/dev/ttyUSB0"
  std::optional<std::array<uint8_t, 4>> ip;
  std::optional<int32_t> tcpPort;
  std::optional<int> sendTimeoutMs;   // a TCP send that makes no progress this long fails
  std::optional<double> sortSeconds;  // time the cut order may take
  std::string command;                // "export", "start", "ports", "wifi-test" or "preview"
  std::optional<std::string> file;    // export's FILE, preview's PNG file
  bool help = false;
};

// Parses argv[1..]. On a malformed command line returns nullopt and sets
// `error` to a one-line explanation.
std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage;

}  // namespace plotsend
