// Tokenizer and parse.
#include "xml/markup_tokenizer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "xml/xml_document.h"

namespace barsetup {
namespace {

std::vector<int> Kinds(std::string_view text, std::string* records = nullptr) {
  std::vector<int> kinds;
  size_t pos = 0;
  for (;;) {
    MarkupNode n = NextNode(text, pos, records);
    if (n.kind == kNodeEndOfText) break;
    kinds.push_back(n.kind);
    EXPECT_GT(n.length, 0u);
    pos = n.start + n.length;
  }
  return kinds;
}

TEST(Tokenizer, NodeKindsOfAMixedDocument) {
  const std::string text =
      "<?xml version=\"1.0\"?>\n<!-- c -->"
      "<!DOCTYPE a [<!ELEMENT a ANY><!ENTITY e \"x\">]>"
      "<a x='1'>text<![CDATA[<b>]]> </a>";
  EXPECT_EQ(Kinds(text), (std::vector<int>{kNodeProcessingInstruction, kNodeWhitespace, kNodeComment, kNodeDocumentType,
                                           kNodeStartTag, kNodeText, kNodeCdata, kNodeWhitespace, kNodeEndTag}));
}

TEST(Tokenizer, StartTagNameAndQuotedGreaterThan) {
  const std::string text = "<item a=\"x>y\" b='>'>rest";
  MarkupNode n = NextNode(text, 0, nullptr);
  ASSERT_EQ(n.kind, kNodeStartTag);
  EXPECT_EQ(text.substr(n.nameStart, n.nameEnd - n.nameStart), "item");
  EXPECT_EQ(n.length, text.find("rest"));
  EXPECT_FALSE(n.emptyElement);
}

TEST(Tokenizer, EmptyElementUnlessSlashEndsAnUnquotedValue) {
  EXPECT_TRUE(NextNode("<a/>", 0, nullptr).emptyElement);
  EXPECT_TRUE(NextNode("<a v=x />", 0, nullptr).emptyElement);
  EXPECT_TRUE(NextNode("<a v='x'/>", 0, nullptr).emptyElement);
  EXPECT_TRUE(NextNode("<a v=\"x\"/>", 0, nullptr).emptyElement);
  EXPECT_FALSE(NextNode("<a v=x/>", 0, nullptr).emptyElement);
  EXPECT_FALSE(NextNode("<a v=/>", 0, nullptr).emptyElement);
}

TEST(Tokenizer, SyntaxErrorsGiveRecordsAndSkipToTheNextGreaterThan) {
  struct Case {
    const char* text;
    const char* record;
    size_t length;
  } cases[] = {
      {"<1>x", "<first_tag_syntax offset=\"0\"/>", 3},
      {"< a>x", "<first_tag_syntax offset=\"0\"/>", 4},
      {"<!-x>x", "<comment_tag_syntax offset=\"0\"/>", 5},
      {"<![X>x", "<cdata_section_syntax offset=\"0\"/>", 5},
      {"<!X>x", "<exclamation_tag_syntax offset=\"0\"/>", 4},
      {"<!DOCTYPE a [<x>]>", "<doctype_tag_syntax offset=\"0\"/>", 16},
  };
  for (const Case& c : cases) {
    std::string records;
    MarkupNode n = NextNode(c.text, 0, &records);
    EXPECT_EQ(n.kind, kNodeError) << c.text;
    EXPECT_EQ(records, c.record) << c.text;
    EXPECT_EQ(n.length, c.length) << c.text;
  }
}

TEST(Tokenizer, UnterminatedTagsNameTheirKind) {
  struct Case {
    const char* text;
    const char* kind;
  } cases[] = {
      {"<a b='>", "start_tag"},
      {"<a", "start_tag"},
      {"</a", "end_tag"},
      {"<![CDATA[x", "cdata_section"},
      {"<?pi", "processing_instruction"},
      {"<!-- x", "comment"},
      {"<!DOCTYPE a [<!ELEMENT", "document_type"},
      {"<!DOCTYPE a", "document_type"},
      {"<", "tag"},
      {"<!", "tag"},
  };
  for (const Case& c : cases) {
    std::string text = std::string("ab") + c.text;
    std::string records;
    MarkupNode n = NextNode(text, 2, &records);
    EXPECT_EQ(n.kind, kNodeError) << c.text;
    EXPECT_EQ(n.start + n.length, text.size()) << c.text;
    EXPECT_EQ(records, std::string("<unterminated_tag_syntax tagname=\"") + c.kind + "\" offset=\"2\"/>") << c.text;
  }
  // Unterminated text is no error.
  std::string records;
  EXPECT_EQ(NextNode("abc", 0, &records).kind, kNodeText);
  EXPECT_EQ(NextNode(" \t\r\n", 0, &records).kind, kNodeWhitespace);
  EXPECT_EQ(records, "");
}

TEST(Tokenizer, NamesEqualFoldsAsciiOnlyBeforeAMatchedHighByte) {
  EXPECT_TRUE(NamesEqual("Item", "item", true));
  EXPECT_FALSE(NamesEqual("Item", "item", false));
  EXPECT_FALSE(NamesEqual("item", "items", true));
  EXPECT_TRUE(NamesEqual("A\xC3\xA4", "a\xC3\xA4", true));
  EXPECT_FALSE(
      NamesEqual("\xC3\xA4"
                 "B",
                 "\xC3\xA4"
                 "b",
                 true));
}

// --- parse ---------------------------------------------------------------

struct Rec {
  uint32_t start, length, startTag, endTag;
  int32_t parent;
};

Rec RecordOf(const CXmlDocument& doc, int32_t p) {
  const ElementRecord& r = doc.Index()[p];
  return {doc.Index().Start(p), r.length, r.startTagLength, r.endTagLength, r.parent};
}

TEST(Parse, EmptyTextFailsWithoutRecords) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseText(""));
  EXPECT_FALSE(doc.ParseText(static_cast<const char*>(nullptr)));
  EXPECT_EQ(doc.GetResult(), "");
  EXPECT_EQ(doc.Index().Count(), 1u);
}

