// Whole installer runs on the POSIX adapters: a wine prefix directory with
// its user.reg, real .cdws packages made and unpacked by p7zip's 7z, and
// toolbar operations that mark the XML they are handed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "installer/barsetup_app.h"
#include "installer/fake_ports_test_util.h"
#include "installer/icon_files.h"
#include "installer/macro_pass.h"
#include "installer/posix/posix_child_process.h"
#include "installer/posix/posix_file_system.h"
#include "installer/posix/posix_test_util.h"
#include "installer/posix/wine_registry.h"

namespace barsetup {
namespace {

constexpr const char* kMark = "<toolbar/>";

// Registry text of one string value, escaped as wine writes it.
std::string RegValue(const std::string& name, const std::string& value) {
  std::string escaped;
  for (char c : value) {
    if (c == '\\' || c == '"') escaped.push_back('\\');
    escaped.push_back(c);
  }
  return "\"" + name + "\"=\"" + escaped + "\"\n";
}

std::string RegSection(const std::string& key) {
  std::string escaped;
  for (char c : key) {
    if (c == '\\') escaped.push_back('\\');
    escaped.push_back(c);
  }
  return "\n[" + escaped + "] 1700000000\n#time=1d9a0b1c2d3e4f5\n";
}

int Shell(const std::string& command) { return std::system(command.c_str()); }

class PosixInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Shell("command -v 7z >/dev/null"), 0) << "p7zip's 7z is needed on the PATH";
    programDir_ = scratch_.Root() + "/program/";
    PutSourceFiles();
    userReg_ = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";
  }

  void PutSourceFiles() {
    for (auto icon : IconFiles) WriteText(programDir_ + std::string(icon), "icon");
    for (auto gms : MacroFilesStandard) WriteText(programDir_ + std::string(gms), "gms " + std::string(gms));
  }

  // Version 12 to 16: the workspace directory; the registry spells it in
  // other case than the disk.
  std::string AddDirectoryVersion(int version) {
    const std::string dir = "users/u/Corel" + std::to_string(version) + "/Workspace/Mine";
    WriteText(scratch_.C(dir + "/DRAWUIConfig.xml"), "<config/>");
    const std::string product =
        "Software\\Corel\\CorelDRAW\\" + std::to_string(version) + ".0\\" + (version <= 14 ? "CorelDRAW" : "Draw");
    userReg_ += RegSection(product) + RegValue("LastWorkspaceUsed", "C:\\Users\\U\\Corel" + std::to_string(version) +
                                                                        "\\Workspace\\Mine.xml");
    AddEmbedDir(product, version);
    return scratch_.C(dir + "/DRAWUIConfig.xml");
  }

  // Version 17 to 22: a package made by 7z.
  std::string AddPackageVersion(int version) {
    const std::string dir = "users/u/Corel" + std::to_string(version) + "/Workspace";
    const std::string source = scratch_.Root() + "/source" + std::to_string(version);
    WriteText(source + "/content/workspace.xml", "<config v=\"" + std::to_string(version) + "\"/>");
    WriteText(source + "/content/other.xml", "other");
    std::filesystem::create_directories(scratch_.C(dir));
    const std::string package = scratch_.C(dir + "/Mine.cdws");
    EXPECT_EQ(Shell("cd '" + source + "' && 7z a -tzip '" + package + "' content >/dev/null"), 0);
    const std::string product = "Software\\Corel\\CorelDRAW\\" + std::to_string(version) + ".0\\Draw";
    userReg_ +=
        RegSection(product) +
        RegValue("LastCorelWorkspaceUsed", "C:\\users\\u\\Corel" + std::to_string(version) + "\\Workspace\\Mine.cdws");
    AddEmbedDir(product, version);
    return package;
  }

  void AddEmbedDir(const std::string& product, int version) {
    std::filesystem::create_directories(scratch_.C("Corel/" + std::to_string(version)));
    userReg_ += RegSection(product + "\\Application Preferences\\Directories") +
                RegValue("EmbedObjDir", "C:\\Corel\\" + std::to_string(version) + "\\");
  }

  std::string Gms(int version, std::string_view name) const {
    return scratch_.C("Corel/" + std::to_string(version) + "/GMS/" + std::string(name));
  }

  // The text of one entry of a package, unpacked by 7z.
  std::string Entry(const std::string& package, const std::string& name) {
    const std::string out = scratch_.Root() + "/check";
    std::filesystem::remove_all(out);
    if (Shell("7z x -y '" + package + "' -o'" + out + "' >/dev/null") != 0) return "<not a package>";
    return ReadText(out + "/" + name);
  }

  std::string Run(const std::vector<std::string>& args) {
    WriteText(scratch_.Root() + "/user.reg", userReg_);
    WinePrefix prefix(scratch_.Root());
    WineRegistry registry;
    EXPECT_TRUE(registry.LoadFile(prefix.UserRegistryFile()));
    PosixFileSystem files(prefix);
    PosixChildProcess child(prefix);
    RecordingMessage message;
    RecordingSleep sleep;
    ToolbarOperations ops;
    ops.add = [&](const std::string& path, int version, bool, const std::string&) {
      std::string native;
      EXPECT_TRUE(prefix.ToNative(path, &native));
      versions_.push_back(version);
      const std::string text = ReadText(native);
      if (text != "<missing>") WriteText(native, text + kMark);
      return std::string();
    };
    ops.remove = [&](const std::string& path, int version, bool, const std::string&) {
      std::string native;
      EXPECT_TRUE(prefix.ToNative(path, &native));
      versions_.push_back(version);
      std::string text = ReadText(native);
      const size_t at = text.find(kMark);
      if (at != std::string::npos) WriteText(native, text.erase(at, std::string(kMark).size()));
      return std::string();
    };
    CBarsetupApp app(InstallerPorts{registry, files, nullptr, child, message, sleep}, programDir_, ops);
    EXPECT_EQ(app.InitInstance(args), 0);
    EXPECT_EQ(message.shown.size(), 1u);
    return message.shown.empty() ? std::string() : message.shown.back().first;
  }

  ScratchPrefix scratch_;
  std::string programDir_;
  std::string userReg_;
  std::vector<int> versions_;
};

