// Result records.
#include "xml/result_log.h"

#include <gtest/gtest.h>

#include "xml/xml_document.h"

namespace barsetup {
namespace {

TEST(ResultRecords, AttributeOrderAndOmissions) {
  std::string r;
  ResultRecord("read").Text("encoding", "UTF-8").Number("length", 12).AppendTo(r);
  ResultRecord("bom").AppendTo(r);
  ResultRecord("first_tag_syntax").Number("offset", -1).AppendTo(r);
  ResultRecord("unended_start_tag").Text("tagname", "b").Number("offset", 3).Offset2(-1).AppendTo(r);
  ResultRecord("nulls_removed").Number("count", -1).AppendTo(r);
  ResultRecord("file_error").Text("msg", "a \"q\" & <b>").Number("n", 2).AppendTo(r);
  EXPECT_EQ(r,
            "<read encoding=\"UTF-8\" length=\"12\"/><bom/><first_tag_syntax/>"
            "<unended_start_tag tagname=\"b\" offset=\"3\"/><nulls_removed count=\"-1\"/>"
            "<file_error msg=\"a &quot;q&quot; &amp; &lt;b&gt;\" n=\"2\"/>");
  // The records are markup themselves.
  CXmlDocument doc;
  doc.ParseText(r);
  ASSERT_TRUE(doc.FindElement("file_error"));
  EXPECT_EQ(doc.GetAttribute("msg"), "a \"q\" & <b>");
}

TEST(ResultRecords, NothingIsAppendedPastTheLimit) {
  std::string r;
  for (int i = 0; i < 200; ++i) {
    const size_t before = r.size();
    ResultRecord("lone_end_tag").Text("tagname", "x").Number("offset", i).AppendTo(r);
    // Appended exactly while the string held at most 999 characters.
    EXPECT_EQ(r.size() != before, before <= kResultLimit) << i;
  }
  EXPECT_GT(r.size(), kResultLimit);
  EXPECT_LE(r.size(), kResultLimit + 64);
  // The parse obeys it as well.
  std::string text = "<r>";
  for (int i = 0; i < 500; ++i) text += "</x>";
  CXmlDocument doc;
  doc.ParseText(text);
  EXPECT_GT(doc.GetResult().size(), kResultLimit);
  EXPECT_LT(doc.GetResult().size(), kResultLimit + 64);
}

TEST(ResultRecords, UpdateChangesTheFirstRecordOfTheName) {
  std::string r = "<bom/><read encoding=\"\" length=\"5\"/><read encoding=\"x\" length=\"1\"/>";
  ResultRecord("read").Text("encoding", "UTF-8").UpdateIn(r);
  EXPECT_EQ(r, "<bom/><read encoding=\"UTF-8\" length=\"5\"/><read encoding=\"x\" length=\"1\"/>");
  std::string empty;
  ResultRecord("read").Text("encoding", "UTF-8").Number("length", 0).UpdateIn(empty);
  EXPECT_EQ(empty, "<read encoding=\"UTF-8\" length=\"0\"/>");
}

}  // namespace
}  // namespace barsetup
