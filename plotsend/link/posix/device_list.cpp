// Finding serial ports and USB cutters in /dev with the help of sysfs.
#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>

#include "link/posix/posix_link.h"
#include "link/usb_cutter_id.h"

namespace plotsend {
namespace fs = std::filesystem;
namespace {

// Names of the entries of `dir` named prefix + decimal digits, by number.
std::vector<std::string> NumberedEntries(const fs::path& dir, const std::string& prefix) {
  std::vector<std::pair<unsigned, std::string>> numbered;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 6) continue;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    unsigned n = 0;
    bool digits = true;
    for (size_t i = prefix.size(); i < name.size() && digits; ++i) {
      digits = name[i] >= '0' && name[i] <= '9';
      n = n * 10 + static_cast<unsigned>(name[i] - '0');
    }
    if (digits) numbered.emplace_back(n, name);
  }
  std::sort(numbered.begin(), numbered.end());
  std::vector<std::string> names;
  names.reserve(numbered.size());
  for (auto& entry : numbered) names.push_back(std::move(entry.second));
  return names;
}

// The first line of a small attribute file, or nothing when unreadable.
bool ReadAttribute(const fs::path& file, std::string& value) {
  std::ifstream in(file);
  return static_cast<bool>(std::getline(in, value));
}

bool TtyPresent(const fs::path& ttyClass, const std::string& name, bool isUart) {
  std::error_code ec;
  if (!fs::exists(ttyClass / name / "device", ec)) return false;
  std::string type;
  // An 8250-style port without a UART behind it reports type 0.
  return !isUart || !ReadAttribute(ttyClass / name / "type", type) || type != "0";
}

// The USB device directory of a usbmisc node: its "device" link leads to the
// interface, whose parent holds idVendor and idProduct.
bool NodeIsCutter(const fs::path& usbmiscNode) {
  std::error_code ec;
  fs::path dir = fs::canonical(usbmiscNode / "device", ec);
  if (ec) return false;
  for (int level = 0; level < 2; ++level, dir = dir.parent_path()) {
    std::string vendor, product;
    if (ReadAttribute(dir / "idVendor", vendor) && ReadAttribute(dir / "idProduct", product)) {
      return IsCutterUsbId(vendor, product);
    }
  }
  return false;
}

}  // namespace

std::vector<std::string> ListSerialPorts(const fs::path& devRoot, const fs::path& sysRoot) {
  const fs::path ttyClass = sysRoot / "class" / "tty";
  std::error_code ec;
  const bool haveSysfs = fs::is_directory(ttyClass, ec);
  std::vector<std::string> ports;
  for (const std::string prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
    for (const std::string& name : NumberedEntries(devRoot, prefix)) {
      if (haveSysfs && !TtyPresent(ttyClass, name, prefix == "ttyS")) continue;
      ports.push_back((devRoot / name).string());
      if (ports.size() == kMaxListedPorts) return ports;
    }
  }
  return ports;
}

std::vector<std::string> ListUsbCutters(const fs::path& devRoot, const fs::path& sysRoot) {
  std::vector<std::string> paths;
  for (const std::string& name : NumberedEntries(devRoot / "usb", "lp")) {
    if (!NodeIsCutter(sysRoot / "class" / "usbmisc" / name)) continue;
    paths.push_back((devRoot / "usb" / name).string());
    if (paths.size() == kMaxListedPorts) break;
  }
  return paths;
}

}  // namespace plotsend
