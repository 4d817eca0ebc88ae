#include "installer/win32/win_process_list.h"

#include "installer/win32/win_api.h"
#include <tlhelp32.h>

#include <optional>
#include <string_view>

#include "common/win32/wide_text.h"

namespace barsetup {
namespace {

// The file name of an image path (Toolhelp gives the bare name on Windows;
// other systems may give a path).
std::wstring_view BaseName(std::wstring_view image) {
  const size_t slash = image.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? image : image.substr(slash + 1);
}

bool SameFileName(std::wstring_view a, const std::wstring& b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

}  // namespace

bool WinProcessList::IsRunning(const std::string& imageName) {
  const std::optional<std::wstring> wanted = plotara::ToWide(imageName);
  if (!wanted) return false;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry)) {
    found = SameFileName(BaseName(entry.szExeFile), *wanted);
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace barsetup
