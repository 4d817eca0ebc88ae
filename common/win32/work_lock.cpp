// The work directory lock on Windows: LockFileEx on plotara.lock. A locked
// range cannot be read by others, so the lock is on one byte far beyond the
// process id at the start of the file.
#include <windows.h>

#include "common/work_lock.h"

namespace plotara {
namespace {

constexpr DWORD kLockOffsetHigh = 1;  // the byte at 4 GiB, never data

std::wstring Wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = n > 0 ? std::wstring(text, n) : L"error " + std::to_wstring(error);
  if (text != nullptr) LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ')) wide.pop_back();
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::wstring LockPath(std::string dir) {
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir.push_back('\\');
  return Wide(dir + std::string(kWorkLockName));
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
  HANDLE h = OpenLockFile(LockPath(dir));
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
