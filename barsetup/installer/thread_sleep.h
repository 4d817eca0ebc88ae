// The sleep port over the standard library, for every front end.
#pragma once

#include <chrono>
#include <thread>

#include "installer/installer_ports.h"

namespace barsetup {

class ThreadSleep : public SleepPort {
 public:
  void Sleep(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
};

}  // namespace barsetup
