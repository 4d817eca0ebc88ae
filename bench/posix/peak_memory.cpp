#include "bench/peak_memory.h"

#include <sys/resource.h>

#include <charconv>
#include <fstream>
#include <string>

namespace plotsend {

int64_t ProcessPeakRss() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<int64_t>(usage.ru_maxrss) * 1024;  // kilobytes on Linux
}

// Linux: writing 5 to clear_refs resets VmHWM in /proc/self/status.
bool ResetStagePeak() {
  std::ofstream clear("/proc/self/clear_refs");
  if (!clear) return false;
  clear << "5";
  clear.close();
  return !clear.fail();
}

int64_t StagePeakRss() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) != 0) continue;
    const size_t digits = line.find_first_of("0123456789");
    int64_t kb = 0;
    if (digits == std::string::npos) return 0;
    std::from_chars(line.data() + digits, line.data() + line.size(), kb);
    return kb * 1024;
  }
  return 0;
}

}  // namespace plotsend
