#pragma once
// A temporary file for data that one stage of a run hands on to the next:
// it has no name another program could open, grows by appending, and is
// read back through read-only mapped windows, so that what it holds costs
// the process only the windows being read. It goes with the object (and
// with the process). One implementation per platform.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace plotsend {

// One mapped part of a scratch file; unmapped when destroyed.
class ScratchWindow {
 public:
  virtual ~ScratchWindow() = default;
  virtual std::span<const uint8_t> Bytes() const = 0;
};

class ScratchFile {
 public:
  virtual ~ScratchFile() = default;
  // Appends bytes at the end. False when they could not all be written (a
  // full disk): what was appended before stays readable.
  virtual bool Append(std::span<const uint8_t> bytes) = 0;
  virtual uint64_t Size() const = 0;
  // Bytes [offset, offset + length) of what was appended, mapped read-only;
  // nothing when they cannot be mapped. Windows may be taken from several
  // threads at once once the appending is over.
  virtual std::unique_ptr<ScratchWindow> Map(uint64_t offset, size_t length) const = 0;
};

// A new, empty scratch file in the directory `utf8Dir` (the system's
// temporary directory when empty); nothing when none can be created there.
std::unique_ptr<ScratchFile> CreateScratchFile(const std::string& utf8Dir);

}  // namespace plotsend
