// Exact bytes of INI edits: what stays, where new lines go, which line
// endings they get.
#include "app/posix/ini_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

#include "app/posix/ini_encoding.h"
#include "app/scratch_dir_test_util.h"

namespace plotsend {
namespace {

TEST(IniUpdateTest, NewFileSectionsAndKeysUseCrlf) {
  std::string text = IniUpdate("", "config", "PortSel_i", "0");
  EXPECT_EQ(text, "[config]\r\nPortSel_i=0\r\n");
  text = IniUpdate(text, "config", "IsClose", "1");
  EXPECT_EQ(text, "[config]\r\nPortSel_i=0\r\nIsClose=1\r\n");
  EXPECT_EQ(IniUpdate("[config]", "config", "B", "2"), "[config]\r\nB=2\r\n");
  EXPECT_EQ(IniUpdate("[c]\r\nA=1", "x", "B", "2"), "[c]\r\nA=1\r\n[x]\r\nB=2\r\n");
}

TEST(IniUpdateTest, LfFileKeepsLfAndEverythingElse) {
  const std::string before = "; top\n[config]\nA=1\n; inner\nB=2\n\n[other]\nA=3\n";
  EXPECT_EQ(IniUpdate(before, "config", "a", "5"), "; top\n[config]\nA=5\n; inner\nB=2\n\n[other]\nA=3\n");
  // A new key goes after the section's last non-blank line, before the gap.
  EXPECT_EQ(IniUpdate(before, "CONFIG", "C", "9"), "; top\n[config]\nA=1\n; inner\nB=2\nC=9\n\n[other]\nA=3\n");
  EXPECT_EQ(IniUpdate(before, "new", "K", "v"), before + "[new]\nK=v\n");
  EXPECT_EQ(IniUpdate("[config]\nA=1", "config", "B", "2"), "[config]\nA=1\nB=2\n");
  EXPECT_EQ(IniUpdate("[config]\nA=1", "config", "A", "2"), "[config]\nA=2");
}

TEST(IniUpdateTest, WhichLineIsEdited) {
  // The key keeps its spelling in the file; only the first matching section counts.
  EXPECT_EQ(IniUpdate("[CONFIG]\r\n  portsel_i = 3 \r\nX=1\r\n", "config", "PortSel_i", "7"),
            "[CONFIG]\r\nportsel_i=7\r\nX=1\r\n");
  EXPECT_EQ(IniUpdate("[config]\nIsClose\n", "config", "IsClose", "0"), "[config]\nIsClose=0\n");
  EXPECT_EQ(IniUpdate("[c]\n[d]\n[c]\nA=2\n", "c", "A", "9"), "[c]\nA=9\n[d]\n[c]\nA=2\n");
  EXPECT_EQ(IniUpdate("\xEF\xBB\xBF[c]\r\nA=1\r\n", "c", "A", "2"), "\xEF\xBB\xBF[c]\r\nA=2\r\n");
}

TEST(IniUpdateTest, CrOnlyFilesAreEditedInPlace) {
  const std::string before = "[config]\rIsClose=1\rCloseVal=0.35\r";
  EXPECT_EQ(IniLookup(before, "config", "CloseVal", "none", 10), "0.35");
  EXPECT_EQ(IniUpdate(before, "config", "IsClose", "0"), "[config]\rIsClose=0\rCloseVal=0.35\r");
  EXPECT_EQ(IniUpdate(before, "config", "IsOffset", "1"), "[config]\rIsClose=1\rCloseVal=0.35\rIsOffset=1\r");
  EXPECT_EQ(IniUpdate(before, "other", "A", "1"), before + "[other]\rA=1\r");
  // Mixed endings: each line ends where its own CR, LF or CRLF is.
  EXPECT_EQ(IniLookup("[c]\nA=1\rB=2\r\nC=3", "c", "C", "none", 10), "3");
}

// Files that an older save filled with copies of every key: the first copy
// is the one read, and the next save leaves only it.
TEST(IniUpdateTest, ASavedKeyIsWrittenOnce) {
  const std::string grown = "[config]\rIsClose=1\rX=5\r\nIsClose=0\r\nisclose = 0\r\n[x]\r\nIsClose=7\r\n";
  EXPECT_EQ(IniLookup(grown, "config", "IsClose", "none", 10), "1");
  EXPECT_EQ(IniUpdate(grown, "config", "IsClose", "1"), "[config]\rIsClose=1\rX=5\r\n[x]\r\nIsClose=7\r\n");
}

TEST(IniLookupTest, WhatIsNotAKey) {
  const std::string text = "A=top\n[config\n[config]\n;B=comment\nC=\nD = x = y \x1a\n";
  EXPECT_EQ(IniLookup(text, "config", "A", "none", 10), "none");  // before any section
  EXPECT_EQ(IniLookup(text, "config", ";B", "none", 10), "none");
  EXPECT_EQ(IniLookup(text, "config", "C", "none", 10), "");
  EXPECT_EQ(IniLookup(text, "config", "D", "none", 10), "x = y");  // ^Z counts as a blank
  EXPECT_EQ(IniLookup("[c]\n[d]\n[c]\nA=2\n", "c", "A", "none", 10), "none");
}

// Decoding and encoding give back every byte, even of a damaged UTF-16 file.
TEST(IniEncodingTest, Utf16FilesKeepEveryByte) {
  using namespace std::string_view_literals;
  for (const std::string_view bytes : {"\xFF\xFE[\0c\0]\0\x3D\xD8\x00\xDE"sv,  // with a pair
                                       "\xFF\xFE\x00\xD8=\0"sv,                // a lone high surrogate
                                       "\xFF\xFE\x00\xDC\x41"sv,               // a lone low one, an odd byte
                                       "\xFE\xFF\0[\0c\0]"sv, "[c]\r\nA=1"sv}) {
    const IniFileText text = DecodeIniFile(bytes);
    EXPECT_EQ(EncodeIniFile(text, text.text), bytes);
  }
  const IniFileText big = DecodeIniFile("\xFE\xFF\0[\0c\0]"sv);
  EXPECT_EQ(big.text, "[c]");
  EXPECT_EQ(EncodeIniFile(big, "[c]\xC3"), "\xFE\xFF\0[\0c\0]\xFF\xFD"sv);  // not UTF-8: U+FFFD
}

TEST(IniProfileTest, FileBytesAfterEditsAndFailures) {
  ScratchDir dir;
  const std::string ini = dir.File("config.ini");
  IniProfile port;
  WriteTestFile(ini, "# kept\n[config]\nIsClose=1\n\n[x]\ny=2\n");
  ASSERT_TRUE(port.Write(ini, "config", "IsClose", "0"));
  ASSERT_TRUE(port.Write(ini, "config", "CloseVal", "0.38"));
  EXPECT_EQ(ReadTestFile(ini), "# kept\n[config]\nIsClose=0\nCloseVal=0.38\n\n[x]\ny=2\n");
  EXPECT_FALSE(TestFileExists(ini + ".tmp"));

  // Saving every setting twice into a CR-only file changes nothing the
  // second time.
  WriteTestFile(ini, "[config]\rIsClose=1\rCloseVal=0.35\r");
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(port.Write(ini, "config", "IsClose", "1"));
    ASSERT_TRUE(port.Write(ini, "config", "CloseVal", "0.35"));
    ASSERT_TRUE(port.Write(ini, "config", "IsOffset", "0"));
    EXPECT_EQ(ReadTestFile(ini), "[config]\rIsClose=1\rCloseVal=0.35\rIsOffset=0\r");
  }

  const std::string blocked = dir.File("blocked.ini");  // a directory in the file's place
  std::filesystem::create_directory(Utf8Path(blocked));
  EXPECT_FALSE(port.Write(blocked, "config", "A", "1"));
  EXPECT_EQ(port.Read(blocked, "config", "A", "fallback", 10), "fallback");
}

}  // namespace
}  // namespace plotsend
