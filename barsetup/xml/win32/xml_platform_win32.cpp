// Win32 adapter of the XML platform port: MultiByteToWideChar,
// WideCharToMultiByte and GetACP for code pages; wide-character file
// functions, GetFinalPathNameByHandleW, MoveFileExW and the system's error
// texts for files.
#include <windows.h>

#include <climits>
#include <cstdio>
#include <optional>
#include <string>

#include "common/win32/wide_text.h"
#include "xml/encoding_names.h"
#include "xml/text_convert.h"
#include "xml/xml_platform.h"

namespace barsetup {
namespace {

// A name that is not UTF-8 is refused, with ERROR_NO_UNICODE_TRANSLATION
// for LastFileError.
std::optional<std::wstring> WidePath(std::string_view utf8) {
  std::optional<std::wstring> wide = plotara::ToWide(utf8);
  if (!wide) SetLastError(ERROR_NO_UNICODE_TRANSLATION);
  return wide;
}

FileError ErrorFor(DWORD code) {
  const std::string text = plotara::SystemMessage(code);
  return FileError{text.substr(0, text.find_first_of("\r\n")), static_cast<long>(code)};
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
    const std::optional<std::wstring> wpath = WidePath(path), wmode = WidePath(mode);
    if (!wpath || !wmode) return nullptr;
    SetLastError(ERROR_SUCCESS);
    return _wfopen(wpath->c_str(), wmode->c_str());
  }

  bool FinalPath(const std::string& path, std::string* target) const override {
    *target = path;
    // Opening follows the whole chain of links; the open file's own path is
    // the one to replace. (Links are not always marked as reparse points,
    // under wine for one, so every existing file is asked.)
    const std::optional<std::wstring> wpath = WidePath(path);
    if (!wpath) return false;
    HANDLE file = CreateFileW(wpath->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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
    *target = plotara::ToUtf8(final);
    return true;
  }

  // The replacement is given the target's attributes before the move, so that
  // no moment shows the file without them; a new file is always to be
  // archived.
  bool ReplaceFile(const std::string& source, const std::string& target) const override {
    constexpr DWORD kKept =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const std::optional<std::wstring> from = WidePath(source), to = WidePath(target);
    if (!from || !to) return false;
    const DWORD kept = GetFileAttributesW(to->c_str());
    const bool keep = kept != INVALID_FILE_ATTRIBUTES && (kept & kKept) != 0;
    if (keep && !SetFileAttributesW(from->c_str(), (kept & kKept) | FILE_ATTRIBUTE_ARCHIVE)) return false;
    if (MoveFileExW(from->c_str(), to->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    // A read-only source could not be removed by the caller.
    if (keep) SetFileAttributesW(from->c_str(), FILE_ATTRIBUTE_NORMAL);
    SetLastError(error);
    return false;
  }

  void RemoveFile(const std::string& path) const override {
    if (const std::optional<std::wstring> wpath = WidePath(path)) DeleteFileW(wpath->c_str());
  }

  FileError LastFileError() const override { return ErrorFor(GetLastError()); }
  FileError FileTooLargeError() const override { return ErrorFor(ERROR_FILE_TOO_LARGE); }
};

}  // namespace

const XmlPlatform& DefaultXmlPlatform() {
  static const Win32XmlPlatform platform;
  return platform;
}

}  // namespace barsetup
