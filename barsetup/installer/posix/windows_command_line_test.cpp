#include "installer/posix/windows_command_line.h"

#include <gtest/gtest.h>

namespace barsetup {
namespace {

using Args = std::vector<std::string>;

TEST(WindowsCommandLine, ArchiverCommandLines) {
  EXPECT_EQ(SplitWindowsCommandLine("7z.exe x -r -y \"C:\\My Files\\W.cdws\" -o\"C:\\My Files\\W\""),
            (Args{"7z.exe", "x", "-r", "-y", "C:\\My Files\\W.cdws", "-oC:\\My Files\\W"}));
  EXPECT_EQ(SplitWindowsCommandLine("\"C:\\Temp\\b 1\\7z.exe\" a -tzip -r \"C:\\w.cdws.new\" \"C:\\w\\*\""),
            (Args{"C:\\Temp\\b 1\\7z.exe", "a", "-tzip", "-r", "C:\\w.cdws.new", "C:\\w\\*"}));
}

TEST(WindowsCommandLine, BackslashesAndQuotes) {
  EXPECT_EQ(SplitWindowsCommandLine("p a\\\\\"b c\" d\\e"), (Args{"p", "a\\b c", "d\\e"}));
  EXPECT_EQ(SplitWindowsCommandLine("p a\\\"b \"\" \t x"), (Args{"p", "a\"b", "", "x"}));
  EXPECT_EQ(SplitWindowsCommandLine("  \"C:\\a\\\"  b\\\\"), (Args{"C:\\a\\", "b\\\\"}));
  EXPECT_TRUE(SplitWindowsCommandLine(" \t").empty());
}

}  // namespace
}  // namespace barsetup
