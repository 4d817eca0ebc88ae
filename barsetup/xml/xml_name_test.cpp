// Names that edits may write.
#include "xml/xml_name.h"

#include <gtest/gtest.h>

namespace barsetup {
namespace {

TEST(XmlName, CharacterClassesAtTheirEdges) {
  struct Case {
    uint32_t c;
    bool start, name;
  };
  const Case cases[] = {
      {'A', true, true},       {'z', true, true},      {'_', true, true},      {':', true, true},
      {'0', false, true},      {'-', false, true},     {'.', false, true},     {'@', false, false},
      {0xB7, false, true},     {0xBF, false, false},   {0xC0, true, true},     {0xD7, false, false},
      {0xF7, false, false},    {0x2FF, true, true},    {0x300, false, true},   {0x36F, false, true},
      {0x37E, false, false},   {0x37F, true, true},    {0x200B, false, false}, {0x200D, true, true},
      {0x203F, false, true},   {0x2041, false, false}, {0x2190, false, false}, {0x2FF0, false, false},
      {0x3000, false, false},  {0x3001, true, true},   {0xD800, false, false}, {0xFDD0, false, false},
      {0xFFFD, true, true},    {0xFFFE, false, false}, {0x10000, true, true},  {0xEFFFF, true, true},
      {0xF0000, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsNameStartChar(c.c), c.start) << std::hex << c.c;
    EXPECT_EQ(IsNameChar(c.c), c.name) << std::hex << c.c;
  }
}

TEST(XmlName, Utf8Text) {
  const XmlPlatform& p = DefaultXmlPlatform();
  for (const char* name : {"a", "_x", ":a", "x:y-z.1", "\xC3\xA9", "\xE5\x90\x8D\xE5\xAD\x97",
                           "a\xC2\xB7"
                           "b",
                           "a\xCC\x80", "\xF0\x90\x80\x80"}) {
    EXPECT_TRUE(IsXmlName(name, 65001, p)) << name;
  }
  for (std::string_view name :
       {std::string_view(""), std::string_view("1a"), std::string_view("-a"), std::string_view("a b"),
        std::string_view("<z>"), std::string_view("x=y"), std::string_view("q\""), std::string_view("a/"),
        std::string_view("a;b"), std::string_view("a\0b", 3), std::string_view("\xC3\x97"),
        std::string_view("\xCC\x80"
                         "a"),
        std::string_view("a\xC3"), std::string_view("\xC1\x81"), std::string_view("\xED\xA0\x80"),
        std::string_view("\xF4\x90\x80\x80"), std::string_view("a\x80")}) {
    EXPECT_FALSE(IsXmlName(name, 65001, p)) << name;
  }
}

TEST(XmlName, OtherTextCodePages) {
  const XmlPlatform& p = DefaultXmlPlatform();
  EXPECT_TRUE(IsXmlName("\xE9t\xE9", 1252, p));
  EXPECT_TRUE(IsXmlName("a\xB7", 1252, p));
  EXPECT_FALSE(
      IsXmlName("\xB7"
                "a",
                1252, p));                    // U+00B7 only after the first
  EXPECT_FALSE(IsXmlName("a\xD7", 1252, p));  // U+00D7, the multiplication sign
  // Double-byte characters; one whose second byte is "\" is refused, as the
  // document's scans would end the name there.
  EXPECT_TRUE(IsXmlName("\x93\xFA", 932, p));
  EXPECT_FALSE(IsXmlName("\x95\x5C", 932, p));
  EXPECT_FALSE(IsXmlName("\x93", 932, p));  // a lead byte alone
}

}  // namespace
}  // namespace barsetup
