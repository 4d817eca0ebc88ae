#include "installer/win32/win_resources.h"

#include "installer/win32/win_api.h"

#include <optional>

#include "common/win32/wide_text.h"

namespace barsetup {

bool WinResources::Load(const std::string& type, int id, std::vector<unsigned char>* bytes, std::string* errorText) {
  const std::optional<std::wstring> typeName = plotara::ToWide(type);
  if (!typeName) {
    *errorText = plotara::SystemErrorText(ERROR_NO_UNICODE_TRANSLATION);
    return false;
  }
  const HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), typeName->c_str());
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) {
    *errorText = plotara::SystemErrorText(GetLastError());
    return false;
  }
  const DWORD size = SizeofResource(module, found);
  const auto* first = static_cast<const unsigned char*>(data);
  bytes->assign(first, first + size);
  return true;
}

}  // namespace barsetup
