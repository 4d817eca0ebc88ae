#include "app/plotsend_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

#include "app/control_ids.h"
#include "app/dialog_test_support.h"
#include "app/drawing_warning.h"
#include "app/scratch_dir_test_util.h"
#include "link/fake_link.h"

namespace plotsend {
namespace {

std::string SampleJob() {
  const char* root = std::getenv("PLOTARA_TESTDATA");
  return ReadTestFile(std::string(root ? root : "plotsend/testdata") + "/kavren.plt");
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUpJob(std::string_view markref, std::string_view plt) {
    WriteTestFile(dir.File("kavren.plt"), plt);
    WriteTestFile(dir.File("markref.kv"), markref);
  }
  // Runs the start of the dialog up to a prepared job.
  CPlotsendDlg& Open() {
    dlg = std::make_unique<CPlotsendDlg>(host, profile, link, WorkDir(dir.Dir()), Language::English);
    dlg->Initialise();
    EXPECT_TRUE(dlg->PrepareJob());
    EXPECT_TRUE(dlg->AwaitWorkFiles());  // kavren.kv2 is written on a second thread
    return *dlg;
  }
  std::string Export(const std::string& name) {
    host.answer = dir.File(name);
    EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Finished);
    return ReadTestFile(dlg->LastOutputPath());
  }

  ScratchDir dir;
  FakeHost host;
  MapProfile profile;
  FakeLink link;
  std::unique_ptr<CPlotsendDlg> dlg;
};

const char* const kSquare = "IN;PU0,0;PD400,0,400,400,0,400,0,0;PU0,0;@";

TEST_F(DialogTest, ExportWritesTheCommandFileAndEndsTheJob) {
  SetUpJob("8000,4800,400,3,2", SampleJob());
  Open();
  EXPECT_EQ(dlg->CanOutput(), CPlotsendDlg::JobOutput::Ready);
  EXPECT_TRUE(TestFileExists(dir.File("kavren_m.plt")));
  EXPECT_TRUE(TestFileExists(dir.File("kavren.kv2")));

  const std::string bytes = Export("job.txt");
  EXPECT_EQ(dlg->LastOutputPath(), dir.File("job.txt.PLT"));
  EXPECT_EQ(host.proposed, "*.plt");
  EXPECT_TRUE(bytes.starts_with("TB26,400,4800,8800;TKN;U0,0;")) << bytes.substr(0, 60);
  EXPECT_TRUE(bytes.ends_with("@"));
  EXPECT_TRUE(dlg->LastOutputCompensated());
  EXPECT_EQ(host.infos, std::vector<std::string>{"Save .PLT File Finished"});
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.endResult, control::kIdOk);

  for (const char* gone : {"kavren.plt", "kavren_m.plt", "kavren.kv2"}) {
    EXPECT_FALSE(TestFileExists(dir.File(gone))) << gone;
  }
  EXPECT_TRUE(TestFileExists(dir.File("markref.kv")));
  EXPECT_EQ(profile.values["config/offsetval"], "0.35");
  EXPECT_EQ(profile.values["config/isdashedline"], "0");
}

// Values that cannot be meant are named in one message and not used: the
// job is exported as with the defaults, and the defaults are saved.
TEST_F(DialogTest, SettingsOutsideTheirRangeAreNamedAndNotUsed) {
  profile.values["config/offsetval"] = "1e308";
  profile.values["config/originoffsetx"] = "1e308";
  profile.values["config/ip_field_0"] = "383";
  SetUpJob("8000,4800,400,3,2", SampleJob());
  Open();
  EXPECT_EQ(host.errors, std::vector<std::string>{
                             "Settings in config.ini outside their range were not used, the defaults stand: "
                             "OffsetVal=1e308 (0 ~ 5); OriginOffsetX=1e308 (-5000 ~ 5000); IP_FIELD_0=383 (0 ~ 255)"});
  const std::string bytes = Export("bad.txt");
  EXPECT_EQ(profile.values["config/offsetval"], "0.35");
  EXPECT_EQ(profile.values["config/originoffsetx"], "0.00");
  EXPECT_EQ(profile.values["config/ip_field_0"], "192");

  profile.values.clear();
  host.errors.clear();
  SetUpJob("8000,4800,400,3,2", SampleJob());
  Open();
  EXPECT_EQ(Export("default.txt"), bytes);
  EXPECT_TRUE(host.errors.empty());
}

