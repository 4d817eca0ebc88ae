#include "installer/version_table.h"

namespace barsetup {
namespace {

VersionRow Row(int version, const char* product, const char* label) {
  const std::string productKey = "Software\\Corel\\CorelDRAW\\" + std::to_string(version) + ".0\\" + product;
  const bool packaged = version >= 17;
  return VersionRow{version,
                    productKey,
                    packaged ? "LastCorelWorkspaceUsed" : "LastWorkspaceUsed",
                    packaged,
                    productKey + "\\Application Preferences\\Directories",
                    label};
}

std::array<VersionRow, kVersionCount> BuildTable() {
  return {Row(12, "CorelDRAW", " 12"), Row(13, "CorelDRAW", " X3"), Row(14, "CorelDRAW", " X4"),
          Row(15, "Draw", " X5"),      Row(16, "Draw", " X6"),      Row(17, "Draw", " X7"),
          Row(18, "Draw", " X8"),      Row(19, "Draw", " 2017"),    Row(20, "Draw", " 2018"),
          Row(21, "Draw", " 2019"),    Row(22, "Draw", " 2020")};
}

}  // namespace

const std::array<VersionRow, kVersionCount>& VersionTable() {
  static const std::array<VersionRow, kVersionCount> table = BuildTable();
  return table;
}

}  // namespace barsetup
