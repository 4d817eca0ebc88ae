#include "job/decimal.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "job/int_text.h"

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

// Every digit count and sign, the ends of the range and each power of ten
// with its neighbours: the same text as std::to_chars.
TEST(PutInt32, WritesWhatToCharsWrites) {
  std::vector<int32_t> values = {0, INT32_MAX, INT32_MIN, INT32_MIN + 1};
  for (int64_t t = 1; t <= INT32_MAX; t *= 10) {
    for (int64_t v : {t - 1, t, t + 1, 5 * t, 99 * t / 10}) {
      if (v > INT32_MAX) continue;
      values.push_back(static_cast<int32_t>(v));
      values.push_back(static_cast<int32_t>(-v));
    }
  }
  for (const int32_t v : values) {
    char want[16], got[16];
    const std::string expected(want, std::to_chars(want, want + sizeof want, v).ptr);
    EXPECT_EQ(std::string(got, PutInt32(got, v)), expected) << v;
  }
}

}  // namespace
}  // namespace plotsend
