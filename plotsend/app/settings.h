#pragma once
// The dialog's user settings and their INI section "config".
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "profile_port.h"

namespace plotsend {

inline constexpr std::string_view kSettingsSection = "config";
// Values are read into a buffer of this many bytes, so 9 characters count.
inline constexpr size_t kSettingsValueCapacity = 10;

// Defaults are those used when config.ini or a key is missing.
struct Settings {
  uint8_t PortSel_i = 0;
  int32_t IsClose = 1;
  int32_t IsOffset = 1;
  double CloseVal = 0.35;
  double OffsetVal = 0.35;
  double OriginOffsetX = 0;
  double OriginOffsetY = 0;
  std::array<uint8_t, 4> IP_FIELD = {192, 168, 0, 233};
  int32_t IP_PORT = 9100;
  int32_t IsDashedLine = 0;
  double DashedLineLineLen = 3.0;
  double DashedLineGapLen = 0.5;

  bool operator==(const Settings&) const = default;
};

// Reads every key (a missing one takes its default). Integers are read like
// strtol, reals like strtod in the C locale; the port index and the IP fields
// keep the value modulo 256.
Settings LoadSettings(ProfilePort& port, const std::string& iniPath);

// Writes every key in a fixed order: integers in decimal, reals with two
// decimals, IsDashedLine as "1" or "0". Every key is attempted; returns false
// when any write failed.
bool SaveSettings(ProfilePort& port, const std::string& iniPath, const Settings& settings);

// The number strtod would read from the start of `text` (blanks, sign, digits,
// one '.', an exponent), independent of the locale; 0 when nothing parses.
// Overflow gives +-DBL_MAX rather than infinity, underflow a signed zero.
double ParseDecimalReal(std::string_view text);

// `value` as "%0.2f" prints it (exact binary value, ties to even).
std::string FormatFixed2(double value);

}  // namespace plotsend
