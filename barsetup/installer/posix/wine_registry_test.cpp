#include "installer/posix/wine_registry.h"

#include <gtest/gtest.h>

#include "installer/posix/posix_test_util.h"

namespace barsetup {
namespace {

// As wine writes it: sections with a time stamp, escaped names and values.
constexpr const char* kUserReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Corel\\\\CorelDRAW\\\\17.0\\\\Draw] 1700000000\n"
    "#time=1d9a0b1c2d3e4f5\n"
    "\"LastCorelWorkspaceUsed\"=\"C:\\\\users\\\\\\x5f20\\x4e09\\\\Work \\\"A\\\".cdws\"\r\n"
    "\"Count\"=dword:00000003\n"
    "\"Binary\"=hex:01,02,\\\n"
    "  03,04\n"
    "@=\"default\"\n"
    "\n"
    "[Software\\\\Corel\\\\CorelDRAW\\\\17.0\\\\Draw\\\\Application Preferences\\\\Directories] 1700000001\n"
    "\"EmbedObjDir\"=str(2):\"%USERPROFILE%\\\\Corel\\\\\"\n"
    "\"Emoji\"=\"\\xd83d\\xde00!\\x41b\\x0041\"\n"
    "\"Escapes\"=\"a\\tb\\nc\\101\\x\\q\"\n"
    "[Odd\\]Key] 1\n"
    "\"v\"=\"1\"\n";

TEST(WineRegistry, ReadsStringValuesWithTheirEscapes) {
  WineRegistry reg;
  reg.Parse(kUserReg);
  std::string value;
  ASSERT_TRUE(reg.ReadString("Software\\Corel\\CorelDRAW\\17.0\\Draw", "LastCorelWorkspaceUsed", &value));
  EXPECT_EQ(value, "C:\\users\\张三\\Work \"A\".cdws");
  ASSERT_TRUE(reg.ReadString("software\\corel\\coreldraw\\17.0\\DRAW", "lastcorelworkspaceused", &value));
  ASSERT_TRUE(reg.ReadString("Software\\Corel\\CorelDRAW\\17.0\\Draw", "", &value));
  EXPECT_EQ(value, "default");
  const std::string dirs = "Software\\Corel\\CorelDRAW\\17.0\\Draw\\Application Preferences\\Directories";
  ASSERT_TRUE(reg.ReadString(dirs, "EmbedObjDir", &value));
  EXPECT_EQ(value, "%USERPROFILE%\\Corel\\");
  ASSERT_TRUE(reg.ReadString(dirs, "Emoji", &value));
  EXPECT_EQ(value,
            "\xF0\x9F\x98\x80!\xD0\x9B"
            "A");  // a pair, then \x41b is U+041B
  ASSERT_TRUE(reg.ReadString(dirs, "Escapes", &value));
  EXPECT_EQ(value, "a\tb\ncAxq");
  ASSERT_TRUE(reg.ReadString("Odd]Key", "v", &value));
  EXPECT_EQ(value, "1");
}

TEST(WineRegistry, OtherTypesAndMissingKeysAreNotStrings) {
  WineRegistry reg;
  reg.Parse(kUserReg);
  std::string value = "untouched";
  EXPECT_FALSE(reg.ReadString("Software\\Corel\\CorelDRAW\\17.0\\Draw", "Count", &value));
  EXPECT_FALSE(reg.ReadString("Software\\Corel\\CorelDRAW\\17.0\\Draw", "Binary", &value));
  EXPECT_FALSE(reg.ReadString("Software\\Corel\\CorelDRAW\\17.0", "LastCorelWorkspaceUsed", &value));
  EXPECT_FALSE(reg.ReadString("Software\\Corel\\CorelDRAW\\12.0\\CorelDRAW", "LastWorkspaceUsed", &value));
  EXPECT_EQ(value, "untouched");
}

TEST(WineRegistry, BrokenLinesAreSkipped) {
  WineRegistry reg;
  reg.Parse("\"before\"=\"no section\"\n[Key\n\"a\"=\"x\"\n[Good] 1\n\"open\"=\"no end\n\"b\"=\"2\"\n\"c\"\"3\"");
  std::string value;
  EXPECT_FALSE(reg.ReadString("Key", "a", &value));
  EXPECT_FALSE(reg.ReadString("Good", "open", &value));
  EXPECT_FALSE(reg.ReadString("Good", "c", &value));
  ASSERT_TRUE(reg.ReadString("Good", "b", &value));
  EXPECT_EQ(value, "2");
}

TEST(WineRegistry, LoadsAFile) {
  ScratchPrefix prefix;
  WriteText(prefix.Root() + "/user.reg", kUserReg);
  WineRegistry reg;
  EXPECT_TRUE(reg.LoadFile(prefix.Root() + "/user.reg"));
  std::string value;
  EXPECT_TRUE(reg.ReadString("Software\\Corel\\CorelDRAW\\17.0\\Draw", "LastCorelWorkspaceUsed", &value));
  EXPECT_FALSE(WineRegistry().LoadFile(prefix.Root() + "/system.reg"));
  // A directory in its place is unreadable, not an error that ends the program.
  EXPECT_FALSE(WineRegistry().LoadFile(prefix.Root() + "/dosdevices"));
}

}  // namespace
}  // namespace barsetup
