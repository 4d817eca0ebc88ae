#include "installer/win32/win_registry.h"

#include "installer/win32/win_api.h"

#include <cwchar>
#include <optional>
#include <vector>

#include "common/win32/wide_text.h"

namespace barsetup {
namespace {

class OpenKey {
 public:
  explicit OpenKey(const std::wstring& path) {
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The value's bytes as UTF-16 units; false when it is no string. The value
// can change between the size query and the read, hence the loop.
bool QueryString(HKEY key, const std::wstring& name, std::wstring* text) {
  std::vector<wchar_t> units(64);
  for (;;) {
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(units.size() * sizeof(wchar_t));
    const LSTATUS status =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(units.data()), &bytes);
    if (status == ERROR_MORE_DATA) {
      units.resize(bytes / sizeof(wchar_t) + 1);
      continue;
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    // Stored with or without the terminating zero; the text ends at the first.
    text->assign(units.data(), bytes / sizeof(wchar_t));
    text->resize(std::wcslen(text->c_str()));
    return true;
  }
}

}  // namespace

bool WinRegistry::ReadString(const std::string& keyPath, const std::string& valueName, std::string* value) {
  const std::optional<std::wstring> wideKey = plotara::ToWide(keyPath);
  const std::optional<std::wstring> wideName = plotara::ToWide(valueName);
  if (!wideKey || !wideName) return false;
  OpenKey key(*wideKey);
  if (key.get() == nullptr) return false;
  std::wstring text;
  if (!QueryString(key.get(), *wideName, &text)) return false;
  *value = plotara::ToUtf8(text);
  return true;
}

}  // namespace barsetup