TEST_F(PosixInstall, InstallSecondRunAndRemoval) {
  const std::string xml12 = AddDirectoryVersion(12);
  const std::string xml16 = AddDirectoryVersion(16);
  const std::string p17 = AddPackageVersion(17);
  const std::string p22 = AddPackageVersion(22);
  std::filesystem::create_directories(scratch_.C("Corel/12/GMS"));
  const std::string original22 = ReadText(p22);

  EXPECT_EQ(Run({"/RegCdrPlugin"}), "Install CorelDraw 12 X6 X7 2020 Success !");
  EXPECT_EQ(versions_, (std::vector<int>{12, 16, 17, 22}));
  EXPECT_EQ(ReadText(xml12), std::string("<config/>") + kMark);
  EXPECT_EQ(ReadText(xml16 + ".bak"), "<config/>");
  EXPECT_EQ(Entry(p17, "content/workspace.xml"), std::string("<config v=\"17\"/>") + kMark);
  EXPECT_EQ(Entry(p22, "content/other.xml"), "other");
  for (auto icon : IconFiles) {
    EXPECT_EQ(Entry(p22, "content/icons/" + std::string(icon)), "icon");
    EXPECT_FALSE(PathExists(programDir_ + std::string(icon)));
  }
  EXPECT_EQ(ReadText(p22 + ".bak"), original22);
  EXPECT_FALSE(PathExists(scratch_.C("users/u/Corel22/Workspace/Mine")));
  EXPECT_FALSE(PathExists(p22 + ".new"));
  for (auto gms : MacroFilesStandard) {
    EXPECT_EQ(ReadText(Gms(12, gms)), "gms " + std::string(gms));
    EXPECT_EQ(ReadText(Gms(22, gms)), "gms " + std::string(gms));
  }

  PutSourceFiles();
  EXPECT_EQ(Run({"-RegCdrPluginT"}), "Install CorelDraw 12 X6 X7 2020 Success !");
  EXPECT_EQ(ReadText(p22 + ".bak"), original22);
  EXPECT_EQ(ReadText(xml16 + ".bak"), "<config/>");

  EXPECT_EQ(Run({"/UnRegCdrPlugin"}), "Uninstall CorelDraw 12 X6 X7 2020 Success !");
  EXPECT_EQ(ReadText(xml12), std::string("<config/>") + kMark);  // the stand-in removes one mark a run
  EXPECT_EQ(Entry(p22, "content/workspace.xml"), std::string("<config v=\"22\"/>") + kMark);
  for (auto gms : MacroFilesStandard) EXPECT_FALSE(PathExists(Gms(16, gms)));
}

