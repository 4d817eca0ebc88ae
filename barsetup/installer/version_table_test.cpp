#include "installer/version_table.h"

#include <gtest/gtest.h>

namespace barsetup {
namespace {

TEST(VersionTable, RowsAscendWithTheirKeysAndLabels) {
  const auto& table = VersionTable();
  std::string labels;
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].version, 12 + static_cast<int>(i));
    EXPECT_EQ(table[i].packaged, table[i].version >= 17);
    EXPECT_EQ(table[i].directoriesKey, table[i].productKey + "\\Application Preferences\\Directories");
    labels += table[i].label;
  }
  EXPECT_EQ(labels, " 12 X3 X4 X5 X6 X7 X8 2017 2018 2019 2020");
  EXPECT_EQ(table[0].productKey, "Software\\Corel\\CorelDRAW\\12.0\\CorelDRAW");
  EXPECT_EQ(table[0].workspaceValue, "LastWorkspaceUsed");
  EXPECT_EQ(table[3].productKey, "Software\\Corel\\CorelDRAW\\15.0\\Draw");
  EXPECT_EQ(table[10].productKey, "Software\\Corel\\CorelDRAW\\22.0\\Draw");
  EXPECT_EQ(table[10].workspaceValue, "LastCorelWorkspaceUsed");
}

// The keys of 12.0 to 14.0 have no trailing ";", so that those versions are
// found under their product keys.
TEST(VersionTable, OldDirectoriesKeysHaveNoSemicolon) {
  EXPECT_EQ(VersionTable()[0].directoriesKey,
            "Software\\Corel\\CorelDRAW\\12.0\\CorelDRAW\\Application Preferences\\Directories");
  EXPECT_EQ(VersionTable()[2].directoriesKey,
            "Software\\Corel\\CorelDRAW\\14.0\\CorelDRAW\\Application Preferences\\Directories");
}

}  // namespace
}  // namespace barsetup
