#include "installer/posix/wine_prefix.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "installer/posix/posix_child_process.h"
#include "installer/posix/posix_test_util.h"

namespace barsetup {
namespace {

TEST(WinePrefix, DrivesMapThroughDosdevices) {
  ScratchPrefix scratch;
  WinePrefix prefix(scratch.Root() + "/");
  std::string native;
  ASSERT_TRUE(prefix.ToNative("C:\\users\\u\\w.cdws", &native));
  EXPECT_EQ(native, scratch.Root() + "/dosdevices/c:/users/u/w.cdws");
  ASSERT_TRUE(prefix.ToNative("d:", &native));
  EXPECT_EQ(native, scratch.Root() + "/dosdevices/d:");
  // ".." stays on the drive, as on Windows.
  ASSERT_TRUE(prefix.ToNative("C:\\users\\..\\..\\..\\.\\tmp\\x", &native));
  EXPECT_EQ(native, scratch.Root() + "/dosdevices/c:/tmp/x");
  ASSERT_TRUE(prefix.ToNative("/opt/plotara/\\x", &native));
  EXPECT_EQ(native, "/opt/plotara//x");
  for (const char* bad : {"users\\u", "\\\\server\\share\\x", "C:relative", "1:\\x", ""}) {
    EXPECT_FALSE(prefix.ToNative(bad, &native)) << bad;
  }
}

TEST(WinePrefix, ComponentsTakeTheSpellingOnDisk) {
  ScratchPrefix scratch;
  WriteText(scratch.C("users/Bob/AppData/w.xml"), "x");
  WinePrefix prefix(scratch.Root());
  std::string native;
  ASSERT_TRUE(prefix.ToNative("C:\\USERS\\bob\\appdata\\W.XML", &native));
  EXPECT_EQ(ReadText(native), "x");
  EXPECT_EQ(native, scratch.Root() + "/dosdevices/c:/users/Bob/AppData/w.xml");
  ASSERT_TRUE(prefix.ToNative("C:\\Users\\BOB\\New\\Dir\\*", &native));
  EXPECT_EQ(native, scratch.Root() + "/dosdevices/c:/users/Bob/New/Dir/*");
}

TEST(WinePrefix, DefaultIsWineprefixElseHome) {
  const char* saved = std::getenv("WINEPREFIX");
  const std::string keep = saved != nullptr ? saved : "";
  setenv("WINEPREFIX", "/somewhere/prefix", 1);
  EXPECT_EQ(WinePrefix::DefaultRoot(), "/somewhere/prefix");
  unsetenv("WINEPREFIX");
  EXPECT_TRUE(WinePrefix::DefaultRoot().ends_with("/.wine"));
  if (saved != nullptr) setenv("WINEPREFIX", keep.c_str(), 1);
}

TEST(PosixChildProcess, ArchiverArgumentsAreMapped) {
  ScratchPrefix scratch;
  WinePrefix prefix(scratch.Root());
  PosixChildProcess child(prefix);
  const std::string c = scratch.Root() + "/dosdevices/c:";
  EXPECT_EQ(child.NativeArguments("7z.exe x -r -y \"C:\\w\\M.cdws\" -o\"C:\\w\\M\""),
            (std::vector<std::string>{"7z", "x", "-r", "-y", c + "/w/M.cdws", "-o" + c + "/w/M"}));
  EXPECT_EQ(child.NativeArguments("7z.exe a -tzip -r \"C:\\w\\M.cdws.new\" \"C:\\w\\M\\*\""),
            (std::vector<std::string>{"7z", "a", "-tzip", "-r", c + "/w/M.cdws.new", c + "/w/M/*"}));
  EXPECT_EQ(child.NativeArguments("\"/tmp/b-1\\7z.exe\" x"), (std::vector<std::string>{"/tmp/b-1/7z.exe", "x"}));
}

TEST(PosixChildProcess, RunsDrainsAndReportsTheExit) {
  ScratchPrefix scratch;
  WinePrefix prefix(scratch.Root());
  PosixChildProcess child(prefix);
  // More output than a pipe holds, on both streams.
  const ChildRun ok = child.Run("sh -c \"head -c 300000 /dev/zero; head -c 300000 /dev/zero >&2; exit 3\"");
  EXPECT_TRUE(ok.started);
  EXPECT_TRUE(ok.exitKnown);
  EXPECT_EQ(ok.exitCode, 3);
  const ChildRun killed = child.Run("sh -c \"kill -9 $$\"");
  EXPECT_TRUE(killed.started);
  EXPECT_EQ(killed.exitCode, 128 + 9);
  EXPECT_FALSE(child.Run("no-such-program-barsetup x").started);
}

}  // namespace
}  // namespace barsetup
