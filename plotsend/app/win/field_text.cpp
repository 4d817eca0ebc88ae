#include "app/win/field_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace plotsend::win32 {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The text without a leading '+' (from_chars takes only '-').
std::string_view WithoutPlus(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) return {};
  }
  return text;
}

}  // namespace

std::optional<double> ParseRealField(std::string_view text) {
  const std::string_view number = WithoutPlus(Trimmed(text));
  if (number.empty()) return std::nullopt;
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int64_t> ParseIntegerField(std::string_view text, int64_t minimum, int64_t maximum) {
  const std::string_view number = WithoutPlus(Trimmed(text));
  if (number.empty()) return std::nullopt;
  int64_t value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  if (value < minimum || value > maximum) return std::nullopt;
  return value;
}

std::optional<uint8_t> ParseSectionField(std::string_view text) {
  const auto value = ParseIntegerField(text, 0, 255);
  if (!value) return std::nullopt;
  return static_cast<uint8_t>(*value);
}

std::string FormatRealField(double value) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  if (error != std::errc()) return "0";
  return std::string(text, end);
}

std::wstring FileDialogFilter(std::wstring_view piped) {
  std::wstring filter(piped);
  for (wchar_t& c : filter) {
    if (c == L'|') c = L'\0';
  }
  // Two NULs end the list: one more when the text ended with '|', else two.
  filter.push_back(L'\0');
  if (piped.empty() || piped.back() != L'|') filter.push_back(L'\0');
  return filter;
}

}  // namespace plotsend::win32
