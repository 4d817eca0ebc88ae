// The macro pass: the six GMS files of the chosen set, copied or deleted.
#include <gtest/gtest.h>

#include "installer/installer_test_util.h"

namespace barsetup {
namespace {

std::string Gms(int version, std::string_view name) {
  return InstallerRun::EmbedDir(version) + "GMS\\" + std::string(name);
}

TEST(MacroPass, InstallCopiesTheStandardSetAndASecondRunReplacesIt) {
  InstallerRun run;
  run.SetEmbedDir(12);
  run.SetEmbedDir(22);
  run.fake.files.MakeDirs("C:\\Program Files\\Corel22\\Draw");
  run.fake.files.MakeDirs("C:\\Program Files\\Corel12\\Draw");
  run.Run({"/RegCdrPlugin"});
  for (auto name : MacroFilesStandard) {
    EXPECT_EQ(run.fake.files.Text(Gms(22, name)), "gms " + std::string(name));
    EXPECT_EQ(run.fake.files.Text(Gms(12, name)), "gms " + std::string(name));
  }
  for (auto name : MacroFilesQ5) EXPECT_FALSE(run.fake.files.Exists(Gms(22, name)));
  const std::string first = run.FinalText();
  run.fake.files.Put(kProgramDir + std::string(MacroFilesStandard[2]), "newer");
  run.Run({"/RegCdrPlugin"});
  EXPECT_EQ(run.fake.files.Text(Gms(12, MacroFilesStandard[2])), "newer");
  EXPECT_EQ(run.FinalText(), first);
  EXPECT_EQ(first, "Install CorelDraw 12 2020 Success !");
}

TEST(MacroPass, RemovalOfQ5LeavesTheStandardSet) {
  InstallerRun run;
  run.SetEmbedDir(16);
  run.fake.files.MakeDirs("C:\\Program Files\\Corel16\\Draw\\GMS");
  for (auto name : MacroFilesStandard) run.fake.files.Put(Gms(16, name), "s");
  for (auto name : MacroFilesQ5) run.fake.files.Put(Gms(16, name), "q");
  run.Run({"/UnRegCdrPlugin", "/Q5"});
  for (auto name : MacroFilesQ5) EXPECT_FALSE(run.fake.files.Exists(Gms(16, name)));
  for (auto name : MacroFilesStandard) EXPECT_EQ(run.fake.files.Text(Gms(16, name)), "s");
  EXPECT_EQ(run.FinalText(), "Uninstall CorelDraw X6 Success !");
}

TEST(MacroPass, RemovalWithoutAGmsDirectoryCreatesItEmpty) {
  InstallerRun run;
  run.SetEmbedDir(17);
  run.fake.files.MakeDirs("C:\\Program Files\\Corel17\\Draw");
  run.Run({"/UnRegCdrPlugin"});
  EXPECT_TRUE(run.fake.files.IsDir("C:\\Program Files\\Corel17\\Draw\\GMS"));
  EXPECT_TRUE(run.fake.files.Below("C:\\Program Files\\Corel17\\Draw\\GMS").empty());
  EXPECT_EQ(run.FinalText(), "Uninstall CorelDraw X7 Success !");
}

// Missing projects beside the installer are skipped without a word, and a
// version whose files could not be copied still counts as served.
TEST(MacroPass, MissingSourcesAndFailedCopiesAreSilent) {
  InstallerRun run;
  for (auto name : MacroFilesStandard) run.fake.files.DeleteFile(kProgramDir + std::string(name));
  run.fake.files.Put(kProgramDir + std::string(MacroFilesStandard[4]), "only this one");
  run.SetEmbedDir(13);
  run.SetEmbedDir(14);  // its base directory does not exist: nothing can be made
  run.fake.files.MakeDirs("C:\\Program Files\\Corel13\\Draw");
  run.Run({"/RegCdrPlugin"});
  EXPECT_EQ(run.fake.files.Below("C:\\Program Files\\Corel13\\Draw\\GMS"),
            std::vector<std::string>{Gms(13, MacroFilesStandard[4])});
  EXPECT_FALSE(run.fake.files.Exists("C:\\Program Files\\Corel14"));
  EXPECT_EQ(run.FinalText(), "Install CorelDraw X3 X4 Success !");
}

TEST(MacroPass, TooLongMacroDirectoryValuesAreSkipped) {
  InstallerRun run;
  run.fake.registry.Set(InstallerRun::Row(15).directoriesKey, "EmbedObjDir", "C:\\" + std::string(260, 'x') + "\\");
  run.Run({"/RegCdrPlugin"});
  EXPECT_EQ(run.FinalText(), "Please install CorelDraw12 or X3 or X4 or X5 or X6 or X7 or X8 reinstall it!");
}

}  // namespace
}  // namespace barsetup
