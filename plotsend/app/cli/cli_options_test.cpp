#include "app/cli/cli_options.h"

#include <gtest/gtest.h>

namespace plotsend {
namespace {

std::optional<CliOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string e;
  auto result = ParseCommandLine(args, e);
  if (error) *error = e;
  return result;
}

TEST(CommandLine, ExportWithFieldEditsInOrder) {
  auto o = Parse({"--workdir", "/tmp/w", "--dashed", "3,0.5", "--offset", "0.25", "--close", "off", "--origin",
                  "-1.5,2", "--from", "1", "--to", "3", "export", "out.plt"});
  ASSERT_TRUE(o);
  EXPECT_EQ(*o->workDir, "/tmp/w");
  EXPECT_EQ(o->command, "export");
  EXPECT_EQ(*o->file, "out.plt");
  ASSERT_EQ(o->edits.size(), 6u);
  using F = FieldEdit::Field;
  EXPECT_EQ(o->edits[0].field, F::Dashed);
  EXPECT_DOUBLE_EQ(o->edits[0].a, 3.0);
  EXPECT_DOUBLE_EQ(o->edits[0].b, 0.5);
  EXPECT_EQ(o->edits[1].field, F::Offset);
  EXPECT_TRUE(o->edits[1].on);
  EXPECT_DOUBLE_EQ(o->edits[1].a, 0.25);
  EXPECT_EQ(o->edits[2].field, F::Close);
  EXPECT_FALSE(o->edits[2].on);
  EXPECT_DOUBLE_EQ(o->edits[3].a, -1.5);
  EXPECT_DOUBLE_EQ(o->edits[3].b, 2.0);
  EXPECT_EQ(o->edits[4].section, 1);
  EXPECT_EQ(o->edits[5].section, 3);
}

TEST(CommandLine, ExportWithoutFileLeavesItToTheCodeJob) {
  auto o = Parse({"export"});
  ASSERT_TRUE(o);
  EXPECT_FALSE(o->file);
}

TEST(CommandLine, PreviewTakesExactlyOnePngFile) {
  auto o = Parse({"--workdir", "/tmp/w", "preview", "job.png"});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->command, "preview");
  EXPECT_EQ(o->file, "job.png");
  std::string error;
  EXPECT_FALSE(Parse({"preview"}, &error));
  EXPECT_NE(error.find("PNG"), std::string::npos);
  EXPECT_FALSE(Parse({"preview", "a.png", "b.png"}));
}

TEST(CommandLine, CutOrderSwitchAndItsTime) {
  auto o = Parse({"--sort", "on", "--sort-time", "0.5", "--sort", "off", "export", "a.plt"});
  ASSERT_TRUE(o);
  ASSERT_EQ(o->edits.size(), 2u);
  EXPECT_EQ(o->edits[0].field, FieldEdit::Field::Sort);
  EXPECT_TRUE(o->edits[0].on);
  EXPECT_FALSE(o->edits[1].on);
  EXPECT_DOUBLE_EQ(*o->sortSeconds, 0.5);
  std::string error;
  EXPECT_FALSE(Parse({"--sort", "yes", "export"}, &error));
  EXPECT_EQ(error, "bad value for --sort: yes");
  EXPECT_FALSE(Parse({"--sort-time", "-1", "export"}));
  EXPECT_FALSE(Parse({"--sort-time", "1s", "export"}));
}

TEST(CommandLine, RejectsMalformedInput) {
  std::string error;
  EXPECT_FALSE(Parse({}, &error));
  EXPECT_EQ(error, "no command given");
  EXPECT_FALSE(Parse({"send"}, &error));
  EXPECT_FALSE(Parse({"--offset"}, &error));
  EXPECT_EQ(error, "--offset needs a value");
  EXPECT_FALSE(Parse({"--offset", "abc", "export"}, &error));
  EXPECT_EQ(error, "bad value for --offset: abc");
  EXPECT_FALSE(Parse({"--offset", "-0.3", "export"}));
  EXPECT_FALSE(Parse({"--offset", "0.3mm", "export"}));
  EXPECT_FALSE(Parse({"--origin", "1", "export"}));
  EXPECT_FALSE(Parse({"--dashed", "3;1", "export"}));
  EXPECT_FALSE(Parse({"--from", "256", "export"}));
  EXPECT_FALSE(Parse({"--to", "-1", "export"}));
  EXPECT_FALSE(Parse({"--frobnicate", "export"}, &error));
  EXPECT_EQ(error, "unknown option --frobnicate");
  EXPECT_FALSE(Parse({"export", "a.plt", "b.plt"}));
  // An empty work directory would be the file system's root.
  EXPECT_FALSE(Parse({"--workdir", "", "export", "a.plt"}, &error));
  EXPECT_EQ(error, "--workdir needs a directory, not an empty name");
}

// The field options take what the dialog's fields take; both ends count.
TEST(CommandLine, FieldValuesOutsideTheirRangeAreRefused) {
  struct Case {
    const char* option;
    const char* value;
    bool taken;
  };
  const Case cases[] = {
      {"--offset", "0", true},         {"--offset", "5", true},          {"--offset", "5.01", false},
      {"--close", "-0.01", false},     {"--close", "off", true},         {"--origin", "-5000,5000", true},
      {"--origin", "5000.5,0", false}, {"--origin", "0,-5001", false},   {"--dashed", "0.1,1000", true},
      {"--dashed", "0.09,1", false},   {"--dashed", "1,1000.01", false}, {"--dashed", "0,0", false},
      {"--tcp-port", "1", true},       {"--tcp-port", "65535", true},    {"--tcp-port", "0", false},
      {"--tcp-port", "65536", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Parse({c.option, c.value, "export"}).has_value(), c.taken) << c.option << " " << c.value;
  }
  std::string error;
  EXPECT_FALSE(Parse({"--offset", "7", "export"}, &error));
  EXPECT_EQ(error, "bad value for --offset: 7 (0 ~ 5 mm)");
  EXPECT_FALSE(Parse({"--origin", "1,99999", "export"}, &error));
  EXPECT_EQ(error, "bad value for --origin: 1,99999 (-5000 ~ 5000 mm)");
}

TEST(CommandLine, Help) {
  auto o = Parse({"--help"});
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->help);
}

}  // namespace
}  // namespace plotsend
