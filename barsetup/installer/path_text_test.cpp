#include "installer/path_text.h"

#include <gtest/gtest.h>

namespace barsetup {
namespace {

TEST(PathText, CharactersAndUnitsOfUtf8) {
  EXPECT_EQ(CharacterCount("ab"), 2u);
  EXPECT_EQ(CharacterCount("工作区"), 3u);
  EXPECT_EQ(Utf16Length("工作区"), 3u);
  EXPECT_EQ(Utf16Length("a\xF0\x9F\x98\x80"), 3u);  // a surrogate pair
  EXPECT_TRUE(FitsPathBuffer(std::string(259, 'a')));
  EXPECT_FALSE(FitsPathBuffer(std::string(260, 'a')));
}

TEST(PathText, DropsWholeCharacters) {
  EXPECT_EQ(DropLastCharacters("C:\\w\\Mine.xml", 4), "C:\\w\\Mine");
  EXPECT_EQ(DropLastCharacters("C:\\工作区.工作区", 4), "C:\\工作区");
  EXPECT_EQ(DropLastCharacters("abcd", 4), "");
  EXPECT_EQ(DropLastCharacters("abc", 4), "");
}

TEST(PathText, FullWindowsPaths) {
  for (const char* full : {"C:\\w\\Mine.xml", "d:/w", "C:\\", "\\\\server\\share\\w.cdws"}) {
    EXPECT_TRUE(IsFullWindowsPath(full)) << full;
  }
  for (const char* other : {"/tmp/x/Mine.xml", "//tmp/x", "\\w\\Mine.xml", "\\\\\\x", "C:Mine.xml", "C:", "a.xml",
                            "1:\\x", "", "工作区\\x"}) {
    EXPECT_FALSE(IsFullWindowsPath(other)) << other;
  }
}

TEST(PathText, EndingsAndModuleDirectory) {
  EXPECT_TRUE(EndsWithNoCase("C:\\a\\Work.CDWS", ".cdws"));
  EXPECT_FALSE(EndsWithNoCase("C:\\a\\Work.cdw", ".cdws"));
  EXPECT_FALSE(EndsWithNoCase("dws", ".cdws"));
  EXPECT_EQ(ModuleDirectory("C:\\Program Files\\Plotara\\Barsetup.exe"), "C:\\Program Files\\Plotara\\");
  EXPECT_EQ(ModuleDirectory("/opt/plotara/barsetup"), "/opt/plotara/");
  EXPECT_EQ(ModuleDirectory("barsetup"), "");
}

}  // namespace
}  // namespace barsetup
