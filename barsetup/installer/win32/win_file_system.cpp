#include "installer/win32/win_file_system.h"

#include "installer/win32/win_api.h"
#include <sddl.h>

#include <algorithm>
#include <optional>

#include "common/win32/wide_text.h"
#include "xml/xml_platform.h"

namespace barsetup {
namespace {

// Largest piece handed to one ReadFile or WriteFile call.
constexpr DWORD kChunkBytes = 1u << 24;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool Close() {
    if (!valid()) return true;
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, const std::vector<unsigned char>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kChunkBytes));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

DirEntry::Kind KindOf(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return DirEntry::Kind::Link;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return DirEntry::Kind::Directory;
  return DirEntry::Kind::File;
}

// "D:P(A;OICI;FA;;;SID)": full access for the current user alone, inherited
// by everything created inside, nothing inherited from the parent.
std::wstring OwnerOnlyDescriptor() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return L"";
  std::vector<unsigned char> info(256);
  DWORD needed = 0;
  bool ok = GetTokenInformation(token, TokenUser, info.data(), static_cast<DWORD>(info.size()), &needed);
  if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    info.resize(needed);
    ok = GetTokenInformation(token, TokenUser, info.data(), needed, &needed);
  }
  CloseHandle(token);
  wchar_t* sid = nullptr;
  if (!ok || !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid, &sid)) {
    return L"";
  }
  std::wstring descriptor = L"D:P(A;OICI;FA;;;" + std::wstring(sid) + L")";
  LocalFree(sid);
  return descriptor;
}

}  // namespace

bool WinFileSystem::Exists(const std::string& path) {
  const std::optional<std::wstring> wide = plotara::ToWide(path);
  return wide && GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WinFileSystem::CreateDirectory(const std::string& path) {
  const std::optional<std::wstring> wide = plotara::ToWide(path);
  return wide && CreateDirectoryW(wide->c_str(), nullptr) != 0;
}

bool WinFileSystem::CopyFile(const std::string& source, const std::string& target) {
  const std::optional<std::wstring> from = plotara::ToWide(source);
  const std::optional<std::wstring> to = plotara::ToWide(target);
  return from && to && CopyFileW(from->c_str(), to->c_str(), FALSE) != 0;
}

// Replaced as the XML files are saved, keeping the target's attributes.
bool WinFileSystem::MoveFile(const std::string& source, const std::string& target) {
  return DefaultXmlPlatform().ReplaceFile(source, target);
}

bool WinFileSystem::DeleteFile(const std::string& path) {
  const std::optional<std::wstring> wide = plotara::ToWide(path);
  return wide && DeleteFileW(wide->c_str()) != 0;
}

bool WinFileSystem::RemoveDirectory(const std::string& path) {
  const std::optional<std::wstring> wide = plotara::ToWide(path);
  return wide && RemoveDirectoryW(wide->c_str()) != 0;
}

bool WinFileSystem::ListDirectory(const std::string& path, std::vector<DirEntry>* entries) {
  entries->clear();
  const std::optional<std::wstring> pattern = plotara::ToWide(path + "\\*");
  if (!pattern) return false;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(pattern->c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries->push_back({plotara::ToUtf8(name), KindOf(found.dwFileAttributes)});
  } while (FindNextFileW(search, &found));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(search);
  return complete;
}

bool WinFileSystem::WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  const std::optional<std::wstring> wide = plotara::ToWide(path);
  if (!wide) return false;
  FileHandle file(CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  const bool written = WriteAll(file.get(), bytes);
  if (file.Close() && written) return true;
  // No half-written file is left to be taken for a whole one.
  DeleteFileW(wide->c_str());
  return false;
}

bool WinFileSystem::ReadFile(const std::string& path, std::vector<unsigned char>* bytes) {
  const std::optional<std::wstring> wide = plotara::ToWide(path);
  if (!wide) return false;
  FileHandle file(CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.valid() || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return false;
  bytes->assign(static_cast<size_t>(size.QuadPart), 0);
  size_t done = 0;
  while (done < bytes->size()) {
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes->size() - done, kChunkBytes));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes->data() + done, piece, &read, nullptr)) return false;
    if (read == 0) break;  // the file got shorter meanwhile
    done += read;
  }
  bytes->resize(done);
  return true;
}

bool WinFileSystem::CreatePrivateTempDirectory(std::string* path) {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) return false;
  std::wstring base(temp, length);
  if (base.back() != L'\\') base += L'\\';
  SECURITY_ATTRIBUTES security{sizeof(security), nullptr, FALSE};
  const std::wstring descriptor = OwnerOnlyDescriptor();
  if (descriptor.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                descriptor.c_str(), SDDL_REVISION_1, &security.lpSecurityDescriptor, nullptr)) {
    return false;
  }
  // A new name each attempt: a directory that is there already may be anyone's.
  const DWORD seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
  bool created = false;
  for (DWORD attempt = 0; attempt < 100 && !created; ++attempt) {
    const std::wstring dir = base + L"barsetup-" + std::to_wstring(seed + attempt);
    created = CreateDirectoryW(dir.c_str(), &security) != 0;
    if (created) *path = plotara::ToUtf8(dir);
    if (!created && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  LocalFree(security.lpSecurityDescriptor);
  return created;
}

}  // namespace barsetup
