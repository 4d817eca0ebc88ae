// Navigation and search; editing.
#include "xml/xml_document.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace barsetup {
namespace {

// The live records of a document by start offset, as tuples that a fresh
// parse of the same text must reproduce after any edit.
struct Shape {
  uint32_t length, startTag, endTag;
  uint32_t parentStart;  // start of the parent, UINT32_MAX for top level
  size_t childCount;
  bool operator==(const Shape&) const = default;
};

std::map<uint32_t, Shape> ShapeOf(const CXmlDocument& doc) {
  std::map<uint32_t, Shape> shape;
  const ElementIndex& idx = doc.Index();
  // Walk the tree from record 0 so that links are exercised too.
  std::vector<int32_t> pending{0};
  while (!pending.empty()) {
    int32_t p = pending.back();
    pending.pop_back();
    size_t children = 0;
    int32_t last = 0;
    for (int32_t c = idx[p].firstChild; c != 0; c = idx[c].next) {
      EXPECT_EQ(idx[c].parent, p);
      EXPECT_EQ((idx[c].flags & kElementFirstChild) != 0, c == idx[p].firstChild);
      EXPECT_FALSE(idx[c].flags & kElementReleased);
      if (last != 0) {
        EXPECT_EQ(idx[c].prev, last);
      }
      last = c;
      ++children;
      pending.push_back(c);
    }
    if (last != 0) {
      EXPECT_EQ(idx[idx[p].firstChild].prev, last);
    }
    if (p == 0) {
      EXPECT_EQ(idx[0].length, doc.Text().size());
      continue;
    }
    shape[idx.Start(p)] = {idx[p].length, idx[p].startTagLength, idx[p].endTagLength,
                           idx[p].parent != 0 ? idx.Start(idx[p].parent) : UINT32_MAX, children};
  }
  return shape;
}

// The index after edits equals the index of a fresh parse of the text.
void ExpectIndexTrue(const CXmlDocument& doc) {
  CXmlDocument fresh;
  fresh.SetDocFlags(doc.DocFlags());
  fresh.ParseText(doc.Text());
  EXPECT_EQ(ShapeOf(doc), ShapeOf(fresh)) << doc.Text();
  EXPECT_EQ(doc.ElementCount(), fresh.ElementCount());
}

std::string CurrentName(const CXmlDocument& doc) { return std::string(doc.ElementName(doc.CurrentPos())); }

// --- navigation and search -----------------------------------------------

TEST(Navigation, NameMatchesWholeNamesOnly) {
  CXmlDocument doc("<r><items/><ite/><item n='1'/><item n='2'/></r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("item"));
  EXPECT_EQ(doc.GetAttribute("n"), "1");
  ASSERT_TRUE(doc.FindElement("item"));
  EXPECT_EQ(doc.GetAttribute("n"), "2");
  EXPECT_FALSE(doc.FindElement("item"));
  EXPECT_EQ(doc.GetAttribute("n"), "2");  // a failed search keeps the position
  doc.RewindElements();
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(CurrentName(doc), "items");
  ASSERT_TRUE(doc.FindElement(""));
  EXPECT_EQ(CurrentName(doc), "ite");
}

TEST(Navigation, PathSyntax) {
  CXmlDocument doc("<r><a><b/></a><c/></r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  const char* finds[] = {"a/b",        "a[1]",        "a[12]",   "a[b]", "a[@x]",
                         "a[@x='v]']", "a[@x=\"v\"]", "a[@x=v]", "a/@x", "a/b[2]/c"};
  for (const char* path : finds) {
    doc.RewindElements();
    EXPECT_TRUE(doc.FindElement(path)) << path;
    EXPECT_EQ(CurrentName(doc), "a") << path;
  }
  const char* refused[] = {"/a", "//a", "a/", "a[",   "a[]",   "a[@]", "a[@x='v]",
                           "@x", "a b", "a]", "a//b", "a[1]x", "a[1",  "a[b"};
  for (const char* path : refused) {
    doc.RewindElements();
    EXPECT_FALSE(doc.FindElement(path)) << path;
    EXPECT_EQ(doc.CurrentPos(), 0) << path;
  }
}

TEST(Navigation, CaseFoldingFlag) {
  CXmlDocument doc("<Root><Item/></Root>");
  EXPECT_FALSE(doc.FindElement("root"));
  doc.SetDocFlags(kDocIgnoreCase);
  EXPECT_TRUE(doc.FindElement("root"));
}

TEST(Navigation, EnterLeaveRewind) {
  CXmlDocument doc("<r><a><x/><y/></a><b/></r>");
  EXPECT_FALSE(doc.EnterElement());  // nothing current
  EXPECT_FALSE(doc.LeaveElement());  // at top level
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("a"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("y"));
  ASSERT_TRUE(doc.LeaveElement());
  EXPECT_EQ(CurrentName(doc), "a");
  EXPECT_EQ(doc.ElementName(doc.ChildPos()), "y");
  // Entering again continues after the remembered child.
  ASSERT_TRUE(doc.EnterElement());
  EXPECT_EQ(CurrentName(doc), "y");
  EXPECT_FALSE(doc.FindElement());
  ASSERT_TRUE(doc.LeaveElement());
  ASSERT_TRUE(doc.FindElement("b"));
  doc.RewindElements();
  EXPECT_EQ(doc.CurrentPos(), 0);
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(CurrentName(doc), "a");
  ASSERT_TRUE(doc.LeaveElement());
  ASSERT_TRUE(doc.LeaveElement() == false);
  EXPECT_EQ(CurrentName(doc), "r");
}

// --- editing -------------------------------------------------------------

TEST(Editing, ChildIntoSelfClosedElementAndASecondAfterIt) {
  CXmlDocument doc("<r><p/></r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("p"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.AddElement("a"));
  EXPECT_EQ(doc.Text(), "<r><p>\r\n<a/>\r\n</p></r>");
  ExpectIndexTrue(doc);
  ASSERT_TRUE(doc.AddElement("b"));
  EXPECT_EQ(doc.Text(), "<r><p>\r\n<a/>\r\n<b/>\r\n</p></r>");
  EXPECT_EQ(CurrentName(doc), "b");
  ExpectIndexTrue(doc);
  // The same with a space before the slash.
  CXmlDocument spaced("<p />");
  ASSERT_TRUE(spaced.FindElement("p"));
  ASSERT_TRUE(spaced.AddElement("a", nullptr, kAddChild));
  EXPECT_EQ(spaced.Text(), "<p >\r\n<a/>\r\n</p>");
  EXPECT_EQ(spaced.ElementName(spaced.ChildPos()), "a");
  ExpectIndexTrue(spaced);
}

TEST(Editing, WrittenEndTagsRepeatTheNameAsParsed) {
  // The element name stops at ";", the name the parse matches end tags by
  // does not: end tags written for an element must use the latter.
  CXmlDocument doc("<a;b/>");
  ASSERT_TRUE(doc.FindElement("a"));
  ASSERT_TRUE(doc.AddElement("c", nullptr, kAddChild | kAddNoLineBreak));
  EXPECT_EQ(doc.Text(), "<a;b><c/></a;b>");
  EXPECT_TRUE(CXmlDocument().ParseText(doc.Text()));
  CXmlDocument content("<x\"/>");
  ASSERT_TRUE(content.FindElement("x"));
  ASSERT_TRUE(content.SetContent("t"));
  EXPECT_EQ(content.Text(), "<x\">t</x\">");
  ExpectIndexTrue(content);
  // Every slash of "//>" goes, or the tag would stay an empty-element tag.
  CXmlDocument slashes("<r//>");
  ASSERT_TRUE(slashes.FindElement("r"));
  ASSERT_TRUE(slashes.SetContent("t"));
  EXPECT_EQ(slashes.Text(), "<r>t</r>");
  ExpectIndexTrue(slashes);
}

TEST(Editing, IntoEmptyContentAndUnendedElements) {
  CXmlDocument doc("<p></p>");
  ASSERT_TRUE(doc.FindElement("p"));
  ASSERT_TRUE(doc.AddElement("a", nullptr, kAddChild));
  EXPECT_EQ(doc.Text(), "<p>\r\n<a/>\r\n</p>");
  ExpectIndexTrue(doc);

  CXmlDocument unended("<r><p></r>");
  ASSERT_TRUE(unended.FindElement("r"));
  ASSERT_TRUE(unended.EnterElement());
  ASSERT_TRUE(unended.FindElement("p"));
  ASSERT_TRUE(unended.Index()[unended.CurrentPos()].flags & kElementUnended);
  ASSERT_TRUE(unended.AddElement("a", nullptr, kAddChild));
  EXPECT_EQ(unended.Text(), "<r><p><a/>\r\n</p></r>");
  EXPECT_FALSE(unended.Index()[unended.CurrentPos()].flags & kElementUnended);
  ExpectIndexTrue(unended);
}

TEST(Editing, PlacementAndWhitespace) {
  CXmlDocument doc("<r>\r\n  <a/>\r\n  <c/>\r\n</r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("a"));
  ASSERT_TRUE(doc.AddElement("b"));  // after a, past the whitespace
  EXPECT_EQ(doc.Text(), "<r>\r\n  <a/>\r\n  <b/>\r\n<c/>\r\n</r>");
  ASSERT_TRUE(doc.AddElement("z", nullptr, kAddBefore));  // before b
  EXPECT_EQ(doc.Text(), "<r>\r\n  <a/>\r\n  <z/>\r\n<b/>\r\n<c/>\r\n</r>");
  ExpectIndexTrue(doc);
  doc.RewindElements();
  ASSERT_TRUE(doc.AddElement("first", nullptr, kAddBefore | kAddNoLineBreak));
  EXPECT_EQ(doc.Text(), "<r>\r\n  <first/><a/>\r\n  <z/>\r\n<b/>\r\n<c/>\r\n</r>");
  doc.RewindElements();
  ASSERT_TRUE(doc.AddElement("last", nullptr, kAddSpaceBeforeSlash));
  EXPECT_EQ(doc.Text(), "<r>\r\n  <first/><a/>\r\n  <z/>\r\n<b/>\r\n<c/>\r\n<last />\r\n</r>");
  ExpectIndexTrue(doc);
  // Sibling order follows the text.
  doc.RewindElements();
  std::string order;
  while (doc.FindElement()) order += CurrentName(doc) + ",";
  EXPECT_EQ(order, "first,a,z,b,c,last,");
}

TEST(Editing, AddToAnEmptyDocumentAndAtTopLevel) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.AddElement("root", nullptr, kAddNoLineBreak));
  EXPECT_EQ(doc.Text(), "<root/>");
  ASSERT_TRUE(doc.AddElement("next", "x", kAddNoLineBreak));
  EXPECT_EQ(doc.Text(), "<root/><next>x</next>");
  ExpectIndexTrue(doc);
  EXPECT_EQ(doc.Index()[doc.CurrentPos()].startTagLength, 6u);
  EXPECT_EQ(doc.Index()[doc.CurrentPos()].endTagLength, 7u);
}

TEST(Editing, ContentEscapingAndCdata) {
  CXmlDocument doc("<r/>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.AddElement("t", "a<b>&\"'", kAddChild | kAddNoLineBreak));
  EXPECT_EQ(doc.Text(), "<r><t>a&lt;b&gt;&amp;\"'</t></r>");
  CXmlDocument q("<r/>");
  ASSERT_TRUE(q.FindElement("r"));
  ASSERT_TRUE(q.AddElement("t", "&amp; & \"'", kAddChild | kAddNoLineBreak | kAddKeepReferences | kAddEscapeQuotes));
  EXPECT_EQ(q.Text(), "<r><t>&amp; &amp; &quot;&apos;</t></r>");
  CXmlDocument c("<r/>");
  ASSERT_TRUE(c.FindElement("r"));
  ASSERT_TRUE(c.AddElement("t", "x]]>y<", kAddChild | kAddNoLineBreak | kAddCdata));
  EXPECT_EQ(c.Text(), "<r><t><![CDATA[x]]]]><![CDATA[>y<]]></t></r>");
  ExpectIndexTrue(c);
}

TEST(Editing, NoEndTagFlag) {
  CXmlDocument doc("<r></r>");
  ASSERT_TRUE(doc.FindElement("r"));
  EXPECT_FALSE(doc.AddElement("br", "text", kAddChild | kAddNoEndTag));
  EXPECT_EQ(doc.Text(), "<r></r>");
  ASSERT_TRUE(doc.AddElement("br", nullptr, kAddChild | kAddNoEndTag | kAddNoLineBreak));
  EXPECT_EQ(doc.Text(), "<r><br></r>");
  EXPECT_TRUE(doc.Index()[doc.ChildPos()].flags & kElementUnended);
}

TEST(Editing, FailuresChangeNothing) {
  CXmlDocument doc("<r><a/></r>");
  const std::string before = doc.Text();
  EXPECT_FALSE(doc.SetAttribute("x", "1"));
  EXPECT_FALSE(doc.SetContent("x"));
  EXPECT_FALSE(doc.RemoveElement());
  EXPECT_FALSE(doc.AddElement("c", nullptr, kAddChild));
  ASSERT_TRUE(doc.FindElement("r"));
  EXPECT_FALSE(doc.SetContent("x"));  // has a child
  EXPECT_FALSE(doc.AddElement("", nullptr, 0));
  EXPECT_EQ(doc.Text(), before);
}

TEST(Editing, NamesThatAreNotXmlNamesAreRefused) {
  CXmlDocument doc("<r><a k=\"1\"/></r>");
  const std::string before = doc.Text();
  ASSERT_TRUE(doc.FindElement("r"));
  for (const char* name : {"a b", "<z>", "x=y", "q\"", "1a", "a/", ""}) {
    EXPECT_FALSE(doc.AddElement(name, nullptr, kAddChild)) << name;
    EXPECT_FALSE(doc.AddElement(name, "text", kAddChild)) << name;
    EXPECT_FALSE(doc.AddElement(name, std::string_view("t"), kAddBefore)) << name;
    EXPECT_FALSE(doc.SetAttribute(name, "v")) << name;
  }
  EXPECT_FALSE(doc.AddElement(std::string_view("a\0b", 3)));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("a"));
  EXPECT_FALSE(doc.SetAttribute("k v", "2"));  // not even over an existing one
  EXPECT_EQ(doc.Text(), before);
  EXPECT_EQ(CurrentName(doc), "a");
  ExpectIndexTrue(doc);
}

