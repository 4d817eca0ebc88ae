#include "installer/win32/win_child_process.h"

#include "installer/win32/win_api.h"

#include <optional>

#include "common/win32/wide_text.h"

namespace barsetup {
namespace {

constexpr DWORD kReadBytes = 4095;
// The pipe breaks when the child closes its ends, which it does as it
// ends; its exit status follows at once. This bounds the wait for it.
constexpr DWORD kExitWaitMs = 10000;

class Handle {
 public:
  Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }
  HANDLE* out() { return &handle_; }
  HANDLE get() const { return handle_; }
  void Close() {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// Reads until every holder of the write end has closed it; the output is
// not used.
void Drain(HANDLE readEnd) {
  char buffer[kReadBytes + 1];
  DWORD read = 0;
  while (ReadFile(readEnd, buffer, kReadBytes, &read, nullptr)) {
  }
}

}  // namespace

ChildRun WinChildProcess::Run(const std::string& commandLine) {
  ChildRun run;
  std::optional<std::wstring> line = plotara::ToWide(commandLine);
  if (!line) return run;
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  Handle readEnd, writeEnd;
  if (!CreatePipe(readEnd.out(), writeEnd.out(), &inheritable, 0)) return run;
  // Only the write end goes to the child.
  SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = writeEnd.get();
  startup.hStdError = writeEnd.get();
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line->data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    return run;
  }
  CloseHandle(process.hThread);
  writeEnd.Close();
  Drain(readEnd.get());
  run.started = true;
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, kExitWaitMs) == WAIT_OBJECT_0 &&
      GetExitCodeProcess(process.hProcess, &code)) {
    run.exitKnown = true;
    run.exitCode = static_cast<int>(code);
  }
  CloseHandle(process.hProcess);
  return run;
}

}  // namespace barsetup