// A config.ini that cannot be written is reported once, however often the
// run saves (here at the export and at the end).
TEST_F(DialogTest, SettingsThatCannotBeSavedAreReportedOnce) {
  profile.failWrites = true;
  SetUpJob("0,0,0,0,1", kSquare);
  Open();
  Export("a.plt");
  EXPECT_EQ(host.errors,
            std::vector<std::string>{"The settings could not be saved in config.ini: " + dir.File("config.ini")});
}

TEST_F(DialogTest, PathEndingInPltIsKeptInAnyCase) {
  SetUpJob("0,0,0,0,1", kSquare);
  Open();
  Export("a.plt");
  EXPECT_EQ(dlg->LastOutputPath(), dir.File("a.plt"));
  SetUpJob("0,0,0,0,1", kSquare);
  Open();
  Export("B.PlT");
  EXPECT_EQ(dlg->LastOutputPath(), dir.File("B.PlT"));
}

// A work directory and a chosen file in folders named in other scripts:
// every file function takes the UTF-8 paths whole (UTF-16 on Windows).
TEST(DialogPaths, WorkDirectoryAndOutputInAnyScript) {
  ScratchDir root("_\xE4\xBD\x9C\xE4\xB8\x9A \xC3\xA9");  // "_作业 é"
  const std::string out = root.File("U\xE7\x9B\x98");     // "U盘"
  ASSERT_TRUE(std::filesystem::create_directory(Utf8Path(out)));
  WriteTestFile(root.File("kavren.plt"), kSquare);
  WriteTestFile(root.File("markref.kv"), "0,0,0,0,1");
  FakeHost host;
  MapProfile profile;
  FakeLink link;
  CPlotsendDlg dlg(host, profile, link, WorkDir(root.Dir()), Language::English);
  dlg.Initialise();
  ASSERT_TRUE(dlg.PrepareJob());
  host.answer = out + "/\xD0\xB7\xD0\xB0\xD0\xBA\xD0\xB0\xD0\xB7";  // "заказ"
  EXPECT_EQ(dlg.OnUDiskFile(), CPlotsendDlg::ExportResult::Finished);
  EXPECT_EQ(dlg.LastOutputPath(), *host.answer + ".PLT");
  EXPECT_TRUE(ReadTestFile(dlg.LastOutputPath()).ends_with("@"));
  EXPECT_TRUE(host.errors.empty());
  EXPECT_FALSE(TestFileExists(root.File("kavren.plt")));
}

TEST_F(DialogTest, CodeJobProposesItsNumberAndDisablesStart) {
  SetUpJob("0,0,0,0,1", kSquare);
  WriteTestFile(dir.File("codeinfo.kv"), "1,1,");
  WriteTestFile(dir.File("codenumble.kv"), "42");
  Open();
  EXPECT_EQ(host.enabledState[control::kStart], false);
  Export("x.plt");
  EXPECT_EQ(host.proposed, "_42_.plt");
}

TEST_F(DialogTest, CancellingTheSaveDialogDiscardsTheJob) {
  SetUpJob("0,0,0,0,1", kSquare);
  Open();
  host.answer.reset();
  EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Cancelled);
  EXPECT_FALSE(TestFileExists(dir.File("kavren.plt")));
  EXPECT_TRUE(host.infos.empty());
}

