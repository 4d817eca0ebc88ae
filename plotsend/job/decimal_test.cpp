#include "decimal.h"

#include <gtest/gtest.h>

namespace plotsend {
namespace {

TEST(ParseInt32, ReadsLikeTheCRuntime) {
  EXPECT_EQ(ParseInt32("123"), 123);
  EXPECT_EQ(ParseInt32("  -45x"), -45);
  EXPECT_EQ(ParseInt32("+7"), 7);
  EXPECT_EQ(ParseInt32("1-2"), 1);
  EXPECT_EQ(ParseInt32("--5"), 0);
  EXPECT_EQ(ParseInt32(""), 0);
  EXPECT_EQ(ParseInt32("abc"), 0);
}

TEST(ParseInt32, SaturatesInsteadOfWrapping) {
  EXPECT_EQ(ParseInt32("2147483647"), INT32_MAX);
  EXPECT_EQ(ParseInt32("2147483648"), INT32_MAX);
  EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInt32("-99999999999999999999999"), INT32_MIN);
  EXPECT_EQ(ParseInt32("4294967296"), INT32_MAX);
}

}  // namespace
}  // namespace plotsend
