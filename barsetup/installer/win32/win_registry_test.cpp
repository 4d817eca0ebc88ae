#include "installer/win32/win_registry.h"

#include "installer/win32/win_api.h"
#include <gtest/gtest.h>

#include <string>

#include "common/win32/wide_text.h"

namespace barsetup {
namespace {

// A key of this test's own under HKEY_CURRENT_USER, deleted with all below it.
class TestKey {
 public:
  TestKey() {
    path_ = L"Software\\Plotara tests\\Barsetup " + std::to_wstring(GetCurrentProcessId()) +
            L"\\CorelDRAW 中文 Ü\\22.0\\Draw";
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  }
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;
  ~TestKey() {
    RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER,
                   (L"Software\\Plotara tests\\Barsetup " + std::to_wstring(GetCurrentProcessId())).c_str());
  }
  std::string Path() const { return plotara::ToUtf8(path_); }
  bool Set(const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
    return RegSetValueExW(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
  }
  bool SetText(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
    return Set(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }

 private:
  std::wstring path_;
  HKEY key_ = nullptr;
};

TEST(WinRegistry, ReadsStringValuesAsUtf8) {
  TestKey key;
  ASSERT_TRUE(key.SetText(L"LastCorelWorkspaceUsed", L"C:\\Users\\Zoë\\工作区\\Mine.cdws"));
  ASSERT_TRUE(key.SetText(L"Ärger 值", L"%APPDATA%\\Corel\\", REG_EXPAND_SZ));
  WinRegistry registry;
  std::string value = "old";
  ASSERT_TRUE(registry.ReadString(key.Path(), "LastCorelWorkspaceUsed", &value));
  EXPECT_EQ(value, "C:\\Users\\Zoë\\工作区\\Mine.cdws");
  // Expandable strings are read as stored.
  ASSERT_TRUE(registry.ReadString(key.Path(), "Ärger 值", &value));
  EXPECT_EQ(value, "%APPDATA%\\Corel\\");
}

TEST(WinRegistry, ValuesOfAnyLengthAndWithoutTerminatingZero) {
  TestKey key;
  const std::wstring longText(5000, L'ж');
  ASSERT_TRUE(key.SetText(L"Long", longText));
  const std::wstring bare = L"c:\\bare";
  ASSERT_TRUE(key.Set(L"Bare", REG_SZ, bare.data(), static_cast<DWORD>(bare.size() * sizeof(wchar_t))));
  ASSERT_TRUE(key.SetText(L"Empty", L""));
  WinRegistry registry;
  std::string value;
  ASSERT_TRUE(registry.ReadString(key.Path(), "Long", &value));
  EXPECT_EQ(value, plotara::ToUtf8(longText));
  ASSERT_TRUE(registry.ReadString(key.Path(), "Bare", &value));
  EXPECT_EQ(value, "c:\\bare");
  ASSERT_TRUE(registry.ReadString(key.Path(), "Empty", &value));
  EXPECT_EQ(value, "");
}

TEST(WinRegistry, MissingKeysMissingValuesAndOtherTypesAreNotRead) {
  TestKey key;
  const DWORD number = 17;
  ASSERT_TRUE(key.Set(L"Number", REG_DWORD, &number, sizeof(number)));
  ASSERT_TRUE(key.SetText(L"Present", L"x"));
  WinRegistry registry;
  std::string value = "untouched";
  EXPECT_FALSE(registry.ReadString(key.Path(), "Number", &value));
  EXPECT_FALSE(registry.ReadString(key.Path(), "Absent", &value));
  EXPECT_FALSE(registry.ReadString(key.Path() + "\\Nothing here", "Present", &value));
  // Key names are whole: a trailing ";" names another key.
  EXPECT_FALSE(registry.ReadString(key.Path() + ";", "Present", &value));
  EXPECT_EQ(value, "untouched");
}

}  // namespace
}  // namespace barsetup
