#pragma once
// Whole-file reads and buffered writes on UTF-8 paths, with errors reported
// to the caller instead of lost.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include "job/file_identity.h"

namespace plotsend {

// What a BufferedWriter appends to its target's name for the file it writes
// before that file takes the target's place.
inline constexpr std::string_view kTempSuffix = ".plotara-tmp";

// A UTF-8 path as the standard library's path type, the same on every platform.
std::filesystem::path Utf8Path(std::string_view utf8);

// How a whole read went, beyond success: the identity of the file that was
// read, and whether the path named another file or version at the end of
// the read than at its start (replaced, or written to, meanwhile).
struct FileRead {
  std::optional<FileIdentity> identity;
  bool changed = false;
};

// Reads the whole file into `out`. False when it cannot be opened or read,
// or when it changed while it was read.
bool ReadWholeFile(const std::string& path, std::string& out, FileRead* read = nullptr);

// Reads a regular file in pieces of at most `pieceSize` bytes, handing each
// to `consume` in order; `size` is the file's length. False when it cannot
// be opened or read, or when it changed while it was read (after the
// pieces read so far, which are then no one version of the file).
bool ReadInPieces(const std::string& path, size_t pieceSize,
                  const std::function<void(std::string_view piece, uint64_t size)>& consume, FileRead* read = nullptr);

// The file `path` finally names: symbolic links are followed (a relative
// link from the link's own directory), at most 40 of them.
std::filesystem::path FinalTarget(std::filesystem::path path);

// Whether two UTF-8 paths name the same file, through symbolic and hard
// links; a path that does not exist yet names the file it would create.
bool SameFile(const std::string& a, const std::string& b);

// Whether `path` names, through symbolic links, a file that exists and is
// not a regular file: a device, a pipe, a directory.
bool IsSpecialFile(const std::string& path);

// The system's reason why the last BufferedWriter of this thread that failed
// could not create, write or put its file in place (like errno); empty
// after ClearWriteError when none has failed since.
std::error_code LastWriteError();
void ClearWriteError();

// Removes the temporary files of every BufferedWriter in flight, in any
// thread, for a process that is about to end: from then on no writer can
// create, rename or remove one (they wait for the end).
void RemoveTempFilesAndStopWriters();

// Creates or replaces a file and writes to it through a 1 MiB buffer.
// A regular file (or a new one) is written to a temporary file beside it,
// which takes its place only when Close() has written everything: on any
// failure the file that was there stays exactly as it was. A symbolic link
// stays and its target is replaced. Devices and pipes are written in place.
// Ok() turns false on the first failed open or write and stays false.
class BufferedWriter {
 public:
  explicit BufferedWriter(const std::string& path);
  BufferedWriter(const BufferedWriter&) = delete;
  BufferedWriter& operator=(const BufferedWriter&) = delete;
  // Without Close() nothing replaces the target.
  ~BufferedWriter();

  void Write(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kFlushAt) Flush();
  }
  void Write(char c) {
    buffer_.push_back(c);
    if (buffer_.size() >= kFlushAt) Flush();
  }
  // Flushes, closes and puts the file in place; returns whether everything
  // reached it. When `ready` is given and returns false, the file is not put
  // in place (one written in place, such as a device, has its bytes out).
  bool Close(const std::function<bool()>& ready = {});
  bool Ok() const { return ok_; }

 private:
  static constexpr size_t kFlushAt = 1 << 20;
  void Open(const std::filesystem::path& requested);
  void Flush();
  void Discard();
  // Turn Ok() false, keeping the system's reason (errno when `error` is 0).
  void Fail(int error = 0);
  void Fail(std::error_code reason);

  std::ofstream file_;
  std::string buffer_;
  std::filesystem::path target_;
  std::filesystem::path temp_;  // empty when writing in place
  std::filesystem::perms perms_ = std::filesystem::perms::unknown;
  bool ok_ = false;
};

}  // namespace plotsend
