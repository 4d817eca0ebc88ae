#include "app/win/field_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace plotsend::win32 {
namespace {

TEST(FieldText, RealFieldsTakeNumbersWithBlanksAndNothingElse) {
  EXPECT_EQ(ParseRealField("0.35"), 0.35);
  EXPECT_EQ(ParseRealField("  -2 "), -2.0);
  EXPECT_EQ(ParseRealField("+1.5"), 1.5);
  EXPECT_EQ(ParseRealField("1e-3"), 0.001);
  EXPECT_EQ(ParseRealField(".5"), 0.5);
  for (const char* text : {"", "   ", "abc", "0,35", "1.2.3", "0.35mm", "+-1", "++1", "inf", "nan", "1e999", "-"}) {
    EXPECT_FALSE(ParseRealField(text).has_value()) << '"' << text << '"';
  }
}

TEST(FieldText, SectionFieldsAcceptZeroTo255) {
  EXPECT_EQ(ParseSectionField("0"), uint8_t{0});
  EXPECT_EQ(ParseSectionField(" 255"), uint8_t{255});
  EXPECT_EQ(ParseSectionField("+7"), uint8_t{7});
  for (const char* text : {"", "256", "-1", "1000", "3.0", "x", "99999999999999999999"}) {
    EXPECT_FALSE(ParseSectionField(text).has_value()) << '"' << text << '"';
  }
}

TEST(FieldText, IntegerFieldsKeepToTheirRange) {
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(ParseIntegerField("9100", kMin, kMax), 9100);
  EXPECT_EQ(ParseIntegerField("-2147483648", kMin, kMax), kMin);
  EXPECT_FALSE(ParseIntegerField("2147483648", kMin, kMax).has_value());
  EXPECT_FALSE(ParseIntegerField("91 00", kMin, kMax).has_value());
}

TEST(FieldText, RealFieldsShowTheShortestTextThatReadsBack) {
  EXPECT_EQ(FormatRealField(0.35), "0.35");
  EXPECT_EQ(FormatRealField(3.0), "3");
  EXPECT_EQ(FormatRealField(-0.5), "-0.5");
  for (double value : {0.1, 1.0 / 3.0, 12345.678, -1e-7, 1e20}) {
    EXPECT_EQ(ParseRealField(FormatRealField(value)), value) << FormatRealField(value);
  }
}

TEST(FieldText, FileDialogFilterEndsWithTwoNuls) {
  const std::wstring filter = FileDialogFilter(L"PLT Files(*.plt)|*.plt|");
  EXPECT_EQ(filter, std::wstring(L"PLT Files(*.plt)\0*.plt\0\0", 24));
  // Without the closing '|' the list still ends with two NULs.
  EXPECT_EQ(FileDialogFilter(L"A|*.a"), std::wstring(L"A\0*.a\0\0", 7));
}

}  // namespace
}  // namespace plotsend::win32
