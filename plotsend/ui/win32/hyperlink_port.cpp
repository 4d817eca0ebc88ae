// Opening a link on Windows: the shell, the registry's classes root and
// process creation, texts UTF-8 outside and UTF-16 at the API.
#include <objbase.h>
#include <shellapi.h>

#include <vector>

#include "ui/win32/dialog_window.h"
#include "ui/win32/hyperlink_control.h"

namespace plotsend::win32 {

int WinHyperLinkPort::ShellOpen(const std::string& target, int showCommand) {
  // The shell may hand the verb to COM extensions, which need COM on the
  // calling thread; balanced here so the thread is left as it was.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", Widen(target).c_str(), nullptr, nullptr, showCommand);
  if (SUCCEEDED(com)) CoUninitialize();
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

long WinHyperLinkPort::ReadClassesRootDefault(const std::string& subKey, std::string& value) {
  std::wstring wide;
  const LONG rc = ReadRegistryDefault(root_, Widen(subKey), wide);
  if (rc == ERROR_SUCCESS) value = Narrow(wide);
  return rc;
}

namespace {

// The value's text, without the terminating nulls it is stored with.
std::wstring ValueText(const std::vector<wchar_t>& data, DWORD bytes) {
  size_t length = bytes / sizeof(wchar_t);
  while (length > 0 && data[length - 1] == L'\0') --length;
  return std::wstring(data.data(), length);
}

std::wstring Expanded(const std::wstring& text) {
  const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (needed == 0) return text;
  std::wstring out(needed, L'\0');
  const DWORD got = ExpandEnvironmentStringsW(text.c_str(), out.data(), needed);
  if (got == 0 || got > needed) return text;
  out.resize(got - 1);
  return out;
}

LONG QueryDefaultText(HKEY key, std::wstring& value) {
  DWORD type = 0;
  DWORD bytes = 0;
  LONG rc = RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &bytes);
  // The value may grow between the size query and the read: asked again.
  for (int attempt = 0; attempt < 4 && rc == ERROR_SUCCESS; ++attempt) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    rc = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (rc == ERROR_MORE_DATA) {
      bytes = got;
      rc = ERROR_SUCCESS;
      continue;
    }
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
    value = ValueText(data, got);
    if (type == REG_EXPAND_SZ) value = Expanded(value);
    return ERROR_SUCCESS;
  }
  return rc == ERROR_SUCCESS ? ERROR_MORE_DATA : rc;
}

}  // namespace

LONG ReadRegistryDefault(HKEY root, const std::wstring& subKey, std::wstring& value) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key);
  if (rc != ERROR_SUCCESS) return rc;
  rc = QueryDefaultText(key, value);
  RegCloseKey(key);
  return rc;
}

int WinExecCode(DWORD error) {
  // WinExec gives the system's code for failures below 32 and 11 (a bad
  // program file) for the rest; a sharing violation (32, which would read as
  // "DLL not found") gets the shell's sharing-violation code.
  if (error == ERROR_SHARING_VIOLATION) return 26;
  if (error == ERROR_OUTOFMEMORY) return 0;
  if (error < 32) return static_cast<int>(error);
  return ERROR_BAD_FORMAT;
}

int WinHyperLinkPort::RunCommandLine(const std::string& commandLine, int showCommand) {
  // WinExec takes the line in the ANSI code page, which loses any character
  // outside it; CreateProcessW runs the same line in full Unicode, and its
  // failure is given as the code WinExec would have returned.
  std::wstring line = Widen(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return WinExecCode(GetLastError());
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return kWinExecStarted;
}

}  // namespace plotsend::win32
