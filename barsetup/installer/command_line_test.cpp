#include "installer/command_line.h"

#include <gtest/gtest.h>

namespace barsetup {
namespace {

CMC_CommandLineInfo Parse(const std::vector<std::string>& args) {
  CMC_CommandLineInfo info;
  ParseCommandLine(args, info);
  return info;
}

TEST(CommandLine, SwitchesSetTheirFlags) {
  EXPECT_TRUE(Parse({"/RegCdrPlugin"}).m_bRegister);
  EXPECT_TRUE(Parse({"-RegCdrPluginT"}).m_bRegister);
  EXPECT_TRUE(Parse({"/UnRegCdrPlugin"}).m_bUnregister);
  EXPECT_TRUE(Parse({"/UnRegCdrPluginT"}).m_bUnregister);
  const CMC_CommandLineInfo q5 = Parse({"/UnRegCdrPlugin", "-Q5"});
  EXPECT_TRUE(q5.m_bVariantQ5);
  EXPECT_TRUE(q5.m_bUnregister);
  EXPECT_FALSE(q5.m_bRegister);
}

TEST(CommandLine, NamesMatchExactlyAndOthersAreIgnored) {
  for (const char* arg : {"/regcdrplugin", "/REGCDRPLUGIN", "/q5", "/RegCdrPluginX", "RegCdrPlugin", "//RegCdrPlugin",
                          "/", "/Register", "/toolbarname"}) {
    const CMC_CommandLineInfo info = Parse({arg});
    EXPECT_FALSE(info.m_bRegister) << arg;
    EXPECT_FALSE(info.m_bUnregister) << arg;
    EXPECT_FALSE(info.m_bVariantQ5) << arg;
    EXPECT_FALSE(info.s_bToolBarNameNext) << arg;
    EXPECT_EQ(info.m_strToolBarName, "KV") << arg;
  }
}

TEST(CommandLine, UnknownSwitchesAreFoundAsGiven) {
  EXPECT_EQ(UnknownSwitch({"/RegCdrPlugin", "-Q5", "/ToolBarName", "Cutter", "/UnRegCdrPluginT"}), "");
  EXPECT_EQ(UnknownSwitch({}), "");
  EXPECT_EQ(UnknownSwitch({"/RegCdrPlugin", "--help", "/?"}), "--help");
  EXPECT_EQ(UnknownSwitch({"/?"}), "/?");
  EXPECT_EQ(UnknownSwitch({"/regcdrplugin"}), "/regcdrplugin");
  EXPECT_EQ(UnknownSwitch({"-"}), "-");
}

TEST(CommandLine, ToolBarNameTakesTheLastPlainArgumentAfterTheSwitch) {
  EXPECT_EQ(Parse({"/RegCdrPlugin", "/ToolBarName", "Cutter"}).m_strToolBarName, "Cutter");
  EXPECT_EQ(Parse({"/RegCdrPlugin", "/ToolBarName", "刻字机"}).m_strToolBarName, "刻字机");
  // The install switch last: the name is not the last argument.
  const CMC_CommandLineInfo late = Parse({"/ToolBarName", "Cutter", "/RegCdrPlugin"});
  EXPECT_EQ(late.m_strToolBarName, "KV");
  EXPECT_TRUE(late.m_bRegister);
  // Without the switch, or with the name before it, the name is ignored.
  EXPECT_EQ(Parse({"/RegCdrPlugin", "Cutter"}).m_strToolBarName, "KV");
  EXPECT_EQ(Parse({"Cutter", "/ToolBarName"}).m_strToolBarName, "KV");
  // Of two plain arguments only the last counts.
  EXPECT_EQ(Parse({"/ToolBarName", "One", "Two"}).m_strToolBarName, "Two");
}

TEST(CommandLine, TheSwitchStateBelongsToOneParse) {
  CMC_CommandLineInfo first;
  ParseCommandLine({"/ToolBarName"}, first);
  EXPECT_TRUE(first.s_bToolBarNameNext);
  EXPECT_EQ(Parse({"Name"}).m_strToolBarName, "KV");
}

}  // namespace
}  // namespace barsetup
