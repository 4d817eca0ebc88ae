// Starts Plotsend.exe from the directory this program lies in.
#include <windows.h>

#include <vector>

#include "app/ports.h"
#include "work/file_io.h"

namespace plotmark {

bool CanStartPlotsend() { return true; }

bool StartPlotsend(std::string& program) {
  std::vector<wchar_t> own(32768);
  const DWORD n = GetModuleFileNameW(nullptr, own.data(), static_cast<DWORD>(own.size()));
  if (n == 0 || n >= own.size()) {
    program = "Plotsend.exe";
    return false;
  }
  const std::filesystem::path exe = std::filesystem::path(std::wstring(own.data(), n)).parent_path() / L"Plotsend.exe";
  program = PathUtf8(exe);
  std::wstring command = L"\"" + exe.wstring() + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, exe.parent_path().c_str(), &si,
                      &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace plotmark
