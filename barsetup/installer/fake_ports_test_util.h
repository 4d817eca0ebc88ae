#pragma once
// In-memory stand-ins for the installer's ports, for tests on every platform.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "installer/installer_ports.h"

namespace barsetup {

inline std::string FoldPath(const std::string& path) {
  std::string key = path;
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

// Key paths and value names compare without case, as in the registry.
class MapRegistry : public RegistryPort {
 public:
  void Set(const std::string& key, const std::string& name, const std::string& value) {
    values_[FoldPath(key) + "|" + FoldPath(name)] = value;
  }
  bool ReadString(const std::string& key, const std::string& name, std::string* value) override {
    ++reads;
    auto it = values_.find(FoldPath(key) + "|" + FoldPath(name));
    if (it == values_.end()) return false;
    *value = it->second;
    return true;
  }
  int reads = 0;

 private:
  std::map<std::string, std::string> values_;
};

// Files and directories by path, backslash separated, case ignored. Drive
// "C:" exists. Writes below a denied directory fail.
class MemoryFileSystem : public FileSystemPort {
 public:
  MemoryFileSystem() { nodes_["c:"] = Node{true, "C:", {}}; }

  void Deny(const std::string& dir) { denied_.insert(FoldPath(dir)); }
  void MakeDirs(const std::string& path) {
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
      MakeDir(path.substr(0, at));
    }
    MakeDir(path);
  }
  void Put(const std::string& path, const std::string& text) {
    MakeDirs(Parent(path));
    nodes_[FoldPath(path)] = Node{false, path, Bytes(text)};
  }
  std::string Text(const std::string& path) const {
    auto it = nodes_.find(FoldPath(path));
    return it == nodes_.end() ? std::string("<missing>")
                              : std::string(it->second.bytes.begin(), it->second.bytes.end());
  }
  bool IsDir(const std::string& path) const {
    auto it = nodes_.find(FoldPath(path));
    return it != nodes_.end() && it->second.dir;
  }
  size_t Count() const { return nodes_.size(); }
  static std::vector<unsigned char> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

  bool Exists(const std::string& path) override { return nodes_.count(FoldPath(path)) != 0; }
  bool CreateDirectory(const std::string& path) override {
    if (Exists(path) || !IsDir(Parent(path)) || Denied(path)) return false;
    nodes_[FoldPath(path)] = Node{true, path, {}};
    return true;
  }
  bool CopyFile(const std::string& source, const std::string& target) override {
    auto it = nodes_.find(FoldPath(source));
    if (it == nodes_.end() || it->second.dir || !WritableFile(target)) return false;
    nodes_[FoldPath(target)] = Node{false, target, it->second.bytes};
    return true;
  }
  bool MoveFile(const std::string& source, const std::string& target) override {
    if (!CopyFile(source, target)) return false;
    nodes_.erase(FoldPath(source));
    return true;
  }
  bool DeleteFile(const std::string& path) override {
    auto it = nodes_.find(FoldPath(path));
    if (it == nodes_.end() || it->second.dir || Denied(path)) return false;
    nodes_.erase(it);
    return true;
  }
  bool RemoveDirectory(const std::string& path) override {
    auto it = nodes_.find(FoldPath(path));
    if (it == nodes_.end() || !it->second.dir || Denied(path)) return false;
    std::vector<DirEntry> children;
    ListDirectory(path, &children);
    if (!children.empty()) return false;
    nodes_.erase(FoldPath(path));
    return true;
  }
  bool ListDirectory(const std::string& path, std::vector<DirEntry>* entries) override {
    entries->clear();
    if (!IsDir(path)) return false;
    const std::string prefix = FoldPath(path) + "\\";
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.starts_with(prefix); ++it) {
      if (it->first.find('\\', prefix.size()) != std::string::npos) continue;
      const std::string& shown = it->second.shownPath;
      entries->push_back(DirEntry{shown.substr(shown.rfind('\\') + 1),
                                  it->second.dir ? DirEntry::Kind::Directory : DirEntry::Kind::File});
    }
    return true;
  }
  bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) override {
    if (!WritableFile(path)) return false;
    nodes_[FoldPath(path)] = Node{false, path, bytes};
    return true;
  }
  bool ReadFile(const std::string& path, std::vector<unsigned char>* bytes) override {
    auto it = nodes_.find(FoldPath(path));
    if (it == nodes_.end() || it->second.dir) return false;
    *bytes = it->second.bytes;
    return true;
  }
  bool CreatePrivateTempDirectory(std::string* path) override {
    MakeDirs("C:\\Temp");
    *path = "C:\\Temp\\private" + std::to_string(++temps_);
    return CreateDirectory(*path);
  }

  // Every path below dir (files and directories), as shown.
  std::vector<std::string> Below(const std::string& dir) const {
    std::vector<std::string> out;
    const std::string prefix = FoldPath(dir) + "\\";
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.starts_with(prefix); ++it) {
      out.push_back(it->second.shownPath);
    }
    return out;
  }

 private:
  struct Node {
    bool dir = false;
    std::string shownPath;
    std::vector<unsigned char> bytes;
  };
  static std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }
  void MakeDir(const std::string& path) {
    if (!Exists(path)) nodes_[FoldPath(path)] = Node{true, path, {}};
  }
  bool Denied(const std::string& path) const {
    for (const std::string& d : denied_) {
      if (FoldPath(path).starts_with(d + "\\")) return true;
    }
    return false;
  }
  bool WritableFile(const std::string& path) { return IsDir(Parent(path)) && !IsDir(path) && !Denied(path); }

  std::map<std::string, Node> nodes_;
  std::set<std::string> denied_;
  int temps_ = 0;
};

