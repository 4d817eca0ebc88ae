#pragma once
// A work file written on a second thread while the run goes on: a file only
// a person inspects need not hold up the next stage. Its result is taken by
// Wait(), before anything that depends on it goes out.
#include <functional>
#include <system_error>
#include <thread>

namespace plotsend {

class BackgroundWrite {
 public:
  // Writes the file; true when it was written. What it reads must stay as
  // it is until Wait() returns.
  using Writer = std::function<bool()>;

  BackgroundWrite() = default;
  BackgroundWrite(const BackgroundWrite&) = delete;
  BackgroundWrite& operator=(const BackgroundWrite&) = delete;
  ~BackgroundWrite() { Wait(); }

  // Waits for the write before, then starts `writer` on a second thread (on
  // this one when no thread can be started).
  void Start(Writer writer);
  // Waits for the write in flight, if any. True when the last one started
  // was written, or none was started.
  bool Wait();
  // Why the last write failed (the writer thread's LastWriteError); empty
  // when that is not known or it did not fail. Valid after Wait().
  std::error_code Error() const { return error_; }

 private:
  void Run(const Writer& writer);

  std::thread thread_;
  bool written_ = true;
  std::error_code error_;
};

}  // namespace plotsend