TEST_F(DialogTest, UnwritableCommandFileIsReportedAndTheJobKept) {
  SetUpJob("0,0,0,0,1", kSquare);
  Open();
  host.answer = dir.File("no_such_dir/out.plt");
  EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Failed);
  EXPECT_TRUE(host.infos.empty());
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0],
            "Save .PLT File Failed: " + dir.File("no_such_dir/out.plt") + "\nNo such file or directory");
  EXPECT_TRUE(TestFileExists(dir.File("kavren.plt")));
  EXPECT_TRUE(TestFileExists(dir.File("kavren.kv2")));
  EXPECT_EQ(host.endResult, 0);
  EXPECT_TRUE(host.enabledState[control::kUDiskFile]);

  // A second try after the failure writes what a first try would have.
  dlg->Fields().settings.IsOffset = 0;  // plain path, which moves the prepared job
  dlg->Fields().settings.OriginOffsetX = 1.0;
  host.answer = dir.File("no_such_dir/out.plt");
  EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Failed);
  const std::string retry = Export("retry.plt");

  SetUpJob("0,0,0,0,1", kSquare);
  Open();
  dlg->Fields().settings.IsOffset = 0;
  dlg->Fields().settings.OriginOffsetX = 1.0;
  EXPECT_EQ(Export("first.plt"), retry);
}

// A failed export names the system's reason on the line after the defined
// text; devices and directories are taken as they are named.
TEST_F(DialogTest, FailedExportsSayWhy) {
  SetUpJob("0,0,0,0,1", kSquare);
  std::filesystem::create_directory(Utf8Path(dir.File("folder")));
  Open();
  const struct {
    std::string chosen, written, reason;
  } cases[] = {
      {dir.File("folder"), dir.File("folder"), "Is a directory"},
      {dir.File("folder/"), dir.File("folder/"), "Is a directory"},
      {dir.File("gone/x.plt"), dir.File("gone/x.plt"), "No such file or directory"},
  };
  for (const auto& c : cases) {
    host.errors.clear();
    host.answer = c.chosen;
    EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Failed) << c.chosen;
    EXPECT_EQ(host.errors, std::vector<std::string>{"Save .PLT File Failed: " + c.written + "\n" + c.reason});
  }
  EXPECT_EQ(ExportPath(dir.File("job.txt")), dir.File("job.txt.PLT"));

  // The job could not be prepared because a work file could not be written.
  std::filesystem::remove(Utf8Path(dir.File("kavren_m.plt")));
  std::filesystem::create_directories(Utf8Path(dir.File("kavren_m.plt/inner")));
  EXPECT_FALSE(dlg->PrepareJob());
  EXPECT_EQ(dlg->WorkFilesError(), std::errc::is_a_directory);
  EXPECT_EQ(dlg->CanOutput(), CPlotsendDlg::JobOutput::WorkFilesUnwritten);
  host.errors.clear();
  host.answer = dir.File("out.plt");
  EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Failed);
  EXPECT_EQ(host.errors,
            std::vector<std::string>{"Save .PLT File Failed: " + dir.File("out.plt") + "\nIs a directory"});
  EXPECT_TRUE(TestFileExists(dir.File("kavren.plt")));
}

// kavren.kv2, written on a second thread, could not be written: the export
// says so as a failed preparation would, and leaves the file it would replace.
TEST_F(DialogTest, AnUnwrittenWorkFileStopsTheExportBeforeItIsPutInPlace) {
  for (const bool special : {false, true}) {
    SCOPED_TRACE(special ? "a device" : "a file");
    SetUpJob("0,0,0,0,1", kSquare);
    std::filesystem::create_directories(Utf8Path(dir.File("kavren.kv2/inner")));
    dlg = std::make_unique<CPlotsendDlg>(host, profile, link, WorkDir(dir.Dir()), Language::English);
    dlg->Initialise();
    EXPECT_TRUE(dlg->PrepareJob());
    host.errors.clear();
    host.answer = special ? "/dev/null" : dir.File("out.plt");
    if (!special) WriteTestFile(dir.File("out.plt"), "older");
    EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Failed);
    EXPECT_EQ(host.errors, std::vector<std::string>{"cannot write the work files in " + dlg->GetWorkDir().Dir() +
                                                    "\nIs a directory"});
    EXPECT_EQ(dlg->CanOutput(), CPlotsendDlg::JobOutput::WorkFilesUnwritten);
    EXPECT_EQ(dlg->WorkFilesError(), std::errc::is_a_directory);
    if (!special) {
      EXPECT_EQ(ReadTestFile(dir.File("out.plt")), "older");
    }
    EXPECT_TRUE(host.infos.empty());
    EXPECT_TRUE(TestFileExists(dir.File("kavren.plt")));
    std::filesystem::remove_all(Utf8Path(dir.File("kavren.kv2")));
  }
}

