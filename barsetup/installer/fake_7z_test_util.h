#pragma once
// A stand-in for the 7-Zip console program on the in-memory file system: it
// unpacks and packs the stored zips of stored_zip_test_util.h.
#include <string>
#include <vector>

#include "installer/fake_ports_test_util.h"
#include "installer/stored_zip_test_util.h"

namespace barsetup {

class Fake7z {
 public:
  enum class Fault { None, FailRepack, TruncateRepack };

  explicit Fake7z(MemoryFileSystem& files) : files_(files) {}
  Fault fault = Fault::None;

  ChildRun Run(const std::string& command) {
    std::vector<std::string> quoted;
    for (size_t open = command.find('"'); open != std::string::npos; open = command.find('"', open + 1)) {
      const size_t close = command.find('"', open + 1);
      quoted.push_back(command.substr(open + 1, close - open - 1));
      open = close;
    }
    if (!command.starts_with("\"")) quoted.insert(quoted.begin(), "7z.exe");
    if (command.find(" x -r -y ") != std::string::npos) return Unpack(quoted[1], quoted[2]);
    if (command.find(" a -tzip -r ") != std::string::npos) return Pack(quoted[1], quoted[2]);
    return ChildRun{true, true, 7};
  }

 private:
  ChildRun Unpack(const std::string& package, const std::string& dir) {
    std::vector<unsigned char> bytes;
    if (!files_.ReadFile(package, &bytes)) return ChildRun{true, true, 2};
    for (auto [name, content] : StoredEntries(bytes)) {
      for (char& c : name) c = c == '/' ? '\\' : c;
      files_.Put(dir + "\\" + name, content);
    }
    return ChildRun{true, true, 0};
  }

  ChildRun Pack(const std::string& package, const std::string& pattern) {
    const std::string dir = pattern.substr(0, pattern.size() - 2);  // drops "\*"
    std::vector<unsigned char> old;
    std::vector<std::pair<std::string, std::string>> entries;
    if (files_.ReadFile(package, &old)) entries = StoredEntries(old);
    for (const std::string& path : files_.Below(dir)) {
      if (files_.IsDir(path)) continue;
      std::string name = path.substr(dir.size() + 1);
      for (char& c : name) c = c == '\\' ? '/' : c;
      std::erase_if(entries, [&](const auto& e) { return FoldPath(e.first) == FoldPath(name); });
      entries.emplace_back(name, files_.Text(path));
    }
    std::vector<unsigned char> zip = StoredZip(entries);
    if (fault == Fault::FailRepack) return ChildRun{true, true, 2};
    if (fault == Fault::TruncateRepack) {
      zip.resize(zip.size() / 2);
      files_.WriteFile(package, zip);
      return ChildRun{true, false, 0};
    }
    files_.WriteFile(package, zip);
    return ChildRun{true, true, 0};
  }

  MemoryFileSystem& files_;
};

}  // namespace barsetup
