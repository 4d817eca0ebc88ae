// The lock test with LockFileEx: a shared lock of the first byte cannot be
// had while Plotsend holds its exclusive one.
#include <windows.h>

#include "work/file_io.h"
#include "work/plotsend_lock.h"

namespace plotmark {

bool PlotsendHoldsWorkDir(const std::string& dir) {
  const std::wstring path = Utf8Path(dir + kWorkLockName).wstring();
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  OVERLAPPED at{};
  bool held = false;
  if (LockFileEx(h, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) UnlockFileEx(h, 0, 1, 0, &at);
  else held = GetLastError() == ERROR_LOCK_VIOLATION;
  CloseHandle(h);
  return held;
}

}  // namespace plotmark
