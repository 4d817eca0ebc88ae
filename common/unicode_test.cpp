// Surrogate pairs both ways, and units that are half of no pair.
#include "common/unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plotara {
namespace {

TEST(Unicode, PairsCombineAndSplitAndLoneUnitsStandForThemselves) {
  const struct {
    std::u16string units;
    std::vector<uint32_t> codePoints;
  } cases[] = {
      {u"a\u00E9\uFFFF", {0x61, 0xE9, 0xFFFF}},
      {{0xD800, 0xDC00, 0xD83D, 0xDE00, 0xDBFF, 0xDFFF}, {0x10000, 0x1F600, 0x10FFFF}},
      {{0xD800, u'x', 0xDC01, 0xD800}, {0xD800, 0x78, 0xDC01, 0xD800}},  // lone halves
      {{0xDC00, 0xD800, 0xDBFF, 0xDC00}, {0xDC00, 0xD800, 0x10FC00}},    // low before high
  };
  for (const auto& c : cases) {
    std::vector<uint32_t> read;
    for (size_t i = 0; i < c.units.size();) read.push_back(NextCodePoint(c.units, &i));
    EXPECT_EQ(read, c.codePoints);
    std::u16string written;
    for (uint32_t cp : c.codePoints) AppendUtf16(written, cp);
    EXPECT_EQ(written, c.units);
  }
  EXPECT_TRUE(IsHighSurrogate(0xDBFF) && IsLowSurrogate(0xDC00) && IsSurrogate(0xDFFF));
  EXPECT_FALSE(IsHighSurrogate(0xDC00) || IsLowSurrogate(0xDBFF) || IsSurrogate(0xE000) || IsSurrogate(0xD7FF));
}

}  // namespace
}  // namespace plotara
