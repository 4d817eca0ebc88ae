#include "app/settings.h"

#include <array>
#include <cfloat>
#include <charconv>
#include <system_error>
#include <type_traits>

#include "job/decimal.h"

namespace plotsend {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The shortest text that reads back as `value` ("0.1", "-5000").
std::string FormatShortest(double value) {
  std::array<char, 32> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value);
  return std::string(buf.data(), r.ptr);
}

std::string FormatInt(int32_t value) {
  std::array<char, 16> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value);
  return std::string(buf.data(), r.ptr);
}

// Which way a decimal number that from_chars found out of range lies: true
// when it is too large, false when too small. `mantissa` holds digits and at
// most one '.', `exponent` the saturated exponent value.
bool TooLarge(std::string_view mantissa, int32_t exponent) {
  const size_t point = mantissa.find('.');
  const std::string_view whole = mantissa.substr(0, point);
  const size_t nonzero = whole.find_first_not_of('0');
  int64_t magnitude = 0;  // decimal position of the first significant digit
  if (nonzero != std::string_view::npos) {
    magnitude = static_cast<int64_t>(whole.size() - nonzero);
  } else if (point != std::string_view::npos) {
    const std::string_view frac = mantissa.substr(point + 1);
    const size_t first = frac.find_first_not_of('0');
    if (first == std::string_view::npos) return false;
    magnitude = -static_cast<int64_t>(first);
  }
  return magnitude + exponent > 0;
}

}  // namespace

double ParseDecimalReal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t start = i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  const size_t mantissa_end = i;
  int32_t exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      exponent = ParseInt32(text.substr(i + 1, j - i - 1));
      i = j;
    }
  }
  double value = 0.0;
  const auto r = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    value = TooLarge(text.substr(start, mantissa_end - start), exponent) ? DBL_MAX : 0.0;
  } else if (r.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

std::string FormatFixed2(double value) {
  // Large enough for DBL_MAX with two decimals; to_chars reports if not.
  std::array<char, 400> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, 2);
  if (r.ec != std::errc()) return "0.00";
  return std::string(buf.data(), r.ptr);
}

Settings LoadSettings(ProfilePort& port, const std::string& iniPath, std::vector<RejectedSetting>* rejected) {
  Settings s;
  try {
    const std::string section(kSettingsSection);
    const auto text = [&](const char* key, const char* fallback) {
      return port.Read(iniPath, section, key, fallback, kSettingsValueCapacity);
    };
    const auto integer = [&](const char* key, const char* fallback) { return ParseInt32(text(key, fallback)); };
    // A value outside `range` leaves `field` at its default.
    const auto ranged = [&](const char* key, const char* fallback, SettingRange range, auto parse, auto& field) {
      const std::string value = text(key, fallback);
      const auto parsed = parse(value);
      if (range.Contains(parsed)) {
        field = static_cast<std::remove_reference_t<decltype(field)>>(parsed);
      } else if (rejected != nullptr) {
        rejected->push_back({key, value, range});
      }
    };
    const auto real = [](std::string_view value) { return ParseDecimalReal(value); };
    const auto whole = [](std::string_view value) { return ParseInt32(value); };
    // The port index keeps the value modulo 256, as the C conversion does;
    // an index beyond the port list selects its first entry.
    s.PortSel_i = static_cast<uint8_t>(integer("PortSel_i", "0"));
    s.IsClose = integer("IsClose", "1");
    s.IsOffset = integer("IsOffset", "1");
    ranged("CloseVal", "0.35", kCompensationRange, real, s.CloseVal);
    ranged("OffsetVal", "0.35", kCompensationRange, real, s.OffsetVal);
    ranged("OriginOffsetX", "0", kOriginOffsetRange, real, s.OriginOffsetX);
    ranged("OriginOffsetY", "0", kOriginOffsetRange, real, s.OriginOffsetY);
    ranged("IP_FIELD_0", "192", kIpFieldRange, whole, s.IP_FIELD[0]);
    ranged("IP_FIELD_1", "168", kIpFieldRange, whole, s.IP_FIELD[1]);
    ranged("IP_FIELD_2", "0", kIpFieldRange, whole, s.IP_FIELD[2]);
    ranged("IP_FIELD_3", "233", kIpFieldRange, whole, s.IP_FIELD[3]);
    ranged("IP_PORT", "9100", kTcpPortRange, whole, s.IP_PORT);
    s.IsDashedLine = integer("IsDashedLine", "0");
    ranged("DashedLineLineLen", "3.0", kDashRange, real, s.DashedLineLineLen);
    ranged("DashedLineGapLen", "0.5", kDashRange, real, s.DashedLineGapLen);
    s.SortPaths = integer("SortPaths", "0") != 0 ? 1 : 0;
  } catch (...) {
    // Only allocation can fail here; what was read so far stands.
  }
  return s;
}

std::string DescribeRange(SettingRange range) {
  return FormatShortest(range.minimum) + " ~ " + FormatShortest(range.maximum);
}

std::string DescribeRejected(const RejectedSetting& rejected) {
  return rejected.key + "=" + rejected.text + " (" + DescribeRange(rejected.range) + ")";
}

bool SaveSettings(ProfilePort& port, const std::string& iniPath, const Settings& s) {
  bool ok = true;
  try {
    const std::string section(kSettingsSection);
    const auto put = [&](const char* key, const std::string& value) {
      if (!port.Write(iniPath, section, key, value)) ok = false;
    };
    put("PortSel_i", FormatInt(s.PortSel_i));
    put("IsClose", FormatInt(s.IsClose));
    put("IsOffset", FormatInt(s.IsOffset));
    put("CloseVal", FormatFixed2(s.CloseVal));
    put("OffsetVal", FormatFixed2(s.OffsetVal));
    put("OriginOffsetX", FormatFixed2(s.OriginOffsetX));
    put("OriginOffsetY", FormatFixed2(s.OriginOffsetY));
    put("IP_FIELD_0", FormatInt(s.IP_FIELD[0]));
    put("IP_FIELD_1", FormatInt(s.IP_FIELD[1]));
    put("IP_FIELD_2", FormatInt(s.IP_FIELD[2]));
    put("IP_FIELD_3", FormatInt(s.IP_FIELD[3]));
    put("IP_PORT", FormatInt(s.IP_PORT));
    put("IsDashedLine", s.IsDashedLine != 0 ? "1" : "0");
    put("DashedLineLineLen", FormatFixed2(s.DashedLineLineLen));
    put("DashedLineGapLen", FormatFixed2(s.DashedLineGapLen));
    if (s.SortPaths != 0 || !port.Read(iniPath, section, "SortPaths", "", kSettingsValueCapacity).empty()) {
      put("SortPaths", s.SortPaths != 0 ? "1" : "0");
    }
  } catch (...) {
    ok = false;
  }
  return ok;
}

}  // namespace plotsend
