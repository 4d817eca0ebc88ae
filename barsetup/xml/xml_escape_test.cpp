// Attributes and decoding; escaping.
#include "xml/xml_escape.h"

#include <gtest/gtest.h>

#include "xml/xml_document.h"

namespace barsetup {
namespace {

std::string Attr(std::string_view tag, std::string_view name) {
  CXmlDocument doc{std::string(tag)};
  EXPECT_TRUE(doc.FindElement());
  return doc.GetAttribute(name);
}

TEST(Attributes, ScanningRules) {
  const char* tag = "<e a=\"1\" b='two' c=bare d flag e = \"sp aced\" f=\"x>y\"/>";
  EXPECT_EQ(Attr(tag, "a"), "1");
  EXPECT_EQ(Attr(tag, "b"), "two");
  EXPECT_EQ(Attr(tag, "c"), "bare");
  EXPECT_EQ(Attr(tag, "d"), "d");  // no "=": the name is the value
  EXPECT_EQ(Attr(tag, "flag"), "flag");
  EXPECT_EQ(Attr(tag, "e"), "sp aced");
  EXPECT_EQ(Attr(tag, "f"), "x>y");
  EXPECT_EQ(Attr(tag, "g"), "");
  EXPECT_EQ(Attr(tag, "A"), "");
  EXPECT_EQ(Attr("<e a=\"1\" a=\"2\"/>", "a"), "1");  // the first one
  EXPECT_EQ(Attr("<e a/b=\"1\"/>", "b"), "");         // "/" ends the scan
  CXmlDocument none;
  EXPECT_EQ(none.GetAttribute("a"), "");
}

TEST(Attributes, CaseFolding) {
  CXmlDocument doc("<e Name=\"v\"/>");
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(doc.GetAttribute("name"), "");
  doc.SetDocFlags(kDocIgnoreCase);
  EXPECT_EQ(doc.GetAttribute("name"), "v");
}

TEST(Attributes, DecodingReferences) {
  EXPECT_EQ(Attr("<e v=\"&lt;&gt;&amp;&quot;&apos;\"/>", "v"), "<>&\"'");
  EXPECT_EQ(Attr("<e v=\"&#65;&#x42;&#X43;&#0068;\"/>", "v"), "ABCD");
  EXPECT_EQ(Attr("<e v=\"&#x1F600;\"/>", "v"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Attr("<e v=\"&eacute;&euro;&nbsp;\"/>", "v"), "\xC3\xA9\xE2\x82\xAC\xC2\xA0");
  // Unknown names, code point 0, surrogates, too long names stay as written.
  EXPECT_EQ(Attr("<e v=\"&bogus; &#0; &#xD800; &abcdefghij; &amp\"/>", "v"), "&bogus; &#0; &#xD800; &abcdefghij; &amp");
  EXPECT_EQ(Attr("<e v=\"&&amp;\"/>", "v"), "&&");
}

TEST(Attributes, EntityCaseExactFirstThenFolded) {
  EXPECT_EQ(Attr("<e v=\"&oslash;\"/>", "v"), "\xC3\xB8");  // U+00F8
  EXPECT_EQ(Attr("<e v=\"&Oslash;\"/>", "v"), "\xC3\x98");  // U+00D8
  EXPECT_EQ(Attr("<e v=\"&AMP;&Lt;\"/>", "v"), "&<");
  EXPECT_EQ(LookupEntity("Dagger"), 8225u);
  EXPECT_EQ(LookupEntity("dagger"), 8224u);
  EXPECT_EQ(LookupEntity("DAGGER"), 8224u);
  EXPECT_EQ(LookupEntity("apos"), 39u);
  EXPECT_EQ(LookupEntity("thetasym"), 977u);
  EXPECT_EQ(LookupEntity("nosuch"), 0u);
  EXPECT_EQ(EntityCount(), 253u);
}

TEST(Attributes, ReferencesOutsideTheTextCodePageStay) {
  CXmlDocument doc(DefaultXmlPlatform(), 1252);
  doc.ParseText("<e v=\"&eacute;&euro;&alpha;&#x4E2D;\"/>");
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(doc.GetAttribute("v"), "\xE9\x80&alpha;&#x4E2D;");
}

TEST(Attributes, SetAttributeReplacesInPlaceAndAppendsNew) {
  CXmlDocument doc("<r><e a='1' b=2 c/><f />\r\n</r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("e"));
  ASSERT_TRUE(doc.SetAttribute("a", "x\"y'<&"));
  ASSERT_TRUE(doc.SetAttribute("b", "3"));
  ASSERT_TRUE(doc.SetAttribute("c", "on"));
  ASSERT_TRUE(doc.SetAttribute("d", "new"));
  EXPECT_EQ(doc.Text(), "<r><e a=\"x&quot;y&apos;&lt;&amp;\" b=\"3\" c=\"on\" d=\"new\"/><f />\r\n</r>");
  EXPECT_EQ(doc.GetAttribute("a"), "x\"y'<&");
  ASSERT_TRUE(doc.FindElement("f"));
  ASSERT_TRUE(doc.SetAttribute("g", ""));
  EXPECT_EQ(doc.Text(), "<r><e a=\"x&quot;y&apos;&lt;&amp;\" b=\"3\" c=\"on\" d=\"new\"/><f g=\"\" />\r\n</r>");
  // The start-tag lengths follow the edits.
  CXmlDocument fresh(doc.Text());
  EXPECT_EQ(fresh.Index()[2].startTagLength, doc.Index()[2].startTagLength);
  EXPECT_EQ(fresh.Index()[3].startTagLength, doc.Index()[3].startTagLength);
  EXPECT_EQ(fresh.Index()[1].length, doc.Index()[1].length);
  EXPECT_EQ(fresh.Index().Start(3), doc.Index().Start(3));
}

TEST(Attributes, ScanStartsAfterTheTagNameAsParsed) {
  // "a;b=c" is one name to the parse; no attribute "b" hides in it, and a
  // value written for one with white space in it cannot split the name.
  EXPECT_EQ(Attr("<a;b=c d='1'/>", "b"), "");
  EXPECT_EQ(Attr("<a;b=c d='1'/>", "d"), "1");
  CXmlDocument doc(std::string("<x\0y z/>", 8));
  ASSERT_TRUE(doc.FindElement("x"));
  ASSERT_TRUE(doc.SetAttribute("y", "1 2"));
  EXPECT_EQ(doc.Text(), std::string("<x\0y z y=\"1 2\"/>", 16));
  EXPECT_TRUE(CXmlDocument().ParseText(doc.Text()));
}

TEST(Attributes, NewAttributesStayInsideTheStartTag) {
  // A quote in the tag name opens no value for the parse, but does for the
  // attribute scan; an added attribute must still land inside the tag.
  for (const char* text : {"<a\"/>", "<a\">x</a\">", "<a?'\">x</a?'\">"}) {
    CXmlDocument doc(text);
    ASSERT_TRUE(doc.FindElement("a")) << text;
    ASSERT_TRUE(doc.SetAttribute("n", "v")) << text;
    CXmlDocument fresh(doc.Text());
    EXPECT_EQ(fresh.Index()[1].startTagLength, doc.Index()[1].startTagLength) << doc.Text();
    EXPECT_EQ(fresh.Index()[1].length, doc.Index()[1].length) << doc.Text();
    EXPECT_NE(doc.Text().find("\" n=\"v\""), std::string::npos) << doc.Text();
    EXPECT_TRUE(fresh.ParseText(doc.Text())) << doc.Text();
  }
}

TEST(Attributes, ASlashThatEndsAnUnquotedValueKeepsTheElementOpen) {
  // The parse reads `<a v=x/>` as a start tag whose value runs to the ">";
  // a quoted value written before that "/" must not make it close the tag.
  CXmlDocument doc("<r><a v=x/></a></r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("a"));
  ASSERT_TRUE(doc.SetAttribute("b", "1"));
  EXPECT_EQ(doc.Text(), "<r><a b=\"1\" v=x/></a></r>");
  ASSERT_TRUE(doc.SetAttribute("v", "2"));
  EXPECT_EQ(doc.Text(), "<r><a b=\"1\" v=\"2\"></a></r>");
  EXPECT_EQ(doc.GetAttribute("b"), "1");
  CXmlDocument fresh(doc.Text());
  EXPECT_EQ(fresh.Index()[2].length, doc.Index()[2].length);
  EXPECT_EQ(fresh.Index()[2].startTagLength, doc.Index()[2].startTagLength);
  EXPECT_TRUE(fresh.ParseText(doc.Text()));
}

TEST(Escaping, Flags) {
  EXPECT_EQ(Escape("a<b>&c\"d'", 0), "a&lt;b&gt;&amp;c\"d'");
  EXPECT_EQ(Escape("\"'", kEscapeQuotes), "&quot;&apos;");
  EXPECT_EQ(Escape("&amp; &#12; &x-y.z:_; &\xC3\xA9; & &; &1; &a b;", kEscapeKeepReferences),
            "&amp; &#12; &x-y.z:_; &\xC3\xA9; &amp; &amp;; &amp;1; &amp;a b;");
  EXPECT_EQ(Escape("\xE4\xB8\xAD<", 0), "\xE4\xB8\xAD&lt;");
  EXPECT_EQ(Escape("", 0), "");
}

}  // namespace
}  // namespace barsetup
