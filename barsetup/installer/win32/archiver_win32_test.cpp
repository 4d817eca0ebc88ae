// The real 7-Zip console program, carried in this test's resources as in
// Barsetup.exe's, written out and run through the Win32 adapters with the
// installer's two command lines on paths outside ASCII.
#include <gtest/gtest.h>

#include <vector>

#include "installer/archiver.h"
#include "installer/path_text.h"
#include "installer/thread_sleep.h"
#include "installer/win32/program_file.h"
#include "installer/win32/win32_test_util.h"
#include "installer/win32/win_child_process.h"
#include "installer/win32/win_file_system.h"
#include "installer/win32/win_registry.h"
#include "installer/win32/win_resources.h"
#include "installer/zip_listing.h"

namespace barsetup {
namespace {

class NoMessages : public MessagePort {
 public:
  void Show(const std::string& text, MessageStyle) override { shown.push_back(text); }
  bool AskRetry(const std::string& text) override {
    shown.push_back(text);
    return false;
  }
  std::vector<std::string> shown;
};

struct Win32Ports {
  WinRegistry registry;
  WinFileSystem files;
  WinResources resources;
  WinChildProcess child;
  NoMessages message;
  ThreadSleep sleep;
  InstallerPorts ports{registry, files, &resources, child, message, sleep};
};

TEST(ArchiverUnderWin32, PacksAndUnpacksWithTheEmbedded7z) {
  Win32Ports win;
  const std::string programDir = ModuleDirectory(ProgramPath());
  Archiver archiver(win.ports, programDir);
  archiver.ExtractArchiver();
  EXPECT_TRUE(win.message.shown.empty());
  EXPECT_TRUE(win.files.Exists(programDir + "7z.exe"));
  EXPECT_TRUE(win.files.Exists(programDir + "7z.dll"));

  ScratchDir dir;
  const std::string package = dir.Path("Mine 工作区.cdws");
  const std::string unpacked = dir.Path("Mine 工作区");
  ASSERT_TRUE(win.files.CreateDirectory(unpacked));
  ASSERT_TRUE(win.files.CreateDirectory(unpacked + "\\content"));
  ASSERT_TRUE(win.files.CreateDirectory(unpacked + "\\content\\icons"));
  WriteText(unpacked + "\\content\\workspace.xml", "<uiConfig>Zoë</uiConfig>\r\n");
  WriteText(unpacked + "\\content\\icons\\a.ico", "icon");

  ChildRun run = archiver.RunArchiver(archiver.RepackCommand(package, unpacked));
  EXPECT_TRUE(run.started);
  EXPECT_TRUE(run.exitKnown);
  EXPECT_EQ(run.exitCode, 0);
  std::vector<unsigned char> zip;
  ASSERT_TRUE(win.files.ReadFile(package, &zip));
  EXPECT_TRUE(ZipListsEntry(zip, "content/workspace.xml"));
  EXPECT_TRUE(ZipListsEntry(zip, "content/icons/a.ico"));
  // Entries are named relative to the directory.
  EXPECT_FALSE(ZipListsEntry(zip, "Mine 工作区/content/workspace.xml"));

  std::filesystem::remove_all(WidePath(unpacked));
  run = archiver.RunArchiver(archiver.UnpackCommand(package, unpacked));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(ReadText(unpacked + "\\content\\workspace.xml"), "<uiConfig>Zoë</uiConfig>\r\n");
  EXPECT_EQ(ReadText(unpacked + "\\content\\icons\\a.ico"), "icon");
}

TEST(ArchiverUnderWin32, AFailedRunReportsTheArchiversExitCode) {
  Win32Ports win;
  Archiver archiver(win.ports, ModuleDirectory(ProgramPath()));
  archiver.ExtractArchiver();
  ScratchDir dir;
  const ChildRun run = archiver.RunArchiver(archiver.UnpackCommand(dir.Path("missing.cdws"), dir.Path("missing")));
  EXPECT_TRUE(run.started);
  EXPECT_TRUE(run.exitKnown);
  EXPECT_NE(run.exitCode, 0);
}

}  // namespace
}  // namespace barsetup
