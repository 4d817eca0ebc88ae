#include "installer/win32/win_process_list.h"

#include "installer/win32/win_api.h"
#include <gtest/gtest.h>

#include <filesystem>

#include "installer/path_text.h"
#include "installer/win32/program_file.h"
#include "installer/win32/win32_test_util.h"

namespace barsetup {
namespace {

// A stand-in CorelDRAW: the probe child copied under CorelDRAW's file name.
TEST(WinProcessList, SeesAProgramByItsFileName) {
  ScratchDir dir;
  const std::string standIn = dir.Path("CorelDRW.exe");
  std::filesystem::copy_file(WidePath(ModuleDirectory(ProgramPath()) + "child_probe.exe"), WidePath(standIn));
  WinProcessList processes;
  ASSERT_FALSE(processes.IsRunning("CorelDRW.exe")) << "a CorelDRW.exe runs already";

  std::wstring command = L"\"" + plotara::ToWide(standIn).value() + L"\" sleep 60000";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  EXPECT_TRUE(processes.IsRunning("CorelDRW.exe"));
  EXPECT_TRUE(processes.IsRunning("coreldrw.EXE"));
  EXPECT_FALSE(processes.IsRunning("CorelDRW"));
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_FALSE(processes.IsRunning("CorelDRW.exe"));
}

}  // namespace
}  // namespace barsetup