// Records every command line and answers through a script (by default: the
// process ran and exited with 0, doing nothing).
class ScriptedChild : public ChildProcessPort {
 public:
  std::function<ChildRun(const std::string&)> script;
  std::vector<std::string> commands;
  ChildRun Run(const std::string& commandLine) override {
    commands.push_back(commandLine);
    if (script) return script(commandLine);
    return ChildRun{true, true, 0};
  }
};

// answers: the replies to AskRetry in turn (true = Retry); Cancel once they
// are used up.
class RecordingMessage : public MessagePort {
 public:
  std::vector<std::pair<std::string, MessageStyle>> shown;
  std::vector<std::string> asked;
  std::vector<bool> answers;
  void Show(const std::string& text, MessageStyle style) override { shown.emplace_back(text, style); }
  bool AskRetry(const std::string& text) override {
    asked.push_back(text);
    return asked.size() <= answers.size() && answers[asked.size() - 1];
  }
};

// A process list that shows the named program for the first `checks` looks.
class ScriptedProcesses : public ProcessListPort {
 public:
  std::string running;
  int checks = 0;
  bool IsRunning(const std::string& imageName) override { return imageName == running && checks-- > 0; }
};

class RecordingSleep : public SleepPort {
 public:
  std::vector<int> pauses;
  void Sleep(int milliseconds) override { pauses.push_back(milliseconds); }
};

class MapResources : public ResourcePort {
 public:
  std::map<std::pair<std::string, int>, std::string> items;
  bool Load(const std::string& type, int id, std::vector<unsigned char>* bytes, std::string* errorText) override {
    auto it = items.find({type, id});
    if (it == items.end()) {
      *errorText = "The specified resource type cannot be found in the image file.";
      return false;
    }
    bytes->assign(it->second.begin(), it->second.end());
    return true;
  }
};

// The ports of one test run, each a fake.
struct FakePorts {
  MapRegistry registry;
  MemoryFileSystem files;
  MapResources resources;
  ScriptedChild child;
  RecordingMessage message;
  RecordingSleep sleep;
  ScriptedProcesses processes;
  bool withResources = true;
  InstallerPorts Ports() {
    return InstallerPorts{registry, files, withResources ? &resources : nullptr, child, message, sleep, &processes};
  }
};

}  // namespace barsetup
