// Whole runs of the installer on fake ports: the switches, the final message,
// the directory workspaces of 12 to 16.
#include <gtest/gtest.h>

#include "installer/installer_test_util.h"

namespace barsetup {
namespace {

TEST(InstallerFlow, NoSwitchOrAWrongCaseDoesNothing) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"/regcdrplugin"}, {"/UNREGCDRPLUGIN", "/Q5"}, {"RegCdrPlugin"}}) {
    InstallerRun run;
    run.AddDirectoryVersion(12);
    run.AddPackageVersion(17);
    const size_t nodes = run.fake.files.Count();
    EXPECT_EQ(run.Run(args), 0);
    EXPECT_EQ(run.fake.registry.reads, 0);
    EXPECT_TRUE(run.fake.message.shown.empty());
    EXPECT_TRUE(run.fake.child.commands.empty());
    EXPECT_EQ(run.fake.files.Count(), nodes);
    EXPECT_TRUE(run.calls.empty());
  }
}

// While CorelDRAW runs the user is asked to close it; Retry looks again,
// Cancel ends the run with nothing changed.
TEST(InstallerFlow, ARunningCorelDrawIsClosedFirstOrNothingIsChanged) {
  struct Case {
    std::vector<std::string> args;
    int runningLooks;  // looks that still see CorelDRAW running
    std::vector<bool> answers;
    size_t questions;
    std::string finalText;
  };
  const Case cases[] = {
      {{"/RegCdrPlugin"}, 0, {}, 0, "Install CorelDraw X3 Success !"},
      {{"/RegCdrPlugin"}, 2, {true, true}, 2, "Install CorelDraw X3 Success !"},
      {{"/RegCdrPlugin"}, 2, {true, false}, 2, "Install cancelled while CorelDRAW is running: nothing was changed."},
      {{"/UnRegCdrPlugin"}, 1, {false}, 1, "Uninstall cancelled while CorelDRAW is running: nothing was changed."},
      {{}, 1, {}, 0, ""},
  };
  for (const Case& c : cases) {
    InstallerRun run;
    const std::string xml = run.AddDirectoryVersion(13);
    run.fake.processes.running = "CorelDRW.exe";
    run.fake.processes.checks = c.runningLooks;
    run.fake.message.answers = c.answers;
    const size_t nodes = run.fake.files.Count();
    run.Run(c.args);
    ASSERT_EQ(run.fake.message.asked.size(), c.questions) << c.finalText;
    for (const std::string& question : run.fake.message.asked) {
      EXPECT_EQ(question,
                "CorelDRAW is running. It saves its workspace when it closes, which would undo the "
                "toolbar change. Close CorelDRAW, then choose Retry; Cancel changes nothing.");
    }
    EXPECT_EQ(run.FinalText(), c.finalText);
    if (c.finalText.find("cancelled") != std::string::npos) {
      EXPECT_EQ(run.fake.registry.reads, 0);
      EXPECT_TRUE(run.calls.empty());
      EXPECT_EQ(run.fake.files.Count(), nodes);  // the icons too are still there
      EXPECT_EQ(run.fake.files.Text(xml), "<config/>");
    }
  }
}

TEST(InstallerFlow, InstallWinsOverRemoval) {
  InstallerRun run;
  const std::string xml = run.AddDirectoryVersion(13);
  EXPECT_EQ(run.Run({"/UnRegCdrPlugin", "/RegCdrPlugin"}), 0);
  ASSERT_EQ(run.calls.size(), 1u);
  EXPECT_TRUE(run.calls[0].add);
  EXPECT_EQ(run.FinalText(), "Install CorelDraw X3 Success !");
  EXPECT_EQ(run.fake.files.Text(xml), std::string("<config/>") + kToolbarMark);
}

TEST(InstallerFlow, FinalMessageTexts) {
  {
    InstallerRun run;
    run.Run({"/RegCdrPlugin"});
    EXPECT_EQ(run.FinalText(), "Please install CorelDraw12 or X3 or X4 or X5 or X6 or X7 or X8 reinstall it!");
    EXPECT_EQ(run.fake.message.shown.size(), 1u);
  }
  {
    InstallerRun run;
    run.Run({"/UnRegCdrPlugin"});
    EXPECT_EQ(run.FinalText(), "Please install CorelDraw12 or X3 or X4 or X5 or X6 or X7 or X8 reinstall it!");
  }
  {
    InstallerRun run;
    run.SetEmbedDir(20);
    run.SetEmbedDir(18);
    run.Run({"/RegCdrPlugin"});
    EXPECT_EQ(run.FinalText(), "Install CorelDraw X8 2018 Success !");
  }
  {
    InstallerRun run;
    for (int v = 12; v <= 22; ++v) run.SetEmbedDir(v);
    run.Run({"-UnRegCdrPluginT"});
    EXPECT_EQ(run.FinalText(), "Uninstall CorelDraw 12 X3 X4 X5 X6 X7 X8 2017 2018 2019 2020 Success !");
  }
}

// The labels follow the macro directory values alone, not the workspaces.
TEST(InstallerFlow, LabelsComeFromTheMacroDirectoryValue) {
  InstallerRun run;
  run.AddDirectoryVersion(15);
  run.fake.registry.Set(InstallerRun::Row(16).productKey, "LastWorkspaceUsed", "C:\\nowhere\\W.xml");
  run.fake.files.Put("C:\\nowhere\\W\\DRAWUIConfig.xml", "<config/>");
  run.Run({"/RegCdrPlugin"});
  EXPECT_EQ(run.FinalText(), "Install CorelDraw X5 Success !");
  EXPECT_EQ(run.calls.size(), 2u);  // 16 is edited although it gets no label
}

