#include "job/file_identity.h"

#include <windows.h>

#include "job/file_io.h"

namespace plotsend {
namespace {

uint64_t Join(DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; }

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& utf8Path) {
  // Attributes only, sharing everything, so that the macros may write,
  // rename or delete the file while it is looked at.
  const HANDLE file = CreateFileW(Utf8Path(utf8Path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL ok = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  FileIdentity id;
  id.device = info.dwVolumeSerialNumber;
  id.file = Join(info.nFileIndexHigh, info.nFileIndexLow);
  id.size = Join(info.nFileSizeHigh, info.nFileSizeLow);
  id.modified = static_cast<int64_t>(Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
  return id;
}

}  // namespace plotsend
