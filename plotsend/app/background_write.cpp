#include "app/background_write.h"

#include <system_error>

#include "job/file_io.h"

namespace plotsend {

void BackgroundWrite::Start(Writer writer) {
  Wait();
  written_ = false;
  error_.clear();
  try {
    thread_ = std::thread([this, writer] { Run(writer); });
  } catch (const std::system_error&) {
    Run(writer);  // no second thread to be had: written here, before going on
  }
}

bool BackgroundWrite::Wait() {
  if (thread_.joinable()) thread_.join();
  return written_;
}

// The write error is kept per thread: taken here, on the thread that wrote.
void BackgroundWrite::Run(const Writer& writer) {
  ClearWriteError();
  try {
    written_ = writer();
  } catch (...) {
    written_ = false;
  }
  if (!written_) error_ = LastWriteError();
}

}  // namespace plotsend
