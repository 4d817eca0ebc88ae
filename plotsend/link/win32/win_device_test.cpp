#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/win32/wide_text.h"
#include "link/stand_in_cutter.h"
#include "link/usb_cutter_id.h"
#include "link/win32/win_link.h"

namespace plotsend {
namespace {

TEST(WinSerialList, ThisMachineListsCleanly) {
  WinLink link;
  const std::vector<std::string> ports = link.EnumSerialPorts();
  EXPECT_LE(ports.size(), kMaxListedPorts);
  for (const std::string& p : ports) EXPECT_FALSE(p.empty());
}

// A device map of our own under HKEY_CURRENT_USER, removed again afterwards.
class TestDeviceMap {
 public:
  TestDeviceMap() : path_(L"Software\\PlotaraLinkTest" + std::to_wstring(GetCurrentProcessId())) {
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  }
  ~TestDeviceMap() {
    if (key_) RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  }
  bool Ok() const { return key_ != nullptr; }
  const std::wstring& Path() const { return path_; }
  void Text(const std::wstring& name, const std::wstring& data) {
    RegSetValueExW(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  }
  void Number(const std::wstring& name, DWORD value) {
    RegSetValueExW(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }

 private:
  std::wstring path_;
  HKEY key_ = nullptr;
};

TEST(WinSerialList, FirstTenTextValuesInRegistryOrder) {
  TestDeviceMap map;
  ASSERT_TRUE(map.Ok());
  // Names sort as they are created, so any enumeration order gives this one.
  const std::vector<std::wstring> ports = {L"COM7", L"COM12", L"COM1", L"COM123", L"COM3",  L"COM4",
                                           L"COM5", L"COM6",  L"COM8", L"COM9",   L"COM10", L"COM11"};
  map.Number(L"\\Device\\Serial00", 1);  // not text: skipped
  for (size_t i = 0; i < ports.size(); ++i) {
    map.Text(L"\\Device\\Serial" + std::to_wstring(10 + i), ports[i]);
  }
  EXPECT_EQ(
      ListSerialPorts(HKEY_CURRENT_USER, map.Path().c_str()),
      (std::vector<std::string>{"COM7", "COM12", "COM1", "COM123", "COM3", "COM4", "COM5", "COM6", "COM8", "COM9"}));
  EXPECT_TRUE(ListSerialPorts(HKEY_CURRENT_USER, (map.Path() + L"\\Missing").c_str()).empty());
}

TEST(WinUsbList, ThisMachineListsCleanly) {
  WinLink link;
  const UsbEnumeration found = link.EnumUsbCutters();
  EXPECT_EQ(found.failure, UsbEnumeration::Failure::None) << found.detailError;
  EXPECT_LE(found.paths.size(), kMaxListedPorts);
  for (const std::string& p : found.paths) EXPECT_TRUE(IsCutterInterfacePath(p)) << p;
}

TEST(WinDevicePath, BareNamesGoThroughTheDeviceNamespace) {
  EXPECT_EQ(DevicePath("COM1"), L"\\\\.\\COM1");
  EXPECT_EQ(DevicePath("COM12"), L"\\\\.\\COM12");
  EXPECT_EQ(DevicePath("\\\\?\\usb#vid_0483&pid_5448#1"), L"\\\\?\\usb#vid_0483&pid_5448#1");
  EXPECT_EQ(DevicePath("\\\\.\\pipe\\x"), L"\\\\.\\pipe\\x");
  EXPECT_TRUE(DevicePath("").empty());
  EXPECT_TRUE(DevicePath("\xff").empty());
}

TEST(WinDevicePort, MissingPortsDoNotOpen) {
  WinLink link;
  EXPECT_EQ(link.OpenSerialPort("COM250"), kInvalidDevice);
  EXPECT_EQ(link.OpenUsbPort("\\\\?\\usb#vid_0483&pid_5448#none"), kInvalidDevice);
  const uint8_t b = 0;
  EXPECT_FALSE(link.WritePortBlocking(kInvalidDevice, &b, 1));
  EXPECT_FALSE(link.WritePortTimed(&b, 1, kNoDevice));
}

// A named pipe stands in for a USB cutter: its server end is the cutter.
// The link sees no queue in it.
class PipeCutter final : public StandInCutter {
 public:
  PipeCutter() : name_("\\\\.\\pipe\\plotara-link-" + std::to_string(GetCurrentProcessId())) {
    const std::wstring wide = plotara::ToWide(name_).value();
    server_ = CreateNamedPipeW(wide.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
  }
  ~PipeCutter() override {
    if (server_ != INVALID_HANDLE_VALUE) CloseHandle(server_);
  }
  bool Ok() const override { return server_ != INVALID_HANDLE_VALUE; }
  DeviceHandle Open(LinkPort& link) const override { return link.OpenUsbPort(name_); }
  std::string Read(size_t want) override {
    std::string got;
    char buffer[4096];
    while (got.size() < want) {
      DWORD n = 0;
      const DWORD ask = static_cast<DWORD>(std::min(sizeof buffer, want - got.size()));
      if (!ReadFile(server_, buffer, ask, &n, nullptr) || n == 0) break;
      got.append(buffer, n);
    }
    return got;
  }
  void Discard() override {
    DWORD waiting = 0;
    while (PeekNamedPipe(server_, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
      Read(waiting);
    }
  }
  bool TellsItsQueue() const override { return false; }

 private:
  std::string name_;
  HANDLE server_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<StandInCutter> MakeUsbStandIn() { return std::make_unique<PipeCutter>(); }

}  // namespace plotsend
