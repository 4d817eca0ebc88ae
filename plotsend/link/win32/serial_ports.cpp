// Serial ports as the registry's device map lists them.
#include "link/win32/win_link.h"

#include "common/win32/wide_text.h"

namespace plotsend {

std::vector<std::string> ListSerialPorts(HKEY root, const wchar_t* subkey) {
  HKEY key;
  if (RegOpenKeyExW(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  std::vector<std::string> ports;
  for (DWORD index = 0; ports.size() < kMaxListedPorts; ++index) {
    wchar_t name[256];
    wchar_t data[64];
    DWORD nameLength = sizeof name / sizeof name[0];
    DWORD dataBytes = sizeof data;
    DWORD type = 0;
    const LONG r =
        RegEnumValueW(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes);
    if (r == ERROR_MORE_DATA) continue;  // too long for a port name
    if (r != ERROR_SUCCESS) break;       // no more items, or the key went away
    if (type != REG_SZ) continue;
    size_t length = dataBytes / sizeof(wchar_t);
    while (length > 0 && data[length - 1] == L'\0') --length;
    if (length > 0) ports.push_back(plotara::ToUtf8({data, length}));
  }
  RegCloseKey(key);
  return ports;
}

}  // namespace plotsend