TEST_F(PosixInstall, RemovalWithoutAGmsDirectory) {
  AddPackageVersion(20);
  EXPECT_EQ(Run({"/UnRegCdrPlugin"}), "Uninstall CorelDraw 2018 Success !");
  EXPECT_TRUE(std::filesystem::is_directory(scratch_.C("Corel/20/GMS")));
  EXPECT_TRUE(std::filesystem::is_empty(scratch_.C("Corel/20/GMS")));
}

TEST_F(PosixInstall, NoSwitchTouchesNothing) {
  const std::string p17 = AddPackageVersion(17);
  const std::string before = ReadText(p17);
  WriteText(scratch_.Root() + "/user.reg", userReg_);
  WinePrefix prefix(scratch_.Root());
  WineRegistry registry;
  PosixFileSystem files(prefix);
  PosixChildProcess child(prefix);
  RecordingMessage message;
  RecordingSleep sleep;
  CBarsetupApp app(InstallerPorts{registry, files, nullptr, child, message, sleep}, programDir_, {});
  EXPECT_EQ(app.InitInstance({"/regcdrplugin"}), 0);
  EXPECT_TRUE(message.shown.empty());
  EXPECT_EQ(ReadText(p17), before);
  EXPECT_TRUE(PathExists(programDir_ + std::string(IconFiles[0])));
}

// The archiver is killed half way through writing the repacked package, or
// fails at once: the package stays as it was and the message says so.
TEST_F(PosixInstall, AKilledOrFailedRepackLeavesThePackage) {
  const std::string p18 = AddPackageVersion(18);
  const std::string xml14 = AddDirectoryVersion(14);
  const std::string before = ReadText(p18);
  const std::string bin = scratch_.Root() + "/bin";
  WriteText(bin + "/7z",
            "#!/bin/sh\n"
            "real=$(PATH=\"$REAL_PATH\" command -v 7z)\n"
            "if [ \"$1\" = a ]; then\n"
            "  if [ \"$FAULT\" = fail ]; then exit 2; fi\n"
            "  \"$real\" \"$@\" >/dev/null\n"
            "  size=$(stat -c %s \"$4\"); truncate -s $((size / 2)) \"$4\"\n"
            "  kill -9 $$\n"
            "fi\n"
            "exec \"$real\" \"$@\"\n");
  chmod((bin + "/7z").c_str(), 0755);
  const std::string path = std::getenv("PATH");
  setenv("REAL_PATH", path.c_str(), 1);
  setenv("PATH", (bin + ":" + path).c_str(), 1);
  for (const char* fault : {"kill", "fail"}) {
    setenv("FAULT", fault, 1);
    EXPECT_EQ(Run({"/RegCdrPlugin"}),
              "Install CorelDraw X4 X8 Success !\n\nThe workspace C:\\users\\u\\Corel18\\"
              "Workspace\\Mine.cdws could not be packed again: it was left unchanged (its "
              "backup is C:\\users\\u\\Corel18\\Workspace\\Mine.cdws.bak).")
        << fault;
    EXPECT_EQ(ReadText(p18), before) << fault;
    EXPECT_EQ(ReadText(p18 + ".bak"), before) << fault;
    EXPECT_FALSE(PathExists(p18 + ".new")) << fault;
    EXPECT_FALSE(PathExists(scratch_.C("users/u/Corel18/Workspace/Mine"))) << fault;
  }
  EXPECT_EQ(ReadText(xml14), std::string("<config/>") + kMark + kMark);  // the other version goes on
  setenv("PATH", path.c_str(), 1);
  unsetenv("FAULT");
}

}  // namespace
}  // namespace barsetup