TEST(Editing, NonAsciiNamesAsTheTextHoldsThem) {
  CXmlDocument doc("<r/>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.AddElement("\xE5\x90\x8D:\xC3\xA9-1", nullptr, kAddChild | kAddNoLineBreak));
  ASSERT_TRUE(doc.EnterElement());
  EXPECT_EQ(CurrentName(doc), "\xE5\x90\x8D:\xC3\xA9-1");
  ASSERT_TRUE(doc.SetAttribute("\xC3\xA9t\xC3\xA9", "v"));
  EXPECT_EQ(doc.GetAttribute("\xC3\xA9t\xC3\xA9"), "v");
  EXPECT_FALSE(doc.SetAttribute("\xE9t\xE9", "w"));  // code page 1252 bytes, not UTF-8
  EXPECT_EQ(doc.Text(), "<r><\xE5\x90\x8D:\xC3\xA9-1 \xC3\xA9t\xC3\xA9=\"v\"/></r>");
  ExpectIndexTrue(doc);

  CXmlDocument latin(DefaultXmlPlatform(), 1252);
  ASSERT_TRUE(latin.AddElement("\xE9t\xE9", nullptr, kAddNoLineBreak));
  ASSERT_TRUE(latin.SetAttribute("\xC0", "1"));
  EXPECT_FALSE(latin.SetAttribute("\xC3\xA9\xD7", "2"));
  EXPECT_EQ(latin.Text(), "<\xE9t\xE9 \xC0=\"1\"/>");
}

TEST(Editing, RemoveFirstChildThenFindContinues) {
  CXmlDocument doc("<r>\r\n<a><x/></a>\r\n<b/>\r\n<c/>\r\n</r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("a"));
  ASSERT_TRUE(doc.RemoveElement());
  EXPECT_EQ(doc.Text(), "<r>\r\n<b/>\r\n<c/>\r\n</r>");
  EXPECT_EQ(doc.CurrentPos(), 0);
  EXPECT_EQ(doc.NodeKind(), 0);
  EXPECT_TRUE(doc.Index()[2].flags & kElementReleased);  // x went with a
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(CurrentName(doc), "b");
  ExpectIndexTrue(doc);
  ASSERT_TRUE(doc.FindElement("c"));
  ASSERT_TRUE(doc.RemoveElement());  // the last one: b becomes current
  EXPECT_EQ(CurrentName(doc), "b");
  EXPECT_EQ(doc.Text(), "<r>\r\n<b/>\r\n</r>");
  ExpectIndexTrue(doc);
  ASSERT_TRUE(doc.RemoveElement());
  EXPECT_EQ(doc.Text(), "<r>\r\n</r>");
  EXPECT_EQ(doc.ElementCount(), 1u);
  ExpectIndexTrue(doc);
}

TEST(Editing, RemoveKeepsWhitespaceBeforeText) {
  CXmlDocument doc("<r><a/> text</r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("a"));
  ASSERT_TRUE(doc.RemoveElement());
  EXPECT_EQ(doc.Text(), "<r> text</r>");
}

TEST(Editing, SetContent) {
  CXmlDocument doc("<r><a>old</a><b/><c /></r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("a"));
  ASSERT_TRUE(doc.SetContent("n<e>w & more"));
  ASSERT_TRUE(doc.FindElement("b"));
  ASSERT_TRUE(doc.SetContent("x"));
  ASSERT_TRUE(doc.FindElement("c"));
  ASSERT_TRUE(doc.SetContent(""));
  EXPECT_EQ(doc.Text(), "<r><a>n&lt;e&gt;w &amp; more</a><b>x</b><c ></c></r>");
  ExpectIndexTrue(doc);
  EXPECT_EQ(doc.Index()[1].length, doc.Text().size());
}

TEST(Editing, SetContentClearsTheErrorBit) {
  CXmlDocument doc("<r><a></x></a></r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("a"));
  ASSERT_TRUE(doc.Index()[doc.CurrentPos()].flags & kElementMarkupError);
  ASSERT_TRUE(doc.SetContent("ok"));
  EXPECT_FALSE(doc.Index()[doc.CurrentPos()].flags & kElementMarkupError);
  EXPECT_EQ(doc.Text(), "<r><a>ok</a></r>");
}

TEST(Editing, SetContentOnAnUnendedElementWritesItsEndTag) {
  CXmlDocument doc("<r><a></r>");
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("a"));
  ASSERT_TRUE(doc.SetContent("t"));
  EXPECT_EQ(doc.Text(), "<r><a>t</a></r>");
  ExpectIndexTrue(doc);
}

// Runs of edits in every direction, far apart and close together, with the
// text read only at the end: the index must match a fresh parse.
TEST(Editing, LongRunsOfEditsKeepTheIndexTrue) {
  std::string text = "<r>\r\n<head/>\r\n";
  for (int k = 0; k < 300; ++k) text += "<x n=\"" + std::to_string(k) + "\"><y/></x>\r\n";
  text += "<tail/>\r\n</r>\r\n";
  CXmlDocument doc(text);
  ASSERT_TRUE(doc.FindElement("r"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("head"));
  for (int k = 0; k < 200; ++k) ASSERT_TRUE(doc.AddElement("a", nullptr, kAddBefore));  // backwards
  ASSERT_TRUE(doc.FindElement("head"));
  for (int k = 0; k < 200; ++k) {  // forwards, each with an attribute
    ASSERT_TRUE(doc.AddElement("b"));
    ASSERT_TRUE(doc.SetAttribute("k", std::to_string(k)));
  }
  ASSERT_TRUE(doc.FindElement("tail"));
  ASSERT_TRUE(doc.AddElement("c", "far", kAddBefore));
  doc.RewindElements();
  for (int k = 0; k < 100; ++k) {  // from the front
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.RemoveElement());
  }
  ASSERT_TRUE(doc.FindElement("tail"));
  ASSERT_TRUE(doc.AddElement("c", nullptr, kAddBefore));
  for (int k = 0; k < 150; ++k) ASSERT_TRUE(doc.RemoveElement());  // backwards from the end
  doc.RewindElements();
  for (int k = 0; k < 50 && doc.FindElement("x"); ++k) {  // into subtrees along the way
    ASSERT_TRUE(doc.SetAttribute("n", "changed"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("y"));
    ASSERT_TRUE(doc.SetContent(k % 2 ? "t" : ""));
    ASSERT_TRUE(doc.LeaveElement());
  }
  // r, head, tail, 300 x with y, 400 added, 2 c; less 100 a, both c and
  // 148 x with their y.
  EXPECT_EQ(doc.ElementCount(), 3u + 600 + 400 + 2 - 100 - 2 - 148 * 2);
  ExpectIndexTrue(doc);
  EXPECT_EQ(doc.Index()[0].length, doc.Text().size());
  EXPECT_EQ(doc.Index()[1].length + 2, doc.Text().size());
}

TEST(Editing, ToolbarStyleSessionKeepsTheIndexTrue) {
  CXmlDocument doc(
      "<?xml version=\"1.0\"?>\r\n<uiConfig>\r\n  <frame>\r\n    <dockBar>\r\n    </dockBar>\r\n"
      "  </frame>\r\n  <commandBars>\r\n    <commandBarData guid=\"h\">\r\n      <toolbar/>\r\n"
      "    </commandBarData>\r\n  </commandBars>\r\n  <items/>\r\n</uiConfig>\r\n");
  ASSERT_TRUE(doc.FindElement("uiConfig"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("frame"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("dockBar"));
  ASSERT_TRUE(doc.EnterElement());
  EXPECT_FALSE(doc.FindElement("cmdBarLane"));
  ASSERT_TRUE(doc.AddElement("cmdBarLane"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.AddElement("commandBar"));
  ASSERT_TRUE(doc.SetAttribute("guidRef", "g<1>"));
  ASSERT_TRUE(doc.SetAttribute("visible", "true"));
  ExpectIndexTrue(doc);
  ASSERT_TRUE(doc.LeaveElement());
  ASSERT_TRUE(doc.LeaveElement());
  ASSERT_TRUE(doc.LeaveElement());
  ASSERT_TRUE(doc.FindElement("commandBars"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement("commandBarData"));
  ASSERT_TRUE(doc.AddElement("commandBarData"));
  ASSERT_TRUE(doc.SetAttribute("guid", "new"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.AddElement("toolbar"));
  ASSERT_TRUE(doc.EnterElement());
  for (int k = 1; k <= 6; ++k) {
    ASSERT_TRUE(doc.AddElement("item"));
    ASSERT_TRUE(doc.SetAttribute("guidRef", std::to_string(k)));
  }
  ExpectIndexTrue(doc);
  ASSERT_TRUE(doc.LeaveElement());
  ASSERT_TRUE(doc.LeaveElement());
  ASSERT_TRUE(doc.LeaveElement());
  ASSERT_TRUE(doc.FindElement("items"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.AddElement("itemData"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.AddElement("userSmallBitmap"));
  ASSERT_TRUE(doc.SetContent("QUJD"));
  ExpectIndexTrue(doc);
  EXPECT_NE(doc.Text().find("<commandBar guidRef=\"g&lt;1&gt;\" visible=\"true\"/>"), std::string::npos);
  EXPECT_NE(
      doc.Text().find("<items>\r\n<itemData>\r\n<userSmallBitmap>QUJD</userSmallBitmap>\r\n</itemData>\r\n</items>"),
      std::string::npos);
  // Removing everything that was added gives the elements back.
  CXmlDocument reparsed(doc.Text());
  EXPECT_TRUE(reparsed.ParseText(doc.Text()));
  EXPECT_EQ(reparsed.ElementCount(), 7u + 12u);
}

}  // namespace
}  // namespace barsetup