TEST(Parse, NoRootAndRootSiblings) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseText("<!-- only a comment -->"));
  EXPECT_EQ(doc.GetResult(), "<no_root_element/>");
  EXPECT_FALSE(doc.ParseText("<a/><b/>"));
  EXPECT_EQ(doc.GetResult(), "<root_has_sibling/>");
  EXPECT_EQ(doc.ElementCount(), 2u);
}

TEST(Parse, WellFormedDocumentRecords) {
  const std::string text = "<?xml version=\"1.0\"?>\r\n<!-- x --><r a=\"1\">\r\n <b>t</b>\r\n <c/>\r\n</r>\r\n";
  CXmlDocument doc;
  EXPECT_TRUE(doc.ParseText(text));
  EXPECT_EQ(doc.GetResult(), "");
  ASSERT_EQ(doc.Index().Count(), 4u);
  const size_t r = text.find("<r"), b = text.find("<b"), c = text.find("<c");
  Rec root = RecordOf(doc, 1);
  EXPECT_EQ(root.start, r);
  EXPECT_EQ(root.length, text.size() - 2 - r);
  EXPECT_EQ(root.startTag, 9u);
  EXPECT_EQ(root.endTag, 4u);
  Rec rb = RecordOf(doc, 2);
  EXPECT_EQ(rb.start, b);
  EXPECT_EQ(rb.length, 8u);
  EXPECT_EQ(rb.parent, 1);
  Rec rc = RecordOf(doc, 3);
  EXPECT_EQ(rc.start, c);
  EXPECT_EQ(rc.length, 4u);
  EXPECT_EQ(rc.startTag, 4u);
  EXPECT_EQ(rc.endTag, 0u);
  const ElementIndex& idx = doc.Index();
  EXPECT_EQ(idx[0].firstChild, 1);
  EXPECT_EQ(idx[0].length, text.size());
  EXPECT_EQ(idx[1].firstChild, 2);
  EXPECT_EQ(idx[2].next, 3);
  EXPECT_EQ(idx[3].next, 0);
  EXPECT_EQ(idx[2].prev, 3);  // the first child's prev is the last sibling
  EXPECT_EQ(idx[3].prev, 2);
  EXPECT_TRUE(idx[2].flags & kElementFirstChild);
  EXPECT_FALSE(idx[3].flags & kElementFirstChild);
  EXPECT_EQ(idx[1].depth, 0u);
  EXPECT_EQ(idx[3].depth, 1u);
}

