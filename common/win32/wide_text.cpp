#include "common/win32/wide_text.h"

#include <windows.h>

#include <climits>
#include <utility>

namespace plotara {
namespace {

int Utf16Units(std::string_view utf8, wchar_t* out, int room) {
  const int size = static_cast<int>(utf8.size());
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, out, room);
}

bool IsTrailingBlank(wchar_t c) { return c == L'\n' || c == L'\r' || c == L' '; }

std::wstring BytesAsLatin1(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (const char c : text) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return wide;
}

}  // namespace

std::optional<std::wstring> ToWide(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  if (utf8.size() > INT_MAX) return std::nullopt;
  const int n = Utf16Units(utf8, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  if (Utf16Units(utf8, wide.data(), n) != n) return std::nullopt;
  return wide;
}

std::wstring ToWideForDisplay(std::string_view text) {
  std::optional<std::wstring> wide = ToWide(text);
  return wide ? std::move(*wide) : BytesAsLatin1(text);
}

std::string ToUtf8(std::wstring_view wide) {
  if (wide.empty() || wide.size() > INT_MAX) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::string SystemMessage(unsigned long code) {
  wchar_t* text = nullptr;
  constexpr DWORD kFlags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  const DWORD n = FormatMessageW(kFlags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring_view message(text, text != nullptr ? n : 0);
  while (!message.empty() && IsTrailingBlank(message.back())) message.remove_suffix(1);
  std::string utf8 = ToUtf8(message);
  if (text != nullptr) LocalFree(text);
  return utf8;
}

std::string SystemErrorText(unsigned long code) {
  std::string message = SystemMessage(code);
  return message.empty() ? "Error " + std::to_string(code) : message;
}

}  // namespace plotara
