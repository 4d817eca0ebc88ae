#include "installer/win32/win_resources.h"

#include "installer/win32/win_api.h"
#include <gtest/gtest.h>

#include "common/win32/wide_text.h"

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
  EXPECT_EQ(error, plotara::SystemErrorText(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_FALSE(resources.Load("NOSUCHTYPE", 7, &bytes, &error));
  EXPECT_EQ(error, plotara::SystemErrorText(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_FALSE(error.empty());
  EXPECT_NE(error.back(), '\n');
}

}  // namespace
}  // namespace barsetup
