#pragma once
// A fresh wine-prefix-like directory for one test: dosdevices/c: links to
// drive_c; removed with everything in it when the test ends.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace barsetup {

class ScratchPrefix {
 public:
  ScratchPrefix() {
    std::string pattern = (std::filesystem::temp_directory_path() / "barsetup_test_XXXXXX").string();
    root_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    std::filesystem::create_directories(root_ + "/drive_c");
    std::filesystem::create_directories(root_ + "/dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", root_ + "/dosdevices/c:");
  }
  ScratchPrefix(const ScratchPrefix&) = delete;
  ScratchPrefix& operator=(const ScratchPrefix&) = delete;
  ~ScratchPrefix() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  const std::string& Root() const { return root_; }
  std::string C(std::string_view rest) const { return root_ + "/drive_c/" + std::string(rest); }

 private:
  std::string root_;
};

inline void WriteText(const std::string& path, std::string_view text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline bool PathExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace barsetup
