#include "win_resources.h"

#include <gtest/gtest.h>
#include "win_api.h"

#include "system_error_text.h"

namespace barsetup {
namespace {

TEST(WinResources, LoadsACustomTypeByNameAndId) {
  WinResources resources;
  std::vector<unsigned char> bytes;
  std::string error;
  ASSERT_TRUE(resources.Load("TESTBLOB", 7, &bytes, &error)) << error;
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "The adapter reads these bytes exactly.\r\n");
}

TEST(WinResources, AMissingResourceGivesTheSystemsText) {
  WinResources resources;
  std::vector<unsigned char> bytes;
  std::string error;
  EXPECT_FALSE(resources.Load("TESTBLOB", 8, &bytes, &error));
  EXPECT_EQ(error, SystemErrorText(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_FALSE(resources.Load("NOSUCHTYPE", 7, &bytes, &error));
  EXPECT_EQ(error, SystemErrorText(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_FALSE(error.empty());
  EXPECT_NE(error.back(), '\n');
}

TEST(SystemErrorText, TheMessageTableOrTheNumber) {
  EXPECT_EQ(SystemErrorText(ERROR_FILE_NOT_FOUND).find("Error "), std::string::npos);
  EXPECT_EQ(SystemErrorText(0x2fffffff), "Error 805306367");
}

}  // namespace
}  // namespace barsetup
