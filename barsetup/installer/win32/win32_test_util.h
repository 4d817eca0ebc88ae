#pragma once
// A fresh directory with a non-ASCII name under the user's temporary
// directory for one test, removed with everything in it when the test ends;
// paths in UTF-8 Windows form, as the ports take them.
#include "installer/win32/win_api.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "common/win32/wide_text.h"

namespace barsetup {

class ScratchDir {
 public:
  ScratchDir() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    static int serial = 0;
    path_ = std::filesystem::path(temp) /
            (L"barsetup Ünï 中文 " + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  // The directory, or a path below it, without trailing backslash.
  std::string Path(std::string_view rest = {}) const {
    std::string p = plotara::ToUtf8(path_.wstring());
    if (!rest.empty()) p += "\\" + std::string(rest);
    return p;
  }

 private:
  std::filesystem::path path_;
};

inline std::filesystem::path WidePath(const std::string& utf8) { return plotara::ToWide(utf8).value(); }

inline void WriteText(const std::string& path, std::string_view text) {
  std::ofstream out(WidePath(path), std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(WidePath(path), std::ios::binary);
  if (!in) return "<missing>";
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace barsetup
