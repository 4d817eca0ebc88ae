// UTF-8 and UTF-16 at the Win32 boundary, and system error texts.
#include <cstdint>

#include "win_link.h"

namespace plotsend {

bool ToWide(const std::string& utf8, std::wstring& out) {
  out.clear();
  if (utf8.empty()) return true;
  if (utf8.size() > static_cast<size_t>(INT32_MAX)) return false;
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<size_t>(n));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, out.data(), n) == n;
}

std::string ToUtf8(const wchar_t* text, size_t length) {
  if (length == 0 || length > static_cast<size_t>(INT32_MAX)) return {};
  const int size = static_cast<int>(length);
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, size, out.data(), n, nullptr, nullptr);
  return out;
}

std::string SystemErrorText(DWORD code) {
  wchar_t buffer[512];
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, buffer, sizeof buffer / sizeof buffer[0], nullptr);
  while (n > 0 && (buffer[n - 1] == L'\n' || buffer[n - 1] == L'\r')) --n;
  if (n == 0) return "Error " + std::to_string(code);
  return ToUtf8(buffer, n);
}

}  // namespace plotsend