TEST_F(DialogTest, MarkTypeOneWithoutAlignmentOnlyMovesByTheOriginOffset) {
  SetUpJob("12000,8000,400,1,1", kSquare);
  Open();
  dlg->Fields().settings.IsOffset = 0;
  dlg->Fields().settings.OriginOffsetX = 2.5;  // 100 units
  const std::string typeOne = Export("one.plt");

  SetUpJob("12000,8000,400,0,1", kSquare);
  Open();
  dlg->Fields().settings.IsOffset = 0;
  dlg->Fields().settings.OriginOffsetX = 2.5;
  EXPECT_EQ(Export("zero.plt"), typeOne);
  // The square's corners stay apart: y 0 and 400 (sent as 300 after the
  // device's digit swap), x moved by 100.
  EXPECT_NE(typeOne.find("D0,500;"), std::string::npos) << typeOne;
  EXPECT_NE(typeOne.find("D300,500;"), std::string::npos) << typeOne;
}

TEST_F(DialogTest, MarkTypeEightMovesXByTheMargin) {
  SetUpJob("12000,8000,400,8,1", kSquare);
  Open();
  dlg->Fields().settings.IsOffset = 0;
  dlg->Fields().settings.OriginOffsetX = 1.0;  // 40 units
  std::vector<JobPoint> before = dlg->PreparedJob().Points();
  ASSERT_TRUE(dlg->GenerateOutput(dir.File("eight.plt")));
  const std::vector<JobPoint> after = dlg->PreparedJob().Points();
  ASSERT_EQ(before.size(), after.size());
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].x, before[i].x + 440);
    EXPECT_EQ(after[i].y, before[i].y);
  }
}

TEST_F(DialogTest, CompensationRunsOnlyWithBothLengthsInEffect) {
  SetUpJob("0,0,0,0,1", kSquare);
  Open();
  dlg->Fields().settings.IsClose = 0;
  Export("plain.plt");
  EXPECT_FALSE(dlg->LastOutputCompensated());
  EXPECT_DOUBLE_EQ(dlg->EffectiveOffset(), 0.35);
  EXPECT_DOUBLE_EQ(dlg->EffectiveClosure(), 0.0);
}

TEST_F(DialogTest, SectionRangeHandlersClamp) {
  SetUpJob("0,0,0,0,5", kSquare);
  CPlotsendDlg& d = Open();
  EXPECT_EQ(d.Fields().From, 0);
  EXPECT_EQ(d.Fields().To, 4);
  d.Fields().To = 1;
  d.OnToChanged();
  d.Fields().From = 3;
  d.OnFromChanged();
  EXPECT_EQ(d.Fields().From, 1);
  EXPECT_EQ(d.Fields().To, 4);
  d.Fields().To = 0;
  d.OnToChanged();
  EXPECT_EQ(d.Fields().To, 1);
  d.Fields().To = 200;
  d.OnToChanged();
  EXPECT_EQ(d.Fields().To, 4);
}

TEST_F(DialogTest, DashedLinesSwitchCompensationOff) {
  profile.values["config/isdashedline"] = "1";
  SetUpJob("0,0,0,0,1", kSquare);
  CPlotsendDlg& d = Open();
  EXPECT_EQ(d.Fields().settings.IsOffset, 0);
  EXPECT_EQ(d.Fields().settings.IsClose, 0);
  EXPECT_FALSE(host.enabledState[control::kOffsetVal]);
  EXPECT_TRUE(host.enabledState[control::kDashLine]);

  d.Fields().settings.IsDashedLine = 0;
  d.OnDashedLineClicked();
  EXPECT_EQ(d.Fields().settings.IsOffset, 0);
  d.Fields().settings.IsOffset = 1;
  d.OnOffsetClicked();
  EXPECT_TRUE(host.enabledState[control::kOffsetVal]);
}

