#pragma once
// The far end of a device port for the device-link tests: a stand-in cutter
// that reads what the link writes. Each platform's device tests provide
// theirs (a FIFO and a pseudo-terminal on POSIX, a named pipe on Windows);
// the tests every platform shares (device_link_test.cpp) run on the USB one,
// and lend their checks to the platform's own tests.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/link_port.h"

namespace plotsend {

class StandInCutter {
 public:
  virtual ~StandInCutter() = default;

  // Whether the stand-in could be made on this machine.
  virtual bool Ok() const = 0;
  // Opens the port through the link, as the kind of port it stands in for.
  virtual DeviceHandle Open(LinkPort& link) const = 0;
  // Reads until `want` bytes arrived, never more; where the platform can
  // wait with a limit, also stops after a second without any.
  virtual std::string Read(size_t want) = 0;
  // Reads what is waiting, without blocking, and drops it.
  virtual void Discard() = 0;
  // Whether the link can tell how many bytes wait at the stand-in, so that
  // its drain allows them their line time before the margin.
  virtual bool TellsItsQueue() const = 0;
};

// The platform's stand-in for a USB cutter, opened with OpenUsbPort.
std::unique_ptr<StandInCutter> MakeUsbStandIn();

// Reads `piece` bytes every `everyMs`, like a slow cutter, until `want`
// bytes or the stand-in's read gives none; `count` (where given) follows.
std::string ReadSlowly(StandInCutter& cutter, size_t want, size_t piece, int everyMs,
                       std::atomic<size_t>* count = nullptr);

// A timed write of more than the port takes fails after about a second.
void ExpectTimedWriteGivesUp(LinkPort& link, DeviceHandle handle);
// Another thread aborts the handle's I/O while `io` runs on it: `io` fails
// at once, and so does every later write on the handle.
void ExpectAbortEnds(LinkPort& link, DeviceHandle handle, const std::function<bool()>& io);

// Milliseconds since `start`.
int64_t MsSince(std::chrono::steady_clock::time_point start);
// A job of n bytes of cutting moves.
std::string Job(size_t n);
bool WriteAll(LinkPort& link, DeviceHandle handle, const std::string& bytes);

}  // namespace plotsend
