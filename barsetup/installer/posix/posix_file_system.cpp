#include "installer/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "xml/xml_platform.h"

namespace barsetup {
namespace {

bool WriteAll(int fd, const unsigned char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Copies all of in to out.
bool Pump(int in, int out) {
  unsigned char buffer[65536];
  for (;;) {
    const ssize_t n = read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteAll(out, buffer, static_cast<size_t>(n))) return false;
  }
}

int CreateForWriting(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

}  // namespace

bool PosixFileSystem::Exists(const std::string& path) {
  std::string native;
  struct stat st;
  return prefix_.ToNative(path, &native) && lstat(native.c_str(), &st) == 0;
}

bool PosixFileSystem::CreateDirectory(const std::string& path) {
  std::string native;
  return prefix_.ToNative(path, &native) && mkdir(native.c_str(), 0777) == 0;
}

bool PosixFileSystem::CopyFile(const std::string& source, const std::string& target) {
  std::string from, to;
  if (!prefix_.ToNative(source, &from) || !prefix_.ToNative(target, &to)) return false;
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st;
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(in);
    return false;
  }
  const int out = CreateForWriting(to);
  bool ok = out >= 0 && Pump(in, out);
  if (out >= 0) ok = close(out) == 0 && ok;
  close(in);
  return ok;
}

// Replaced as the XML files are saved, keeping the target's owner and mode.
bool PosixFileSystem::MoveFile(const std::string& source, const std::string& target) {
  std::string from, to;
  return prefix_.ToNative(source, &from) && prefix_.ToNative(target, &to) && DefaultXmlPlatform().ReplaceFile(from, to);
}

bool PosixFileSystem::DeleteFile(const std::string& path) {
  std::string native;
  struct stat st;
  if (!prefix_.ToNative(path, &native) || lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return unlink(native.c_str()) == 0;
}

bool PosixFileSystem::RemoveDirectory(const std::string& path) {
  std::string native;
  struct stat st;
  if (!prefix_.ToNative(path, &native) || lstat(native.c_str(), &st) != 0) return false;
  return S_ISLNK(st.st_mode) ? unlink(native.c_str()) == 0 : rmdir(native.c_str()) == 0;
}

bool PosixFileSystem::ListDirectory(const std::string& path, std::vector<DirEntry>* entries) {
  entries->clear();
  std::string native;
  if (!prefix_.ToNative(path, &native)) return false;
  DIR* dir = opendir(native.c_str());
  if (dir == nullptr) return false;
  while (const dirent* e = readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    struct stat st;
    DirEntry entry{e->d_name, DirEntry::Kind::File};
    if (lstat((native + "/" + e->d_name).c_str(), &st) == 0) {
      if (S_ISLNK(st.st_mode)) entry.kind = DirEntry::Kind::Link;
      if (S_ISDIR(st.st_mode)) entry.kind = DirEntry::Kind::Directory;
    }
    entries->push_back(std::move(entry));
  }
  closedir(dir);
  return true;
}

bool PosixFileSystem::WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::string native;
  if (!prefix_.ToNative(path, &native)) return false;
  const int fd = CreateForWriting(native);
  if (fd < 0) return false;
  const bool ok = WriteAll(fd, bytes.data(), bytes.size());
  return close(fd) == 0 && ok;
}

bool PosixFileSystem::ReadFile(const std::string& path, std::vector<unsigned char>* bytes) {
  std::string native;
  return prefix_.ToNative(path, &native) && ReadRegularFile(native, bytes);
}

bool ReadRegularFile(const std::string& path, std::vector<unsigned char>* bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  bytes->clear();
  if (ok) bytes->reserve(static_cast<size_t>(st.st_size));
  unsigned char buffer[65536];
  while (ok) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    bytes->insert(bytes->end(), buffer, buffer + n);
  }
  close(fd);
  return ok;
}

bool PosixFileSystem::CreatePrivateTempDirectory(std::string* path) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/barsetup-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return false;
  *path = pattern;
  return true;
}

}  // namespace barsetup