// Exporting onto the job (or a link to any work file) would leave neither
// the job nor the output: refused before anything is written or deleted.
TEST_F(DialogTest, AnOutputOntoAWorkFileIsRefused) {
  SetUpJob("0,0,0,0,1", kSquare);
  Open();
  const std::string prepared = ReadTestFile(dir.File("kavren.kv2"));
  std::vector<std::string> targets = {dir.File("kavren.plt"), dir.File("kavren_m.plt")};
  std::error_code ec;
  std::filesystem::create_symlink(Utf8Path(dir.File("kavren.kv2")), Utf8Path(dir.File("link.plt")), ec);
  if (!ec) targets.push_back(dir.File("link.plt"));
  for (const std::string& target : targets) {
    host.errors.clear();
    host.enabledState.clear();
    host.answer = target;
    EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Failed) << target;
    EXPECT_EQ(host.errors, std::vector<std::string>{"The output file is one of the job's work files: " + target});
    EXPECT_TRUE(host.enabledState.empty());  // still Ready, nothing switched
  }
  EXPECT_EQ(ReadTestFile(dir.File("kavren.plt")), kSquare);
  EXPECT_EQ(ReadTestFile(dir.File("kavren.kv2")), prepared);
  EXPECT_TRUE(host.infos.empty());
  EXPECT_EQ(host.endResult, 0);
  Export("elsewhere.plt");  // and a proper target still works
  EXPECT_FALSE(TestFileExists(dir.File("kavren.plt")));
}

TEST_F(DialogTest, AJobThatCannotBeReadIsNeverWrittenOutNorDeleted) {
  WriteTestFile(dir.File("markref.kv"), "0,0,0,0,1");
  std::filesystem::create_directory(Utf8Path(dir.File("kavren.plt")));  // unreadable as a job
  Open();
  EXPECT_FALSE(dlg->JobRead());
  EXPECT_EQ(dlg->CanOutput(), CPlotsendDlg::JobOutput::JobUnreadable);
  EXPECT_EQ(host.errors, std::vector<std::string>{"Open File Failed"});
  EXPECT_FALSE(dlg->GenerateOutput(dir.File("out.plt")));
  EXPECT_FALSE(TestFileExists(dir.File("out.plt")));
  host.answer = dir.File("out.plt");
  EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Failed);
  EXPECT_FALSE(TestFileExists(dir.File("out.plt")));
  host.answer.reset();  // the user gives up: the job stays for another run
  EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Cancelled);
  EXPECT_TRUE(TestFileExists(dir.File("kavren.plt")));
  EXPECT_FALSE(TestFileExists(dir.File("kavren_m.plt")));
}

TEST_F(DialogTest, AJobWithoutMarkValuesStaysUntilAnOutputIsWritten) {
  WriteTestFile(dir.File("kavren.plt"), kSquare);
  Open();
  EXPECT_FALSE(dlg->MarkRefRead());
  EXPECT_EQ(dlg->CanOutput(), CPlotsendDlg::JobOutput::MarkRefUnreadable);
  EXPECT_EQ(host.errors, std::vector<std::string>{"open markref file fail!"});
  dlg->DeleteWorkFiles();  // closed without an output
  EXPECT_EQ(ReadTestFile(dir.File("kavren.plt")), kSquare);

  Open();
  Export("written.plt");  // exported all the same: now the job is used
  EXPECT_FALSE(TestFileExists(dir.File("kavren.plt")));
}

TEST_F(DialogTest, TheCodeFlagGoesOnlyWithTheJob) {
  SetUpJob("0,0,0,0,1", kSquare);
  WriteTestFile(dir.File("codeinfo.kv"), "1,1,");
  WriteTestFile(dir.File("codenumble.kv"), "7");
  Open();
  host.answer = dir.File("no_such_dir/_7_.plt");
  EXPECT_EQ(dlg->OnUDiskFile(), CPlotsendDlg::ExportResult::Failed);
  EXPECT_EQ(ReadTestFile(dir.File("codeinfo.kv")), "1,1,");

  Open();  // the retry is still a coded job
  EXPECT_EQ(dlg->GetJobInfo().CodeMode, 1);
  Export("_7_.plt");
  EXPECT_EQ(ReadTestFile(dir.File("codeinfo.kv")), "0,1,");

  // Closed without an output, the job is discarded and its flag with it.
  SetUpJob("0,0,0,0,1", kSquare);
  WriteTestFile(dir.File("codeinfo.kv"), "1,2,");
  Open();
  dlg->DeleteWorkFiles();
  EXPECT_FALSE(TestFileExists(dir.File("kavren.plt")));
  EXPECT_EQ(ReadTestFile(dir.File("codeinfo.kv")), "0,2,");
}

