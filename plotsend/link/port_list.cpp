// The port list's entries and how an entry is read back.
#include "link/port_list.h"

namespace plotsend {

std::vector<std::string> BuildPortList(size_t usbCount, const std::vector<std::string>& serialNames) {
  std::vector<std::string> list;
  list.reserve(usbCount + serialNames.size() + 1);
  for (size_t n = 0; n < usbCount; ++n) list.push_back("USB_" + std::to_string(n));
  list.insert(list.end(), serialNames.begin(), serialNames.end());
  list.emplace_back(kTcpEntry);
  return list;
}

bool IsTcpEntry(std::string_view entry) { return entry.substr(0, 3) == "TCP"; }
bool IsUsbEntry(std::string_view entry) { return entry.substr(0, 3) == "USB"; }

std::optional<size_t> UsbEntryIndex(std::string_view entry) {
  constexpr std::string_view kPrefix = "USB_";
  if (entry.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  const std::string_view digits = entry.substr(kPrefix.size());
  // Ten cutters at most: two digits are more than enough and cannot overflow.
  if (digits.empty() || digits.size() > 2) return std::nullopt;
  size_t n = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<size_t>(c - '0');
  }
  return n;
}

}  // namespace plotsend
