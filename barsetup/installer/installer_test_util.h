#pragma once
// A whole installer run on fake ports: the program directory with its
// source files, the CorelDRAW keys of chosen versions, and toolbar operations
// that record their calls and mark the XML they are handed.
#include <string>
#include <vector>

#include "installer/barsetup_app.h"
#include "installer/fake_7z_test_util.h"
#include "installer/fake_ports_test_util.h"
#include "installer/icon_files.h"
#include "installer/macro_pass.h"
#include "installer/version_table.h"

namespace barsetup {

inline constexpr const char* kProgramDir = "C:\\Plotara\\";
inline constexpr const char* kToolbarMark = "<toolbar/>";

struct ToolbarCall {
  bool add;
  std::string path;
  int version;
  bool q5;
  std::string name;
};

class InstallerRun {
 public:
  InstallerRun() : sevenZip(fake.files) {
    fake.child.script = [this](const std::string& command) { return sevenZip.Run(command); };
    fake.resources.items[{"DLL7Z", 131}] = "dll bytes";
    fake.resources.items[{"EXE7Z", 132}] = "exe bytes";
    fake.files.MakeDirs("C:\\Plotara");
    PutSourceFiles();
  }

  void PutSourceFiles() {
    for (auto name : IconFiles) fake.files.Put(kProgramDir + std::string(name), "icon " + std::string(name));
    for (auto name : MacroFilesStandard) fake.files.Put(kProgramDir + std::string(name), "gms " + std::string(name));
    for (auto name : MacroFilesQ5) fake.files.Put(kProgramDir + std::string(name), "gms " + std::string(name));
  }

  static const VersionRow& Row(int version) { return VersionTable()[static_cast<size_t>(version - 12)]; }

  // A version with a directory workspace (12 to 16): the value names
  // C:\Users\u\Corel<version>\Workspace\Mine.xml, whose directory holds the configuration.
  std::string AddDirectoryVersion(int version, const std::string& xmlText = "<config/>") {
    const std::string dir = "C:\\Users\\u\\Corel" + std::to_string(version) + "\\Workspace\\Mine";
    fake.registry.Set(Row(version).productKey, Row(version).workspaceValue, dir + ".xml");
    fake.files.Put(dir + "\\DRAWUIConfig.xml", xmlText);
    SetEmbedDir(version);
    return dir + "\\DRAWUIConfig.xml";
  }

  // A version with a package (17 to 22) holding the workspace and one more entry.
  std::string AddPackageVersion(int version, const std::string& xmlText = "<config/>") {
    const std::string package = "C:\\Users\\u\\Corel" + std::to_string(version) + "\\Workspace\\Mine.cdws";
    fake.registry.Set(Row(version).productKey, Row(version).workspaceValue, package);
    fake.files.MakeDirs(package.substr(0, package.rfind('\\')));
    fake.files.WriteFile(package, StoredZip({{"content/workspace.xml", xmlText}, {"content/other.xml", "o"}}));
    SetEmbedDir(version);
    return package;
  }

  void SetEmbedDir(int version) { fake.registry.Set(Row(version).directoriesKey, "EmbedObjDir", EmbedDir(version)); }
  static std::string EmbedDir(int version) { return "C:\\Program Files\\Corel" + std::to_string(version) + "\\Draw\\"; }

  std::string PackageEntry(const std::string& package, const std::string& name) {
    std::vector<unsigned char> bytes;
    if (!fake.files.ReadFile(package, &bytes)) return "<no package>";
    for (const auto& [entry, content] : StoredEntries(bytes)) {
      if (entry == name) return content;
    }
    return "<no entry>";
  }

  int Run(const std::vector<std::string>& args) {
    ToolbarOperations ops;
    ops.add = [this](const std::string& path, int version, bool q5, const std::string& name) {
      calls.push_back({true, path, version, q5, name});
      std::string text = fake.files.Text(path);
      if (text == "<refuse/>") return std::string("refused");
      if (text != "<missing>") fake.files.Put(path, text + kToolbarMark);
      return std::string();
    };
    ops.remove = [this](const std::string& path, int version, bool q5, const std::string& name) {
      calls.push_back({false, path, version, q5, name});
      std::string text = fake.files.Text(path);
      const size_t at = text.find(kToolbarMark);
      if (at != std::string::npos) fake.files.Put(path, text.erase(at, std::string(kToolbarMark).size()));
      return std::string();
    };
    CBarsetupApp app(fake.Ports(), kProgramDir, ops);
    return app.InitInstance(args);
  }

  // The text of the one final message; empty when none was shown.
  std::string FinalText() const {
    std::string text;
    for (const auto& [shown, style] : fake.message.shown) {
      if (style == MessageStyle::Result) text = shown;
    }
    return text;
  }

  FakePorts fake;
  Fake7z sevenZip;
  std::vector<ToolbarCall> calls;
};

}  // namespace barsetup