TEST(Parse, EndTagClosingAnOuterElementLeavesTheInnerUnended) {
  const std::string text = "<a><b><c/></a>";
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseText(text));
  EXPECT_EQ(doc.GetResult(), "<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"11\"/>");
  const ElementIndex& idx = doc.Index();
  EXPECT_TRUE(idx[2].flags & kElementUnended);
  EXPECT_EQ(idx[2].length, 3u);
  EXPECT_EQ(idx[1].length, text.size());
  EXPECT_EQ(idx[1].endTagLength, 4u);
  // c became b's following sibling under a.
  EXPECT_EQ(idx[3].parent, 1);
  EXPECT_EQ(idx[2].next, 3);
  EXPECT_EQ(idx[2].firstChild, 0);
  EXPECT_EQ(idx[idx[1].firstChild].prev, 3);
  EXPECT_TRUE(idx[0].flags & kDocumentNotWellFormed);
}

TEST(Parse, LoneEndTagIsSkippedAndMarksItsParent) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseText("<a></b></a>"));
  EXPECT_EQ(doc.GetResult(), "<lone_end_tag tagname=\"b\" offset=\"3\"/>");
  EXPECT_EQ(doc.Index()[1].length, 11u);
  EXPECT_TRUE(doc.Index()[1].flags & kElementMarkupError);
}

TEST(Parse, OpenElementsAtTheEndBecomeTopLevel) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseText("<a><b><c/>"));
  EXPECT_EQ(doc.GetResult(),
            "<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"10\"/>"
            "<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"10\"/>"
            "<root_has_sibling/>");
  const ElementIndex& idx = doc.Index();
  EXPECT_EQ(idx[0].firstChild, 1);
  EXPECT_EQ(idx[1].next, 2);
  EXPECT_EQ(idx[2].next, 3);
  for (int32_t p = 1; p <= 3; ++p) EXPECT_EQ(idx[p].parent, 0);
}

TEST(Parse, SyntaxErrorMarksTheInnermostOpenElement) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseText("<a><b><1></b></a>"));
  EXPECT_EQ(doc.GetResult(), "<first_tag_syntax offset=\"6\"/>");
  EXPECT_TRUE(doc.Index()[2].flags & kElementMarkupError);
  EXPECT_FALSE(doc.Index()[1].flags & kElementMarkupError);
}

TEST(Parse, CaseFoldingFlagAppliesToEndTags) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseText("<A></a>"));
  doc.SetDocFlags(kDocIgnoreCase);
  EXPECT_TRUE(doc.ParseText("<A></a>"));
}

TEST(Parse, MalformedNestingStaysLinear) {
  // Deep open elements followed by many end tags that close nothing, and a
  // long chain of unended elements: both must parse in linear time.
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "<a>";
  for (int i = 0; i < 100000; ++i) text += "</b>";
  std::string chain;
  for (int i = 0; i < 100000; ++i) chain += "<x><y/>";
  auto t0 = std::chrono::steady_clock::now();
  CXmlDocument doc;
  EXPECT_FALSE(doc.ParseText(text));
  EXPECT_EQ(doc.ElementCount(), 100000u);
  EXPECT_FALSE(doc.ParseText(chain));
  EXPECT_EQ(doc.ElementCount(), 200000u);
  // Every element ended up at top level, in document order.
  int32_t n = 0;
  uint32_t last = 0;
  for (int32_t p = doc.Index()[0].firstChild; p != 0; p = doc.Index()[p].next, ++n) {
    EXPECT_EQ(doc.Index()[p].parent, 0);
    if (n > 0) {
      ASSERT_GT(doc.Index().Start(p), last);
    }
    last = doc.Index().Start(p);
  }
  EXPECT_EQ(n, 200000);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
}

TEST(Parse, IndexGrowsPastOneSegment) {
  std::string text = "<r>";
  for (int i = 0; i < 70000; ++i) text += "<i/>";
  text += "</r>";
  CXmlDocument doc;
  EXPECT_TRUE(doc.ParseText(text));
  EXPECT_EQ(doc.ElementCount(), 70001u);
  EXPECT_EQ(doc.Index().Start(70001), text.size() - 8);
  EXPECT_EQ(doc.Index()[doc.Index()[1].firstChild].prev, 70001);
}

}  // namespace
}  // namespace barsetup