// The macros may leave a new job while this one is output: the new one
// stays, with its code flag, for the next run.
TEST_F(DialogTest, ANewJobLeftDuringTheRunStaysForTheNextRun) {
  const std::string newJob = "IN;PU0,0;PD800,0;PU0,0;@";
  for (const bool byRename : {true, false}) {
    SCOPED_TRACE(byRename ? "replaced by rename" : "rewritten in place");
    SetUpJob("0,0,0,0,1", kSquare);
    WriteTestFile(dir.File("codeinfo.kv"), "1,1,");
    Open();
    if (byRename) {
      WriteTestFile(dir.File("new.plt"), newJob);
      std::filesystem::rename(Utf8Path(dir.File("new.plt")), Utf8Path(dir.File("kavren.plt")));
    } else {
      WriteTestFile(dir.File("kavren.plt"), newJob);
    }
    host.statusTexts.clear();
    const std::string out = Export("out.plt");
    EXPECT_NE(out.find("D300,400;"), std::string::npos) << out;  // the square: y 400 goes out as 300
    EXPECT_EQ(ReadTestFile(dir.File("kavren.plt")), newJob);
    EXPECT_EQ(ReadTestFile(dir.File("codeinfo.kv")), "1,1,");
    EXPECT_FALSE(TestFileExists(dir.File("kavren_m.plt")));
    EXPECT_EQ(host.StatusTexts(),
              std::vector<std::string>{"A new job file arrived during the run; it stays for the next run"});
  }
}

// A second output reads the job file again; one that changed since the
// first read is not output in place of the job that was shown.
TEST_F(DialogTest, AJobFileThatChangedIsNotReadForASecondOutput) {
  SetUpJob("0,0,0,0,1", kSquare);
  Open();
  ASSERT_TRUE(dlg->GenerateOutput(dir.File("first.plt")));
  WriteTestFile(dir.File("kavren.plt"), "IN;PU0,0;PD800,0;PU0,0;@");
  EXPECT_FALSE(dlg->GenerateOutput(dir.File("second.plt")));
  EXPECT_FALSE(TestFileExists(dir.File("second.plt")));
  EXPECT_EQ(host.errors, std::vector<std::string>{"The job file changed during the run; run again to use the new job"});
  dlg->DeleteWorkFiles();
  EXPECT_EQ(ReadTestFile(dir.File("kavren.plt")), "IN;PU0,0;PD800,0;PU0,0;@");
}

// The work files are there for a person to inspect: the run goes on with
// the job as it was read, whatever becomes of them meanwhile.
TEST_F(DialogTest, TheWorkFilesAreWrittenButNeverReadBack) {
  for (const int close : {1, 0}) {
    SCOPED_TRACE(close != 0 ? "compensated" : "plain");
    std::string outputs[2];
    for (const bool overwritten : {false, true}) {
      SetUpJob("8000,4800,400,3,2", SampleJob());
      Open();
      dlg->Fields().settings.IsClose = close;
      for (const char* file : {"kavren_m.plt", "kavren.kv2"}) {
        if (overwritten) WriteTestFile(dir.File(file), "IN;U0,0;D800,0;");
      }
      outputs[overwritten] = Export(overwritten ? "b.plt" : "a.plt");
      EXPECT_EQ(dlg->LastOutputCompensated(), close != 0);
    }
    EXPECT_GT(outputs[0].size(), 1000u);
    EXPECT_EQ(outputs[1], outputs[0]);
  }
}