TEST(InstallerFlow, DirectoryWorkspacesAreEditedInPlace) {
  InstallerRun run;
  const std::string xml12 = run.AddDirectoryVersion(12);
  const std::string xml16 = run.AddDirectoryVersion(16);
  run.Run({"/RegCdrPlugin", "/Q5", "/ToolBarName", "Cutter"});
  ASSERT_EQ(run.calls.size(), 2u);
  EXPECT_EQ(run.calls[0].path, "C:\\Users\\u\\Corel12\\Workspace\\Mine\\DRAWUIConfig.xml");
  EXPECT_EQ(run.calls[0].version, 12);
  EXPECT_EQ(run.calls[1].path, xml16);
  EXPECT_EQ(run.calls[1].version, 16);
  EXPECT_TRUE(run.calls[1].q5);
  EXPECT_EQ(run.calls[1].name, "Cutter");
  EXPECT_EQ(run.fake.files.Text(xml12), std::string("<config/>") + kToolbarMark);
  EXPECT_TRUE(run.fake.child.commands.empty());  // no archiver below 17
  EXPECT_FALSE(run.fake.files.Exists(xml12.substr(0, xml12.rfind('\\')) + "\\content"));
}

TEST(InstallerFlow, WorkspaceValuesThatNameNoWorkspaceAreSkipped) {
  InstallerRun run;
  run.fake.registry.Set(InstallerRun::Row(12).productKey, "LastWorkspaceUsed", "W.xm");
  run.fake.registry.Set(InstallerRun::Row(13).productKey, "LastWorkspaceUsed", "");
  run.fake.registry.Set(InstallerRun::Row(14).productKey, "LastWorkspaceUsed", "C:\\" + std::string(300, 'w'));
  run.fake.registry.Set(InstallerRun::Row(15).productKey, "LastWorkspaceUsed", "C:\\a.xml");
  run.fake.files.Put("C:\\a\\DRAWUIConfig.xml", "<config/>");
  run.fake.registry.Set(InstallerRun::Row(16).productKey, "LastWorkspaceUsed", "a.xml");
  run.fake.registry.Set(InstallerRun::Row(17).productKey, "LastCorelWorkspaceUsed", "C:\\w\\Mine.cdw");
  run.fake.registry.Set(InstallerRun::Row(18).productKey, "LastCorelWorkspaceUsed", "C:\\w\\Mine.zip");
  run.fake.registry.Set(InstallerRun::Row(19).productKey, "LastCorelWorkspaceUsed", "/tmp/w/Mine.cdws");
  run.Run({"/RegCdrPlugin"});
  ASSERT_EQ(run.calls.size(), 1u);  // only 15 names a workspace: a full path, more than an ending
  EXPECT_EQ(run.calls[0].path, "C:\\a\\DRAWUIConfig.xml");
  EXPECT_TRUE(run.fake.child.commands.empty());
  // An empty value is no value, one too long for the buffer is skipped; the others are named.
  std::string notes;
  for (const char* value : {"W.xm", "a.xml", "C:\\w\\Mine.cdw", "C:\\w\\Mine.zip", "/tmp/w/Mine.cdws"}) {
    notes += std::string("\nThe registry value ") + value + " names no workspace file: nothing was changed for it.";
  }
  EXPECT_EQ(run.FinalText(), "Please install CorelDraw12 or X3 or X4 or X5 or X6 or X7 or X8 reinstall it!\n" + notes);
}

// The configuration is kept as DRAWUIConfig.xml.bak before its first change;
// later runs never replace that backup.
TEST(InstallerFlow, DirectoryWorkspaceBackupIsKeptOnce) {
  InstallerRun run;
  const std::string xml = run.AddDirectoryVersion(14, "<original/>");
  run.Run({"/RegCdrPlugin"});
  EXPECT_EQ(run.fake.files.Text(xml + ".bak"), "<original/>");
  run.Run({"/RegCdrPlugin"});
  EXPECT_EQ(run.fake.files.Text(xml + ".bak"), "<original/>");
  run.Run({"/UnRegCdrPlugin"});
  EXPECT_EQ(run.fake.files.Text(xml + ".bak"), "<original/>");
  EXPECT_EQ(run.fake.files.Text(xml), std::string("<original/>") + kToolbarMark);
}

TEST(InstallerFlow, NoBackupMeansNoChange) {
  InstallerRun run;
  const std::string xml = run.AddDirectoryVersion(15);
  run.fake.files.Deny(xml.substr(0, xml.rfind('\\')));
  run.Run({"/RegCdrPlugin"});
  EXPECT_TRUE(run.calls.empty());
  EXPECT_EQ(run.FinalText(),
            "Install CorelDraw X5 Success !\n\nNo backup of " + xml + " could be made: it was left unchanged.");
}

TEST(InstallerFlow, AMissingConfigurationIsNamedAndNeedsNoBackup) {
  InstallerRun run;
  const std::string xml = run.AddDirectoryVersion(12);
  run.fake.files.DeleteFile(xml);
  run.Run({"/RegCdrPlugin"});
  EXPECT_TRUE(run.calls.empty());
  EXPECT_FALSE(run.fake.files.Exists(xml));
  EXPECT_FALSE(run.fake.files.Exists(xml + ".bak"));
  EXPECT_EQ(run.FinalText(),
            "Install CorelDraw 12 Success !\n\nThe workspace " + xml + " does not exist: nothing was changed for it.");
}

}  // namespace
}  // namespace barsetup
