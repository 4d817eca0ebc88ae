#include "win_resources.h"

#include "win_api.h"

#include "system_error_text.h"
#include "wide_text.h"

namespace barsetup {

bool WinResources::Load(const std::string& type, int id, std::vector<unsigned char>* bytes,
                        std::string* errorText) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const std::wstring typeName = Utf8ToWide(type);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), typeName.c_str());
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) {
    *errorText = SystemErrorText(GetLastError());
    return false;
  }
  const DWORD size = SizeofResource(module, found);
  const auto* first = static_cast<const unsigned char*>(data);
  bytes->assign(first, first + size);
  return true;
}

}  // namespace barsetup