TEST_F(DialogTest, PreparingWarnsOfWhatTheReaderDoesNotRead) {
  SetUpJob("8000,4800,400,3,2", SampleJob());
  Open();
  EXPECT_EQ(host.StatusTexts(), std::vector<std::string>{"port closed"});

  SetUpJob("0,0,0,0,1", "IN;PA;PU;PA100,100;PD;PA400,100;PU1600.5,6400;PD1700,6400;PW0.350;");
  host.statusTexts.clear();
  Open();
  EXPECT_EQ(host.StatusTexts(),
            (std::vector<std::string>{"port closed",
                                      "the drawing uses PA, bare PU/PD, decimal coordinates: only PU/PD with "
                                      "coordinates are read; the cut may not match the drawing"}));
  EXPECT_EQ(DrawingWarning(dlg->GetDrawingFindings(), Language::Chinese),
            "图形使用了 PA, 不带坐标的 PU/PD, 小数坐标：只读取带坐标的 PU/PD；切割结果可能与图形不符");
  DrawingFindings large;
  large.outOfRange = large.tooLarge = true;
  EXPECT_EQ(DrawingWarning(large, Language::English),
            "the drawing uses out-of-range coordinates, more than 50 m: only PU/PD with coordinates are read; the "
            "cut may not match the drawing");
}

TEST_F(DialogTest, AJobWithoutCuttingMovesIsExportedWithAWarning) {
  using namespace std::string_literals;
  for (const std::string& job : {""s, ";"s, "\x01\xff garbage \x00 PU10,10;"s, "IN;PU100,100;PU0,0;@"s}) {
    SetUpJob("0,0,0,0,1", job);
    host.statusTexts.clear();
    Open();
    EXPECT_EQ(host.StatusTexts(), (std::vector<std::string>{"port closed", "The job holds no cutting moves"}));
    EXPECT_EQ(Export("empty.plt").back(), '@');
  }
  SetUpJob("0,0,0,0,1", kSquare);
  host.statusTexts.clear();
  Open();
  EXPECT_EQ(host.StatusTexts(), std::vector<std::string>{"port closed"});
}

// Off by default, the cut order leaves no trace. Switched on in config.ini
// it orders the job while it is prepared and shows what it saved; switched
// on after that, the output is ordered all the same.
TEST_F(DialogTest, TheCutOrderRunsOnlyWhenSwitchedOn) {
  const char* const job = "IN;PU0,0;PD100,0;PU8000,0;PD8100,0;PU200,0;PD300,0;PU8200,0;PD8300,0;PU0,0;@";
  const auto exportWith = [&](const char* sortPaths, bool lateSwitch, const std::string& name) {
    SetUpJob("0,0,0,0,1", job);
    profile.values.erase("config/sortpaths");
    if (sortPaths != nullptr) profile.values["config/sortpaths"] = sortPaths;
    host.statusTexts.clear();
    Open();
    if (lateSwitch) dlg->Fields().settings.SortPaths = 1;
    dlg->Fields().settings.IsOffset = 0;
    return Export(name);
  };
  const std::string drawn = exportWith(nullptr, false, "drawn.plt");
  EXPECT_FALSE(dlg->OrderStats());
  EXPECT_EQ(host.StatusTexts(), std::vector<std::string>{"port closed"});
  EXPECT_EQ(profile.values.count("config/sortpaths"), 0u);

  const std::string ordered = exportWith("1", false, "ordered.plt");
  ASSERT_TRUE(dlg->OrderStats());
  const JobOrderStats stats = *dlg->OrderStats();
  EXPECT_DOUBLE_EQ(stats.cutLength, 400);
  EXPECT_LT(stats.travelAfter, stats.travelBefore / 2);
  EXPECT_EQ(host.StatusTexts().back(),
            "cut 0.01 m, travel " + Metres(stats.travelBefore) + " m -> " + Metres(stats.travelAfter) + " m");
  EXPECT_NE(ordered, drawn);
  EXPECT_EQ(std::count(ordered.begin(), ordered.end(), 'D'), std::count(drawn.begin(), drawn.end(), 'D'));
  EXPECT_EQ(profile.values["config/sortpaths"], "1");

  EXPECT_EQ(exportWith(nullptr, true, "late.plt"), ordered);
  EXPECT_EQ(exportWith("0", false, "off.plt"), drawn);
}

}  // namespace
}  // namespace plotsend
