// Recognising the cutter among USB devices.
#include "link/usb_cutter_id.h"

namespace plotsend {
namespace {

std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

bool IsCutterInterfacePath(std::string_view path) {
  constexpr std::string_view kPrefix = "\\\\?\\usb#vid_0483&pid_5448";
  return path.substr(0, kPrefix.size()) == kPrefix;
}

bool IsCutterUsbId(std::string_view vendor, std::string_view product) {
  return TrimEnd(vendor) == kCutterVendorId && TrimEnd(product) == kCutterProductId;
}

}  // namespace plotsend
