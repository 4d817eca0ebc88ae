// Private-profile files through the operating system. Paths, names and values
// are UTF-8 inside the program; they are converted to UTF-16 here and passed
// to the wide-character profile functions, so a work directory outside the
// ANSI code page still works. Values are ASCII numbers, for which the wide and
// the ANSI functions behave alike (a capacity counts UTF-16 units here).
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/profile_port.h"
#include "common/win32/wide_text.h"

namespace plotsend {
namespace {

using plotara::ToUtf8;
using plotara::ToWide;

// Larger buffers than this are never needed for settings; it bounds the
// allocation for an absurd capacity.
constexpr size_t kMaxCapacity = size_t{1} << 20;

class WinProfile final : public ProfilePort {
 public:
  std::string Read(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& fallback, size_t capacity) override {
    try {
      return ReadValue(file, section, key, fallback, capacity);
    } catch (...) {
      return {};
    }
  }

  bool Write(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) override {
    try {
      return WriteValue(file, section, key, value);
    } catch (...) {
      return false;
    }
  }

 private:
  static std::string ReadValue(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& fallback, size_t capacity) {
    if (capacity == 0) return {};
    const std::optional<std::wstring> wfile = ToWide(file), wsection = ToWide(section), wkey = ToWide(key),
                                      wfallback = ToWide(fallback);
    if (!wfile || !wsection || !wkey || !wfallback) {
      // Names that are not UTF-8 cannot name anything: behave like a missing key.
      std::string f = fallback;
      while (!f.empty() && f.back() == ' ') f.pop_back();
      return f.substr(0, capacity - 1);
    }
    std::wstring buffer(std::min(capacity, kMaxCapacity), L'\0');
    const DWORD got = GetPrivateProfileStringW(wsection->c_str(), wkey->c_str(), wfallback->c_str(), buffer.data(),
                                               static_cast<DWORD>(buffer.size()), wfile->c_str());
    return ToUtf8({buffer.data(), std::min<size_t>(got, buffer.size() - 1)});
  }

  static bool WriteValue(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& value) {
    if (!ProfileEntryWritable(section, key, value)) return false;
    const std::optional<std::wstring> wfile = ToWide(file), wsection = ToWide(section), wkey = ToWide(key),
                                      wvalue = ToWide(value);
    if (!wfile || !wsection || !wkey || !wvalue) return false;
    return WritePrivateProfileStringW(wsection->c_str(), wkey->c_str(), wvalue->c_str(), wfile->c_str()) != FALSE;
  }
};

}  // namespace

std::unique_ptr<ProfilePort> MakeProfilePort() { return std::make_unique<WinProfile>(); }

}  // namespace plotsend
