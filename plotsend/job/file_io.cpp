#include "job/file_io.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <mutex>
#include <system_error>
#include <vector>

namespace plotsend {

namespace fs = std::filesystem;

fs::path Utf8Path(std::string_view utf8) {
  std::u8string text(utf8.begin(), utf8.end());
  return fs::path(text);
}

bool ReadWholeFile(const std::string& path, std::string& out, FileRead* read) {
  constexpr size_t kPieceSize = 1 << 20;
  try {
    std::string text;
    const bool whole = ReadInPieces(
        path, kPieceSize,
        [&text](std::string_view piece, uint64_t size) {
          if (text.empty()) text.reserve(static_cast<size_t>(size));
          text.append(piece);
        },
        read);
    if (whole) out.swap(text);
    return whole;
  } catch (const std::exception&) {
    return false;  // larger than memory
  }
}

bool ReadInPieces(const std::string& path, size_t pieceSize,
                  const std::function<void(std::string_view piece, uint64_t size)>& consume, FileRead* read) {
  FileRead own;
  FileRead& result = read != nullptr ? *read : own;
  result = FileRead{};
  const fs::path file = Utf8Path(path);
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return false;
  // Taken before the file is opened and compared after its end: the bytes
  // read are then those of this one version.
  result.identity = IdentityOf(path);
  if (!result.identity) return false;
  const uint64_t size = result.identity->size;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string piece(pieceSize, '\0');
  while (in.read(piece.data(), static_cast<std::streamsize>(piece.size())) || in.gcount() > 0) {
    consume(std::string_view(piece.data(), static_cast<size_t>(in.gcount())), size);
  }
  if (!in.eof() || in.bad()) return false;
  result.changed = IdentityOf(path) != result.identity;
  return !result.changed;
}

fs::path FinalTarget(fs::path path) {
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(path, ec); ++hops) {
    fs::path next = fs::read_symlink(path, ec);
    if (ec) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

bool SameFile(const std::string& a, const std::string& b) {
  try {
    const fs::path pa = Utf8Path(a);
    const fs::path pb = Utf8Path(b);
    std::error_code ec;
    if (fs::equivalent(pa, pb, ec)) return true;  // both exist
    const fs::path ca = fs::weakly_canonical(fs::absolute(FinalTarget(pa), ec), ec);
    if (ec) return false;
    const fs::path cb = fs::weakly_canonical(fs::absolute(FinalTarget(pb), ec), ec);
    return !ec && ca == cb;
  } catch (...) {
    return false;
  }
}

bool IsSpecialFile(const std::string& path) {
  try {
    std::error_code ec;
    const fs::file_status status = fs::status(Utf8Path(path), ec);
    return !ec && status.type() != fs::file_type::regular && status.type() != fs::file_type::not_found;
  } catch (...) {
    return false;
  }
}

namespace {

thread_local std::error_code lastWriteError;

// The temporary files of the writers in flight. A file is created, renamed
// into place and removed only under the mutex, so that a process being ended
// can remove every one of them and no new one appears.
struct TempFilesInFlight {
  std::mutex mutex;
  std::vector<fs::path> paths;

  void Forget(const fs::path& path) {
    const auto it = std::find(paths.begin(), paths.end(), path);
    if (it != paths.end()) paths.erase(it);
  }
};

TempFilesInFlight& InFlight() {
  static TempFilesInFlight files;
  return files;
}

}  // namespace

std::error_code LastWriteError() { return lastWriteError; }
void ClearWriteError() { lastWriteError.clear(); }

void RemoveTempFilesAndStopWriters() {
  TempFilesInFlight& files = InFlight();
  files.mutex.lock();  // held until the process ends
  for (const fs::path& path : files.paths) {
    std::error_code ec;
    fs::remove(path, ec);
  }
  files.paths.clear();
}

BufferedWriter::BufferedWriter(const std::string& path) {
  try {
    buffer_.reserve(kFlushAt + 4096);
    Open(Utf8Path(path));
  } catch (...) {
    Fail(ENOMEM);
  }
}

void BufferedWriter::Fail(int error) {
  if (error == 0) error = errno != 0 ? errno : EIO;
  Fail(std::error_code(error, std::generic_category()));
}

void BufferedWriter::Fail(std::error_code reason) {
  ok_ = false;
  lastWriteError = reason;
}

void BufferedWriter::Open(const fs::path& requested) {
  std::error_code ec;
  target_ = FinalTarget(requested);
  const fs::file_status status = fs::status(target_, ec);
  const bool regular = status.type() == fs::file_type::regular;
  if (status.type() == fs::file_type::directory) return Fail(EISDIR);
  errno = 0;
  if (!regular && status.type() != fs::file_type::not_found) {
    file_.open(target_, std::ios::binary | std::ios::trunc);  // a device, a pipe
    ok_ = file_.is_open();
    if (!ok_) Fail();
    return;
  }
  if (regular) {
    // A file we may not write is refused as before; opening it for appending
    // neither truncates nor creates it.
    if (!std::ofstream(target_, std::ios::binary | std::ios::app)) return Fail();
    perms_ = status.permissions();
  }
  fs::path temp = target_;
  temp += Utf8Path(kTempSuffix);
  TempFilesInFlight& files = InFlight();
  std::lock_guard lock(files.mutex);
  files.paths.push_back(temp);
  file_.open(temp, std::ios::binary | std::ios::trunc);
  ok_ = file_.is_open();
  if (ok_) {
    temp_ = std::move(temp);
  } else {
    Fail();
    files.Forget(temp);
  }
}

BufferedWriter::~BufferedWriter() { Discard(); }

void BufferedWriter::Flush() {
  if (ok_ && !buffer_.empty()) {
    errno = 0;
    file_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    if (!file_) Fail();
  }
  buffer_.clear();
}

void BufferedWriter::Discard() {
  if (file_.is_open()) file_.close();
  if (!temp_.empty()) {
    TempFilesInFlight& files = InFlight();
    std::lock_guard lock(files.mutex);
    std::error_code ec;
    fs::remove(temp_, ec);
    files.Forget(temp_);
    temp_.clear();
  }
}

bool BufferedWriter::Close(const std::function<bool()>& ready) {
  if (!file_.is_open()) return ok_;
  Flush();
  errno = 0;
  file_.close();
  if (file_.fail() && ok_) Fail();
  if (ok_ && ready && !ready()) ok_ = false;
  if (ok_ && !temp_.empty()) {
    std::error_code ec;
    if (perms_ != fs::perms::unknown) fs::permissions(temp_, perms_, ec);
    TempFilesInFlight& files = InFlight();
    std::lock_guard lock(files.mutex);
    fs::rename(temp_, target_, ec);
    if (ec) {
      Fail(ec);
    } else {
      files.Forget(temp_);
      temp_.clear();
    }
  }
  Discard();
  return ok_;
}

}  // namespace plotsend
