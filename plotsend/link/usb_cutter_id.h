#pragma once
// How a USB device is recognised as the cutter: vendor id 0483, product id
// 5448.
#include <string_view>

namespace plotsend {

inline constexpr std::string_view kCutterVendorId = "0483";
inline constexpr std::string_view kCutterProductId = "5448";

// A Windows device interface path of the cutter: it starts with
// "\\?\usb#vid_0483&pid_5448" (compared exactly, case included).
bool IsCutterInterfacePath(std::string_view path);

// The idVendor and idProduct texts of a USB device (as sysfs shows them,
// hexadecimal, trailing white space ignored) name the cutter.
bool IsCutterUsbId(std::string_view vendor, std::string_view product);

}  // namespace plotsend
