// USB cutters among the present USB printing-class device interfaces.
#include "link/win32/win_link.h"
// SetupAPI needs the Windows types first.
#include <setupapi.h>

#include <cstddef>
#include <cwchar>
#include <new>

#include "common/win32/wide_text.h"
#include "link/usb_cutter_id.h"

namespace plotsend {
namespace {

// The USB printing-class device interface, {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}.
constexpr GUID kUsbPrintInterface = {0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};

// The interface's device path; false with `found` told why when it cannot
// be read.
bool InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data, UsbEnumeration& found, std::string& path) {
  DWORD size = 0;
  SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &size, nullptr);
  std::vector<unsigned char> buffer;
  try {
    buffer.assign(size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) ? sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) : size,
                  0);
  } catch (const std::bad_alloc&) {
    found.failure = UsbEnumeration::Failure::Memory;
    return false;
  }
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  if (!SetupDiGetDeviceInterfaceDetailW(set, &data, detail, static_cast<DWORD>(buffer.size()), nullptr, nullptr)) {
    found.failure = UsbEnumeration::Failure::Detail;
    found.detailError = plotara::SystemErrorText(GetLastError());
    return false;
  }
  const size_t room = (buffer.size() - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(wchar_t);
  path = plotara::ToUtf8({detail->DevicePath, wcsnlen(detail->DevicePath, room)});
  return true;
}

}  // namespace

UsbEnumeration ListUsbCutters() {
  UsbEnumeration found;
  HDEVINFO set = SetupDiGetClassDevsW(&kUsbPrintInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return found;
  for (DWORD index = 0; found.paths.size() < kMaxListedPorts; ++index) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &kUsbPrintInterface, index, &data)) break;
    std::string path;
    if (!InterfacePath(set, data, found, path)) break;
    if (IsCutterInterfacePath(path)) found.paths.push_back(std::move(path));
  }
  SetupDiDestroyDeviceInfoList(set);
  return found;
}

}  // namespace plotsend
