// The workspace packages of 17 to 22 on fake ports with a stand-in archiver:
// commands, icons, the archiver files, backups and failed repacks.
#include <gtest/gtest.h>

#include "installer/installer_test_util.h"

namespace barsetup {
namespace {

constexpr const char* kWorkspace = "content/workspace.xml";

TEST(PackagePass, InstallUnpacksEditsAndRepacks) {
  InstallerRun run;
  const std::string package = run.AddPackageVersion(17);
  const std::string dir = package.substr(0, package.size() - 5);
  run.Run({"/RegCdrPlugin"});

  ASSERT_EQ(run.calls.size(), 1u);
  EXPECT_EQ(run.calls[0].path, dir + "\\content\\workspace.xml");
  EXPECT_EQ(run.calls[0].version, 17);
  ASSERT_EQ(run.fake.child.commands.size(), 2u);
  EXPECT_EQ(run.fake.child.commands[0], "7z.exe x -r -y \"" + package + "\" -o\"" + dir + "\"");
  EXPECT_EQ(run.fake.child.commands[1], "7z.exe a -tzip -r \"" + package + ".new\" \"" + dir + "\\*\"");
  EXPECT_EQ(run.fake.sleep.pauses, (std::vector<int>{500, 500}));

  EXPECT_EQ(run.PackageEntry(package, kWorkspace), std::string("<config/>") + kToolbarMark);
  EXPECT_EQ(run.PackageEntry(package, "content/other.xml"), "o");
  for (auto icon : IconFiles) {
    EXPECT_EQ(run.PackageEntry(package, "content/icons/" + std::string(icon)), "icon " + std::string(icon));
    EXPECT_FALSE(run.fake.files.Exists(kProgramDir + std::string(icon)));  // consumed
  }
  EXPECT_FALSE(run.fake.files.Exists(dir));
  EXPECT_FALSE(run.fake.files.Exists(package + ".new"));
  EXPECT_EQ(StoredEntries(std::vector<unsigned char>(MemoryFileSystem::Bytes(run.fake.files.Text(package + ".bak"))))
                .front()
                .second,
            "<config/>");
  EXPECT_EQ(run.fake.files.Text("C:\\Plotara\\7z.exe"), "exe bytes");
  EXPECT_EQ(run.fake.files.Text("C:\\Plotara\\7z.dll"), "dll bytes");
  EXPECT_EQ(run.FinalText(), "Install CorelDraw X7 Success !");
}

TEST(PackagePass, RemovalAfterInstallAndASecondRun) {
  InstallerRun run;
  const std::string p17 = run.AddPackageVersion(17);
  const std::string p22 = run.AddPackageVersion(22);
  run.Run({"/RegCdrPlugin"});
  run.PutSourceFiles();
  run.Run({"/RegCdrPlugin"});  // a second install edits again; the stand-in marks twice
  EXPECT_EQ(run.PackageEntry(p22, kWorkspace), std::string("<config/>") + kToolbarMark + kToolbarMark);
  EXPECT_EQ(run.FinalText(), "Install CorelDraw X7 2020 Success !");
  run.Run({"/UnRegCdrPlugin"});  // no icons beside it now: their copies fail silently
  EXPECT_EQ(run.PackageEntry(p17, kWorkspace), std::string("<config/>") + kToolbarMark);
  EXPECT_EQ(run.calls.back().version, 22);
  EXPECT_FALSE(run.calls.back().add);
  EXPECT_EQ(run.FinalText(), "Uninstall CorelDraw X7 2020 Success !");
  // The backup still holds the package as it was before the first run.
  std::vector<unsigned char> bak;
  ASSERT_TRUE(run.fake.files.ReadFile(p22 + ".bak", &bak));
  EXPECT_EQ(StoredEntries(bak).front().second, "<config/>");
}

TEST(PackagePass, MissingResourcesAreShownAndTheRunGoesOn) {
  InstallerRun run;
  run.AddPackageVersion(18);
  run.fake.resources.items.erase({"DLL7Z", 131});
  run.Run({"/RegCdrPlugin"});
  ASSERT_EQ(run.fake.message.shown.size(), 2u);
  EXPECT_EQ(run.fake.message.shown[0].first, "The specified resource type cannot be found in the image file.");
  EXPECT_EQ(run.fake.message.shown[0].second, MessageStyle::Information);
  EXPECT_FALSE(run.fake.files.Exists("C:\\Plotara\\7z.dll"));
  EXPECT_TRUE(run.fake.files.Exists("C:\\Plotara\\7z.exe"));
  EXPECT_EQ(run.FinalText(), "Install CorelDraw X8 Success !");
}

// Without write access beside the installer, the archiver goes into a private
// temporary directory, is run by its full path, and that directory is removed.
TEST(PackagePass, ArchiverGoesToAPrivateDirectoryWhenTheProgramDirectoryIsReadOnly) {
  InstallerRun run;
  const std::string p19 = run.AddPackageVersion(19);
  const std::string p20 = run.AddPackageVersion(20);
  run.fake.files.Deny("C:\\Plotara");
  run.Run({"/RegCdrPlugin"});
  ASSERT_EQ(run.fake.child.commands.size(), 4u);
  for (const std::string& command : run.fake.child.commands) {
    EXPECT_TRUE(command.starts_with("\"C:\\Temp\\private1\\7z.exe\" ")) << command;
  }
  EXPECT_EQ(run.PackageEntry(p20, kWorkspace), std::string("<config/>") + kToolbarMark);
  EXPECT_FALSE(run.fake.files.Exists("C:\\Temp\\private1"));
  EXPECT_FALSE(run.fake.files.Exists("C:\\Temp\\private2"));
  EXPECT_EQ(run.FinalText(), "Install CorelDraw 2017 2018 Success !");
}

TEST(PackagePass, ThePlatformsOwnArchiverNeedsNoResources) {
  InstallerRun run;
  const std::string package = run.AddPackageVersion(21);
  run.fake.withResources = false;
  run.Run({"/RegCdrPlugin"});
  EXPECT_FALSE(run.fake.files.Exists("C:\\Plotara\\7z.exe"));
  EXPECT_TRUE(run.fake.child.commands[0].starts_with("7z.exe x "));
  EXPECT_EQ(run.PackageEntry(package, kWorkspace), std::string("<config/>") + kToolbarMark);
}

// A failed or killed repack leaves the package as it was and says so.
TEST(PackagePass, AFailedRepackLeavesThePackage) {
  for (Fake7z::Fault fault : {Fake7z::Fault::FailRepack, Fake7z::Fault::TruncateRepack}) {
    InstallerRun run;
    const std::string package = run.AddPackageVersion(22);
    std::vector<unsigned char> before;
    run.fake.files.ReadFile(package, &before);
    run.sevenZip.fault = fault;
    run.Run({"/RegCdrPlugin"});
    std::vector<unsigned char> after;
    run.fake.files.ReadFile(package, &after);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(run.fake.files.Exists(package + ".new"));
    EXPECT_FALSE(run.fake.files.Exists(package.substr(0, package.size() - 5)));
    EXPECT_EQ(run.FinalText(), "Install CorelDraw 2020 Success !\n\nThe workspace " + package +
                                   " could not be packed again: it was left unchanged (its backup is " + package +
                                   ".bak).");
  }
}

TEST(PackagePass, APackageThatCannotBeUnpackedIsLeftAlone) {
  InstallerRun run;
  const std::string package = run.AddPackageVersion(17);
  run.fake.files.WriteFile(package, MemoryFileSystem::Bytes("not a zip"));
  const std::string missing = "C:\\Users\\u\\Gone\\Mine.cdws";
  run.fake.files.MakeDirs("C:\\Users\\u\\Gone");
  run.fake.registry.Set(InstallerRun::Row(18).productKey, "LastCorelWorkspaceUsed", missing);
  run.Run({"/UnRegCdrPlugin"});
  EXPECT_TRUE(run.calls.empty());
  EXPECT_EQ(run.fake.child.commands.size(), 2u);  // two unpacks, no repack
  EXPECT_EQ(run.fake.files.Text(package), "not a zip");
  EXPECT_FALSE(run.fake.files.Exists(missing));  // no package is made up
  EXPECT_FALSE(run.fake.files.Exists("C:\\Users\\u\\Gone\\Mine"));
  EXPECT_EQ(run.FinalText(), "Uninstall CorelDraw X7 Success !\n\nThe workspace " + package +
                                 " could not be unpacked: it was left unchanged.\nThe workspace " + missing +
                                 " could not be unpacked: it was left unchanged.");
}

// A directory already named like the unpack directory is the user's: it is
// neither packed in nor deleted; the pass unpacks beside it.
TEST(PackagePass, AnExistingUnpackDirectoryIsLeftAlone) {
  InstallerRun run;
  const std::string package = "C:\\w\\Dws.cdws";  // base name ending in letters of ".cdws"
  run.fake.registry.Set(InstallerRun::Row(17).productKey, "LastCorelWorkspaceUsed", package);
  run.fake.files.MakeDirs("C:\\w");
  run.fake.files.WriteFile(package, StoredZip({{kWorkspace, "<config/>"}}));
  run.fake.files.Put("C:\\w\\Dws\\mine.txt", "user file");
  run.fake.files.Put("C:\\w\\Dws.barsetup\\stale.txt", "left by an interrupted run");
  run.Run({"/RegCdrPlugin"});
  EXPECT_EQ(run.fake.child.commands[0], "7z.exe x -r -y \"C:\\w\\Dws.cdws\" -o\"C:\\w\\Dws.barsetup\"");
  EXPECT_EQ(run.calls[0].path, "C:\\w\\Dws.barsetup\\content\\workspace.xml");
  EXPECT_EQ(run.fake.files.Text("C:\\w\\Dws\\mine.txt"), "user file");
  EXPECT_EQ(run.PackageEntry(package, "mine.txt"), "<no entry>");
  EXPECT_EQ(run.PackageEntry(package, "stale.txt"), "<no entry>");
  EXPECT_EQ(run.PackageEntry(package, kWorkspace), std::string("<config/>") + kToolbarMark);
  EXPECT_FALSE(run.fake.files.Exists("C:\\w\\Dws.barsetup"));
}

// An installer killed while unpacking leaves its unpack directory; a later
// run knows it for its own, removes it and unpacks there again.
TEST(PackagePass, TheLeftoverOfAKilledRunIsRemoved) {
  InstallerRun run;
  const std::string package = run.AddPackageVersion(19);
  const std::string workspaceDir = "C:\\Users\\u\\Corel19\\Workspace";
  const std::string dir = workspaceDir + "\\Mine";
  struct Killed {};
  run.fake.child.script = [&run](const std::string& command) -> ChildRun {
    run.sevenZip.Run(command);
    throw Killed{};
  };
  EXPECT_THROW(run.Run({"/RegCdrPlugin"}), Killed);
  ASSERT_TRUE(run.fake.files.Exists(dir + "\\content\\workspace.xml"));

  run.fake.child.script = [&run](const std::string& command) { return run.sevenZip.Run(command); };
  run.PutSourceFiles();
  run.Run({"/RegCdrPlugin"});
  EXPECT_EQ(run.fake.child.commands.back(), "7z.exe a -tzip -r \"" + package + ".new\" \"" + dir + "\\*\"");
  EXPECT_EQ(run.PackageEntry(package, kWorkspace), std::string("<config/>") + kToolbarMark);
  EXPECT_EQ(run.fake.files.Below(workspaceDir), (std::vector<std::string>{package, package + ".bak"}));
  EXPECT_EQ(run.FinalText(), "Install CorelDraw 2017 Success !");
}

TEST(PackagePass, SourceIconsAreDeletedEvenWithoutAnyVersion) {
  InstallerRun run;
  run.Run({"/UnRegCdrPlugin"});
  for (auto icon : IconFiles) EXPECT_FALSE(run.fake.files.Exists(kProgramDir + std::string(icon)));
  EXPECT_TRUE(run.fake.files.Exists(kProgramDir + std::string(MacroFilesStandard[0])));
}

}  // namespace
}  // namespace barsetup

namespace barsetup {
namespace {

// An edit that fails leaves the package untouched (no repack with only the
// icons) and the directory workspace as it was; both are named.
TEST(PackagePass, AFailedEditIsReportedAndNothingIsRepacked) {
  InstallerRun run;
  const std::string package = run.AddPackageVersion(17, "<refuse/>");
  const std::string xml = run.AddDirectoryVersion(12, "<refuse/>");
  std::vector<unsigned char> before;
  run.fake.files.ReadFile(package, &before);
  run.Run({"/RegCdrPlugin"});
  std::vector<unsigned char> after;
  run.fake.files.ReadFile(package, &after);
  EXPECT_EQ(after, before);
  EXPECT_EQ(run.fake.child.commands.size(), 1u);
  EXPECT_EQ(run.FinalText(), "Install CorelDraw 12 X7 Success !\n\nThe toolbar could not be changed in " + xml +
                                 " (refused): it was left unchanged.\nThe toolbar could not be changed in " + package +
                                 " (refused): it was left unchanged.");
}

}  // namespace
}  // namespace barsetup
