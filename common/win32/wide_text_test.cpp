#include "common/win32/wide_text.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace plotara {
namespace {

// UTF-8 both ways; anything else refused as a whole, and shown byte by byte.
TEST(WideText, Utf8ConvertsAndAnythingElseIsRefused) {
  const struct {
    std::string text;
    std::optional<std::wstring> wide;
    std::wstring shown = L"";  // when refused
  } cases[] = {
      {"", L""},
      {"Pl\xC3\xB6tara \xE7\xBB\x98\xE5\x9B\xBE", L"Pl\u00F6tara \u7ED8\u56FE"},
      {"\xF0\x9F\x98\x80", std::wstring{0xD83D, 0xDE00}},
      {"Caf\xE9", std::nullopt, L"Caf\u00E9"},
      {"ok\xC3", std::nullopt, L"ok\u00C3"},                            // cut off
      {"\xC0\xAF", std::nullopt, L"\u00C0\u00AF"},                      // overlong
      {"\xED\xA0\x80", std::nullopt, L"\u00ED\u00A0\u0080"},            // a surrogate
      {"\xF4\x90\x80\x80", std::nullopt, L"\u00F4\u0090\u0080\u0080"},  // beyond U+10FFFF
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToWide(c.text), c.wide) << c.text;
    EXPECT_EQ(ToWideForDisplay(c.text), c.wide.value_or(c.shown)) << c.text;
    if (c.wide) {
      EXPECT_EQ(ToUtf8(*c.wide), c.text);
    }
  }
  EXPECT_EQ(ToUtf8(std::wstring{L'a', 0xD800, L'b', 0xDC00}),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

TEST(SystemErrorText, TheMessageTableOrTheNumber) {
  const std::string text = SystemErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(text, SystemMessage(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(text.find("Error "), std::string::npos);
  EXPECT_EQ(SystemMessage(0x2fffffff), "");
  EXPECT_EQ(SystemErrorText(0x2fffffff), "Error 805306367");
}

}  // namespace
}  // namespace plotara
