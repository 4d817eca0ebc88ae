// Encoding names.
#include "xml/encoding_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "xml/text_convert.h"

namespace barsetup {
namespace {

TEST(EncodingNames, TableHasEveryNameOnce) {
  std::set<std::string> names;
  std::set<int> pages;
  ForEachEncodingName([&](std::string_view name, int cp) {
    names.insert(std::string(name));
    pages.insert(cp);
    EXPECT_EQ(CodePageFromName(name), cp) << name;
  });
  EXPECT_EQ(EncodingNameCount(), 365u);
  EXPECT_EQ(names.size(), 365u);
  EXPECT_EQ(pages.size(), 110u);
}

TEST(EncodingNames, Lookup) {
  EXPECT_EQ(CodePageFromName(""), 0);
  EXPECT_EQ(CodePageFromName("UTF-8"), 65001);
  EXPECT_EQ(CodePageFromName("Windows-1252"), 1252);
  EXPECT_EQ(CodePageFromName("GBK"), 936);
  EXPECT_EQ(CodePageFromName("shifft_jis"), 932);
  EXPECT_EQ(CodePageFromName("cp1256 "), 1256);
  EXPECT_EQ(CodePageFromName("_iso-2022-jp$sio"), 50222);
  EXPECT_EQ(CodePageFromName("ISO_646.IRV:1991"), 20127);
  EXPECT_EQ(CodePageFromName("utf-16be"), 1201);
  EXPECT_EQ(CodePageFromName("windows-1252 "), kUnknownCodePage);
  EXPECT_EQ(CodePageFromName("x-unheard-of"), kUnknownCodePage);
  // "UTF-32" and names that begin with it, in upper case, are UTF-32.
  EXPECT_EQ(CodePageFromName("UTF-32"), kCodePageUtf32);
  EXPECT_EQ(CodePageFromName("UTF-32BE"), kCodePageUtf32);
  EXPECT_EQ(CodePageFromName("utf-32"), 12000);
  EXPECT_EQ(CodePageFromName("utf-32be"), 12001);
  // Names of 100 characters or more are never found.
  EXPECT_EQ(CodePageFromName(std::string(99, 'a')), kUnknownCodePage);
  EXPECT_EQ(CodePageFromName("utf-8" + std::string(95, ' ')), kUnknownCodePage);
}

TEST(EncodingNames, CommonCodePagesConvert) {
  for (int cp : {437,  850,  866,   874,   932,   936,   949,   950,   1250,  1251, 1252, 1253,  1254,  1255, 1256,
                 1257, 1258, 20127, 20866, 28591, 28592, 28605, 65000, 65001, 1200, 1201, 12000, 12001, 65005}) {
    EXPECT_TRUE(CanConvertCodePage(cp, DefaultXmlPlatform())) << cp;
  }
  EXPECT_FALSE(CanConvertCodePage(0, DefaultXmlPlatform()));
  EXPECT_FALSE(CanConvertCodePage(kUnknownCodePage, DefaultXmlPlatform()));
}

}  // namespace
}  // namespace barsetup
