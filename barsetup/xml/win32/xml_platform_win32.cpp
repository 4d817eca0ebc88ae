// Win32 adapter of the XML platform port: MultiByteToWideChar,
// WideCharToMultiByte and GetACP for code pages; wide-character file
// functions, GetFinalPathNameByHandleW, MoveFileExW and FormatMessageW for
// files.
#include <windows.h>

#include <climits>
#include <cstdio>
#include <string>

#include "../encoding_names.h"
#include "../text_convert.h"
#include "../xml_platform.h"

namespace barsetup {
namespace {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > INT_MAX) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
  return w;
}

std::string Narrow(const wchar_t* w, int length) {
  if (length <= 0) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w, length, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w, length, s.data(), n, nullptr, nullptr);
  return s;
}

FileError ErrorFor(DWORD code) {
  FileError e;
  e.number = static_cast<long>(code);
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (n != 0 && text != nullptr) {
    DWORD cut = 0;
    while (cut < n && text[cut] != L'\r' && text[cut] != L'\n') ++cut;
    e.message = Narrow(text, static_cast<int>(cut));
  }
  if (text != nullptr) LocalFree(text);
  return e;
}

class Win32XmlPlatform final : public XmlPlatform {
 public:
  int SystemCodePage() const override { return static_cast<int>(GetACP()); }

  bool SupportsCodePage(int codePage) const override {
    return codePage > 0 && IsValidCodePage(static_cast<UINT>(codePage)) != 0;
  }

  bool ToWide(int codePage, std::string_view in, std::u16string& out, bool* lossy) const override {
    out.clear();
    if (in.empty()) return true;
    if (in.size() > INT_MAX) return false;
    const UINT cp = static_cast<UINT>(codePage);
    const int length = static_cast<int>(in.size());
    // Strict first, so that replaced input can be reported.
    DWORD flags = MB_ERR_INVALID_CHARS;
    int n = MultiByteToWideChar(cp, flags, in.data(), length, nullptr, 0);
    if (n == 0) {
      const DWORD error = GetLastError();
      if (error == ERROR_NO_UNICODE_TRANSLATION && lossy != nullptr) *lossy = true;
      if (error != ERROR_NO_UNICODE_TRANSLATION && error != ERROR_INVALID_FLAGS) return false;
      flags = 0;
      n = MultiByteToWideChar(cp, flags, in.data(), length, nullptr, 0);
      if (n == 0) return false;
    }
    std::wstring w(static_cast<size_t>(n), L'\0');
    n = MultiByteToWideChar(cp, flags, in.data(), length, w.data(), n);
    out.assign(w.begin(), w.begin() + (n > 0 ? n : 0));
    return n > 0;
  }

  bool FromWide(int codePage, std::u16string_view in, std::string& out, bool checkDefault,
                bool* usedDefault) const override {
    out.clear();
    if (in.empty()) return true;
    if (in.size() > INT_MAX) return false;
    const UINT cp = static_cast<UINT>(codePage);
    const std::wstring w(in.begin(), in.end());
    const int length = static_cast<int>(w.size());
    // No best-fit mapping: a character the code page lacks becomes the
    // default character and is reported, instead of a look-alike.
    const DWORD flags = RequestsDefaultCharacter(codePage) ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL defaultUsed = FALSE;
    BOOL* indicator = checkDefault ? &defaultUsed : nullptr;
    int n = WideCharToMultiByte(cp, flags, w.data(), length, nullptr, 0, nullptr, indicator);
    if (n == 0) return false;
    out.resize(static_cast<size_t>(n));
    defaultUsed = FALSE;
    n = WideCharToMultiByte(cp, flags, w.data(), length, out.data(), n, nullptr, indicator);
    out.resize(static_cast<size_t>(n > 0 ? n : 0));
    if (usedDefault != nullptr) *usedDefault = defaultUsed != FALSE;
    return n > 0;
  }

  std::FILE* OpenFile(const std::string& path, const char* mode) const override {
    const std::wstring wpath = Widen(path);
    const std::wstring wmode = Widen(mode);
    SetLastError(ERROR_SUCCESS);
    return _wfopen(wpath.c_str(), wmode.c_str());
  }

  bool FinalPath(const std::string& path, std::string* target) const override {
    *target = path;
    // Opening follows the whole chain of links; the open file's own path is
    // the one to replace. (Links are not always marked as reparse points,
    // under wine for one, so every existing file is asked.)
    HANDLE file = CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      // A loop cannot be written through; a file that does not exist (or a
      // link to one) is written as it is.
      return GetLastError() != ERROR_CANT_RESOLVE_FILENAME;
    }
    std::wstring final(MAX_PATH, L'\0');
    const DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    DWORD n = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), kFlags);
    if (n >= final.size()) {
      final.resize(n);
      n = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), kFlags);
    }
    CloseHandle(file);
    if (n == 0 || n >= final.size()) return true;
    final.resize(n);
    // "\\?\C:\..." back to "C:\...", "\\?\UNC\server\..." to "\\server\...".
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) {
      final.erase(2, 6);
    } else if (final.rfind(L"\\\\?\\", 0) == 0 && final.size() > 5 && final[5] == L':') {
      final.erase(0, 4);
    }
    *target = Narrow(final.data(), static_cast<int>(final.size()));
    return true;
  }

  // The replacement is given the target's attributes before the move, so that
  // no moment shows the file without them; a new file is always to be
  // archived.
  bool ReplaceFile(const std::string& source, const std::string& target) const override {
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const std::wstring from = Widen(source);
    const DWORD kept = GetFileAttributesW(Widen(target).c_str());
    const bool keep = kept != INVALID_FILE_ATTRIBUTES && (kept & kKept) != 0;
    if (keep && !SetFileAttributesW(from.c_str(), (kept & kKept) | FILE_ATTRIBUTE_ARCHIVE)) return false;
    if (MoveFileExW(from.c_str(), Widen(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    // A read-only source could not be removed by the caller.
    if (keep) SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetLastError(error);
    return false;
  }

  void RemoveFile(const std::string& path) const override { DeleteFileW(Widen(path).c_str()); }

  FileError LastFileError() const override { return ErrorFor(GetLastError()); }
  FileError FileTooLargeError() const override { return ErrorFor(ERROR_FILE_TOO_LARGE); }
};

}  // namespace

const XmlPlatform& DefaultXmlPlatform() {
  static const Win32XmlPlatform platform;
  return platform;
}

}  // namespace barsetup
