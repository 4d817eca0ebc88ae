#pragma once
// The entries of the port list: "USB_0".. for the USB cutters, the serial
// port names, then "TCP/IP".
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plotsend {

inline constexpr std::string_view kTcpEntry = "TCP/IP";

std::vector<std::string> BuildPortList(size_t usbCount, const std::vector<std::string>& serialNames);

// Entries are told apart by their first three characters.
bool IsTcpEntry(std::string_view entry);
bool IsUsbEntry(std::string_view entry);
// n of an entry "USB_n"; nothing for any other text.
std::optional<size_t> UsbEntryIndex(std::string_view entry);

}  // namespace plotsend
