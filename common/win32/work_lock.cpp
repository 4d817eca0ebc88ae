// The work directory lock on Windows: LockFileEx on plotara.lock. A locked
// range cannot be read by others, so the lock is on one byte far beyond the
// process id at the start of the file.
#include <windows.h>

#include <optional>

#include "common/win32/wide_text.h"
#include "common/work_lock.h"

namespace plotara {
namespace {

constexpr DWORD kLockOffsetHigh = 1;  // the byte at 4 GiB, never data

std::string SystemText(DWORD error) {
  const std::string message = SystemMessage(error);
  return message.empty() ? "error " + std::to_string(error) : message;
}

// Nothing when the directory's name is not UTF-8.
std::optional<std::wstring> LockPath(std::string dir) {
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir.push_back('\\');
  return ToWide(dir + std::string(kWorkLockName));
}

// Read-only when the file may not be written: the lock works the same,
// only the process id is not recorded.
HANDLE OpenLockFile(const std::wstring& path) {
  constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_ACCESS_DENIED) return h;
  h = CreateFileW(path.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) SetLastError(ERROR_ACCESS_DENIED);  // the first refusal is the cause
  return h;
}

OVERLAPPED At(DWORD offsetHigh) {
  OVERLAPPED at{};
  at.OffsetHigh = offsetHigh;
  return at;
}

uint32_t ReadHolder(HANDLE h) {
  char text[32];
  DWORD n = 0;
  OVERLAPPED at = At(0);
  if (!ReadFile(h, text, sizeof text, &n, &at) || n == 0) return 0;
  return ParseHolderId(std::string_view(text, n));
}

void WriteHolder(HANDLE h) {
  const std::string text = FormatHolderId(GetCurrentProcessId());
  DWORD n = 0;
  OVERLAPPED at = At(0);
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, &at);  // a read-only lock file keeps no id
}

}  // namespace

WorkLock::WorkLock(const std::string& dir) {
  const std::optional<std::wstring> path = LockPath(dir);
  if (!path) {
    error_ = SystemText(ERROR_NO_UNICODE_TRANSLATION);
    return;
  }
  HANDLE h = OpenLockFile(*path);
  if (h == INVALID_HANDLE_VALUE) {
    error_ = SystemText(GetLastError());
    return;
  }
  OVERLAPPED range = At(kLockOffsetHigh);
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION) {
      state_ = State::Busy;
      holder_ = ReadHolder(h);
    } else {
      error_ = SystemText(error);
    }
    CloseHandle(h);
    return;
  }
  WriteHolder(h);
  handle_ = reinterpret_cast<uintptr_t>(h);
  state_ = State::Held;
}

WorkLock::~WorkLock() {
  if (handle_ != 0) CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing releases the lock
}

}  // namespace plotara
