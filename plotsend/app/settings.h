#pragma once
// The dialog's user settings and their INI section "config".
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/profile_port.h"

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
  int32_t SortPaths = 0;  // cut-order optimisation on (1) or off (0)

  bool operator==(const Settings&) const = default;
};

// The values a setting can mean, both ends included. Outside them a value
// is not used: config.ini keeps the default, the dialog's edit and the
// terminal's option are refused.
struct SettingRange {
  double minimum;
  double maximum;
  bool Contains(double value) const { return value >= minimum && value <= maximum; }
};
inline constexpr SettingRange kCompensationRange{0, 5};         // OffsetVal, CloseVal, mm
inline constexpr SettingRange kOriginOffsetRange{-5000, 5000};  // mm
inline constexpr SettingRange kDashRange{0.1, 1000};            // DashedLineLineLen, DashedLineGapLen, mm
inline constexpr SettingRange kIpFieldRange{0, 255};
inline constexpr SettingRange kTcpPortRange{1, 65535};

// A key of config.ini whose value lies outside its range.
struct RejectedSetting {
  std::string key;
  std::string text;  // the value as read
  SettingRange range;
};

// Reads every key (a missing one takes its default). Integers are read like
// strtol, reals like strtod in the C locale; the port index keeps the value
// modulo 256. A value outside its range keeps the default and is added to
// `rejected` when given.
Settings LoadSettings(ProfilePort& port, const std::string& iniPath, std::vector<RejectedSetting>* rejected = nullptr);

// "0.1 ~ 1000": a range as both languages show it.
std::string DescribeRange(SettingRange range);
// "OffsetVal=1e308 (0 ~ 5)": the key, its value and its range.
std::string DescribeRejected(const RejectedSetting& rejected);

// Writes every key in a fixed order: integers in decimal, reals with two
// decimals, IsDashedLine and SortPaths as "1" or "0". SortPaths is written
// only when it is on or config.ini already has it, so that a file of a user
// who never switched the cut order on stays as it was. Every key is
// attempted; returns false when any write failed.
bool SaveSettings(ProfilePort& port, const std::string& iniPath, const Settings& settings);

// The number strtod would read from the start of `text` (blanks, sign, digits,
// one '.', an exponent), independent of the locale; 0 when nothing parses.
// Overflow gives +-DBL_MAX rather than infinity, underflow a signed zero.
double ParseDecimalReal(std::string_view text);

// `value` as "%0.2f" prints it (exact binary value, ties to even).
std::string FormatFixed2(double value);

}  // namespace plotsend
