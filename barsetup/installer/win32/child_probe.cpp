// A child for the child process tests, started the way the installer starts
// the archiver.
//   child_probe check CODE BYTES: checks that standard output and error are
//     pipes and the window is to be hidden, writes BYTES bytes to each, and
//     exits with CODE (3 when a check failed).
//   child_probe echo FILE TEXT: writes TEXT as UTF-8 into FILE.
//   child_probe sleep MS [READY]: creates the file READY when given, then
//     runs for MS milliseconds: a program that stands in for another under
//     that program's file name.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "common/win32/wide_text.h"

namespace {

bool IsPipe(DWORD which) { return GetFileType(GetStdHandle(which)) == FILE_TYPE_PIPE; }

bool WriteBytes(HANDLE to, size_t count) {
  const std::vector<char> piece(4096, 'x');
  while (count > 0) {
    const DWORD n = static_cast<DWORD>(count < piece.size() ? count : piece.size());
    DWORD written = 0;
    if (!WriteFile(to, piece.data(), n, &written, nullptr)) return false;
    count -= written;
  }
  return true;
}

int Check(int code, size_t bytes) {
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  const bool hidden = (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow == SW_HIDE;
  if (!IsPipe(STD_OUTPUT_HANDLE) || !IsPipe(STD_ERROR_HANDLE) || !hidden) return 3;
  if (!WriteBytes(GetStdHandle(STD_OUTPUT_HANDLE), bytes)) return 3;
  if (!WriteBytes(GetStdHandle(STD_ERROR_HANDLE), bytes)) return 3;
  return code;
}

int Echo(const wchar_t* file, const wchar_t* text) {
  const std::string utf8 = plotara::ToUtf8(text);
  HANDLE out = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return 4;
  DWORD written = 0;
  const bool ok = WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(out);
  return ok ? 0 : 4;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"check" && argc == 4) return Check(_wtoi(argv[2]), static_cast<size_t>(_wtoi(argv[3])));
  if (mode == L"echo" && argc == 4) return Echo(argv[2], argv[3]);
  if (mode == L"sleep" && (argc == 3 || argc == 4)) {
    if (argc == 4 && Echo(argv[3], L"") != 0) return 4;
    Sleep(static_cast<DWORD>(_wtoi(argv[2])));
    return 0;
  }
  return 64;
}
