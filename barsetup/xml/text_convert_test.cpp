// Code page conversion.
#include "xml/text_convert.h"

#include <gtest/gtest.h>

#include "xml/encoding_names.h"

namespace barsetup {
namespace {

const XmlPlatform& P() { return DefaultXmlPlatform(); }

std::string Le16(std::u16string_view units) {
  std::string b;
  for (char16_t u : units) {
    b.push_back(static_cast<char>(u & 0xFF));
    b.push_back(static_cast<char>(u >> 8));
  }
  return b;
}

TEST(Convert, Utf8AndUtf16) {
  const std::string utf8 = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";  // a é 中 😀
  std::string utf16, back;
  ConversionResult r = ConvertCodePage(65001, utf8, 1200, utf16, P());
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.loss);
  EXPECT_EQ(utf16, Le16(u"a\u00E9\u4E2D\U0001F600"));
  EXPECT_FALSE(ConvertCodePage(1200, utf16, 65001, back, P()).loss);
  EXPECT_EQ(back, utf8);
  std::string be;
  ConvertCodePage(65001, "A\xC3\xA9", 1201, be, P());
  EXPECT_EQ(be, std::string("\0A\0\xE9", 4));
}

TEST(Convert, UnpairedSurrogatesSurviveARoundTrip) {
  const std::string units = Le16(std::u16string{u'x', char16_t(0xD800), u'y', char16_t(0xDC01)});
  std::string utf8, back;
  EXPECT_FALSE(ConvertCodePage(1200, units, 65001, utf8, P()).loss);
  EXPECT_EQ(utf8, "x\xED\xA0\x80y\xED\xB0\x81");
  EXPECT_FALSE(ConvertCodePage(65001, utf8, 1200, back, P()).loss);
  EXPECT_EQ(back, units);
}

TEST(Convert, InvalidUtf8IsReplacedAndReported) {
  std::string utf16;
  ConversionResult r = ConvertCodePage(65001,
                                       "a\xFF"
                                       "b\xC3",
                                       1200, utf16, P());
  EXPECT_TRUE(r.loss);
  EXPECT_EQ(utf16, Le16(u"a\uFFFDb\uFFFD"));
}

TEST(Convert, Utf32) {
  std::string u32, back;
  EXPECT_TRUE(ConvertText("", "A\xF0\x9F\x98\x80", "UTF-32", u32, P(), 65001).ok);
  EXPECT_EQ(u32, std::string("A\0\0\0\x00\xF6\x01\x00", 8));
  EXPECT_TRUE(ConvertText("UTF-32", u32, "", back, P(), 65001).ok);
  EXPECT_EQ(back, "A\xF0\x9F\x98\x80");
  // An invalid UTF-8 sequence becomes "?".
  ConversionResult r = ConvertText("", "\xFF", "UTF-32", u32, P(), 65001);
  EXPECT_TRUE(r.loss);
  EXPECT_EQ(u32, std::string("?\0\0\0", 4));
  // Big-endian units by the table's name.
  EXPECT_TRUE(ConvertText("", "A", "utf-32be", u32, P(), 65001).ok);
  EXPECT_EQ(u32, std::string("\0\0\0A", 4));
  // Out-of-range units and a partial unit are losses.
  EXPECT_TRUE(ConvertText("UTF-32", std::string("\0\0\x11\0A\0\0\0B", 9), "", back, P(), 65001).loss);
  EXPECT_EQ(back, "?A");
  // UTF-16 to UTF-32 combines surrogate pairs.
  EXPECT_TRUE(ConvertCodePage(1200, Le16(u"\U0001F600"), 65005, u32, P()).ok);
  EXPECT_EQ(u32, std::string("\x00\xF6\x01\x00", 4));
}

TEST(Convert, WesternCodePageWithDefaultCharacter) {
  std::string out, back;
  ConversionResult r = ConvertCodePage(65001, "caf\xC3\xA9 \xE2\x82\xAC", 1252, out, P());
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.loss);
  EXPECT_EQ(out, "caf\xE9 \x80");
  EXPECT_FALSE(ConvertCodePage(1252, out, 65001, back, P()).loss);
  EXPECT_EQ(back, "caf\xC3\xA9 \xE2\x82\xAC");
  // Characters the code page lacks become "?" and are reported; no
  // look-alike letter is put in their place.
  r = ConvertCodePage(65001, "\xE4\xB8\xAD-\xC4\x81", 1252, out, P());
  EXPECT_TRUE(r.loss);
  EXPECT_EQ(out, "?-?");
}

TEST(Convert, ChineseCodePage) {
  std::string out, back;
  ConversionResult r = ConvertCodePage(65001, "\xE4\xB8\xAD\xE6\x96\x87 ok", 936, out, P());
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.loss);
  EXPECT_EQ(out, "\xD6\xD0\xCE\xC4 ok");
  EXPECT_FALSE(ConvertCodePage(936, out, 65001, back, P()).loss);
  EXPECT_EQ(back, "\xE4\xB8\xAD\xE6\x96\x87 ok");
  // One default character per UTF-16 unit.
  r = ConvertCodePage(65001, "\xF0\x9F\x98\x80", 936, out, P());
  EXPECT_TRUE(r.loss);
  EXPECT_EQ(out, "??");
}

TEST(Convert, DefaultCharacterIsNotRequestedForStatefulAndUtfPages) {
  for (int cp : {50220, 50221, 50222, 50225, 50227, 50229, 52936, 54936, 57002, 57007, 57011, 65000, 65001}) {
    EXPECT_FALSE(RequestsDefaultCharacter(cp)) << cp;
  }
  for (int cp : {1252, 936, 932, 57001, 57012, 28591}) EXPECT_TRUE(RequestsDefaultCharacter(cp)) << cp;
  // GB18030 is converted without the indicator (Wine has no GB18030).
  if (!CanConvertCodePage(54936, P())) GTEST_SKIP() << "no GB18030 converter";
  std::string out;
  EXPECT_FALSE(ConvertCodePage(65001, "\xF0\x9F\x98\x80", 54936, out, P()).loss);
  EXPECT_EQ(out, "\x94\x39\xFC\x36");
}

TEST(Convert, UnknownNamesAreRefused) {
  std::string out = "keep";
  EXPECT_FALSE(ConvertText("x-unheard-of", "a", "", out, P(), 65001).ok);
}

}  // namespace
}  // namespace barsetup
