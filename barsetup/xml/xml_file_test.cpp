// Files and encodings.
#include "xml/xml_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "xml/file_test_util.h"
#include "xml/xml_document.h"

namespace barsetup {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ToUtf8;
using testing::WriteBytes;

class TempDir : public testing::TempDir {
 public:
  TempDir() : testing::TempDir("barsetup_xml_") {}
};

// The test data folder; a POSIX path handed to a Windows build under wine
// is reached through its Z: drive.
std::string TestData(const std::string& name) {
  const char* dir = std::getenv("BARSETUP_XML_TESTDATA");
  std::string base = dir != nullptr ? dir : "barsetup/xml/testdata";
  std::string path = base + "/" + name;
  if (!fs::exists(fs::u8path(path)) && !base.empty() && base[0] == '/') path = "Z:" + path;
  return path;
}

const std::string kBody =
    "<uiConfig name=\"Gr\xC3\xB6\xC3\x9F"
    "e \xE5\xB7\xA5\xE5\x85\xB7 caf\xC3\xA9\">\r\n  <items>\r\n"
    "    <itemData guid=\"1\" caption=\"a &amp; b\"/>\r\n  </items>\r\n</uiConfig>\r\n";

struct RoundTrip {
  const char* file;
  std::string text;  // as held, UTF-8
  uint32_t flags;
  std::string loadRecords;  // with LENGTH for the byte count of the text
  std::string saveRecords;
};

std::string WithLength(std::string records, size_t length) {
  const std::string key = "LENGTH";
  for (size_t at; (at = records.find(key)) != std::string::npos;)
    records.replace(at, key.size(), std::to_string(length));
  return records;
}

class FileRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(FileRoundTrip, LoadsAsUtf8AndSavesTheSameBytes) {
  const RoundTrip& c = GetParam();
  const std::string source = TestData(c.file);
  const std::string original = ReadBytes(source);
  ASSERT_FALSE(original.empty()) << source;
  CXmlDocument doc;
  EXPECT_TRUE(doc.LoadFile(source)) << doc.GetResult();
  EXPECT_EQ(doc.Text(), c.text);
  EXPECT_EQ(doc.DocFlags(), c.flags);
  EXPECT_EQ(doc.GetResult(), WithLength(c.loadRecords, c.text.size()));
  ASSERT_TRUE(doc.FindElement("uiConfig"));
  TempDir dir;
  const std::string target = dir.Path("saved.xml");
  EXPECT_TRUE(doc.SaveFile(target)) << doc.GetResult();
  EXPECT_EQ(doc.GetResult(), WithLength(c.saveRecords, c.text.size()));
  EXPECT_EQ(ReadBytes(target), original);
  EXPECT_EQ(dir.FileCount(), 1u);  // no temporary file left behind
}

const std::string kCp1252Text =
    "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<uiConfig name=\"Caf\xC3\xA9 \xE2\x80\x93 5 "
    "\xE2\x82\xAC \xE2\x80\xB0 Gr\xC3\xB6\xC3\x9F"
    "e\">\r\n<item/>\r\n</uiConfig>\r\n";
const std::string kGbkText =
    "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<uiConfig name=\"\xE5\xB7\xA5\xE5\x85\xB7\xE6\xA0\x8F "
    "\xE6\x8F\x92\xE4\xBB\xB6\">\r\n<item caption=\"\xE8\xBE\x93\xE5\x87\xBA\"/>\r\n</uiConfig>\r\n";

INSTANTIATE_TEST_SUITE_P(
    Encodings, FileRoundTrip,
    ::testing::Values(
        RoundTrip{"utf8_plain.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n" + kBody, 0,
                  "<read encoding=\"utf-8\" length=\"LENGTH\"/>", "<write encoding=\"utf-8\" length=\"LENGTH\"/>"},
        RoundTrip{"utf8_bom.xml", "<?xml version=\"1.0\"?>\r\n" + kBody, kDocUtf8Bom,
                  "<bom/><read encoding=\"UTF-8\" length=\"LENGTH\"/>",
                  "<bom/><write encoding=\"UTF-8\" length=\"LENGTH\"/>"},
        RoundTrip{"utf16le.xml", "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n" + kBody, kDocUtf16Le,
                  "<bom/><read encoding=\"UTF-16LE\" length=\"156\"/>"
                  "<converted_to encoding=\"\" length=\"LENGTH\"/>",
                  "<bom/><converted_from encoding=\"\" length=\"LENGTH\"/>"
                  "<write encoding=\"UTF-16LE\" length=\"156\"/>"},
        RoundTrip{"utf16be.xml", "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n" + kBody, kDocUtf16Be,
                  "<bom/><read encoding=\"UTF-16BE\" length=\"156\"/><endian_swap/>"
                  "<converted_to encoding=\"\" length=\"LENGTH\"/>",
                  "<bom/><converted_from encoding=\"\" length=\"LENGTH\"/><endian_swap/>"
                  "<write encoding=\"UTF-16BE\" length=\"156\"/>"},
        RoundTrip{"cp1252.xml", kCp1252Text, 0,
                  "<read encoding=\"windows-1252\" length=\"107\"/><converted_to encoding=\"\" length=\"LENGTH\"/>",
                  "<converted_from encoding=\"\" length=\"LENGTH\"/><write encoding=\"windows-1252\" length=\"107\"/>"},
        RoundTrip{"gbk.xml", kGbkText, 0,
                  "<read encoding=\"GBK\" length=\"106\"/><converted_to encoding=\"\" length=\"LENGTH\"/>",
                  "<converted_from encoding=\"\" length=\"LENGTH\"/><write encoding=\"GBK\" length=\"106\"/>"}));

TEST(Files, UnknownDeclaredEncodingIsKeptAsIs) {
  const std::string source = TestData("unknown_encoding.xml");
  CXmlDocument doc;
  EXPECT_TRUE(doc.LoadFile(source));
  EXPECT_EQ(doc.Text(), ReadBytes(source));
  EXPECT_EQ(doc.GetResult(), "<read encoding=\"x-unheard-of\" length=\"67\"/>");
  TempDir dir;
  EXPECT_TRUE(doc.SaveFile(dir.Path("u.xml")));
  EXPECT_EQ(ReadBytes(dir.Path("u.xml")), ReadBytes(source));
}

TEST(Files, Utf8DetectionWithoutDeclaration) {
  TempDir dir;
  const std::string path = dir.Path("d.xml");
  CXmlDocument doc;
  WriteBytes(path, "plain ascii");
  EXPECT_FALSE(doc.LoadFile(path));  // no element
  EXPECT_EQ(doc.GetResult(), "<read encoding=\"UTF-8\" length=\"11\"/><utf8_detection/><no_root_element/>");
  WriteBytes(path, " <a>\xC3\xA9</a>");
  EXPECT_TRUE(doc.LoadFile(path));
  EXPECT_EQ(doc.GetResult(), "<read encoding=\"UTF-8\" length=\"10\"/><utf8_detection/>");
  EXPECT_EQ(doc.Text(), " <a>\xC3\xA9</a>");
  // Not UTF-8: held as read, and written back unchanged.
  WriteBytes(path, " <a>\xE9t\xE9</a>");
  EXPECT_TRUE(doc.LoadFile(path));
  EXPECT_EQ(doc.GetResult(), "<read encoding=\"\" length=\"11\"/><utf8_detection/>");
  EXPECT_TRUE(doc.SaveFile(dir.Path("back.xml")));
  EXPECT_EQ(ReadBytes(dir.Path("back.xml")), " <a>\xE9t\xE9</a>");
  EXPECT_EQ(doc.GetResult(), "<write encoding=\"UTF-8\" length=\"11\"/>");
}

TEST(Files, MissingAndEmptyFiles) {
  TempDir dir;
  CXmlDocument doc("<old/>");
  EXPECT_FALSE(doc.LoadFile(dir.Path("missing.xml")));
  const std::string r = doc.GetResult();
  EXPECT_EQ(r.rfind("<file_error msg=\"", 0), 0u) << r;
  EXPECT_NE(r.find("\" n=\"2\"/>"), std::string::npos) << r;
  EXPECT_GT(r.size(), std::string("<file_error msg=\"\" n=\"2\"/>").size()) << r;
  EXPECT_EQ(doc.Text(), "");
  EXPECT_EQ(doc.ElementCount(), 0u);

  WriteBytes(dir.Path("empty.xml"), "");
  EXPECT_FALSE(doc.LoadFile(dir.Path("empty.xml")));
  EXPECT_EQ(doc.GetResult(), "<read encoding=\"\" length=\"0\"/>");
  EXPECT_EQ(doc.Text(), "");
}

TEST(Files, AFailedLoadIsNotSavedOverAFile) {
  TempDir dir;
  const std::string target = dir.Path("keep.xml");
  WriteBytes(target, "<keep/>");
  CXmlDocument doc("<old/>");
  EXPECT_FALSE(doc.LoadFile(dir.Path("missing.xml")));
  const std::string loadRecords = doc.GetResult();
  EXPECT_FALSE(doc.SaveFile(target));
  EXPECT_EQ(doc.GetResult(), loadRecords);
  // Edits on the empty text do not make it a document of the file.
  ASSERT_TRUE(doc.AddElement("added"));
  EXPECT_FALSE(doc.SaveFile(target));
  EXPECT_FALSE(doc.SaveFile(dir.Path("new.xml")));
  EXPECT_EQ(ReadBytes(target), "<keep/>");
  EXPECT_EQ(dir.FileCount(), 1u);

  // New text does: ParseText, or a file that was read, even one that does
  // not parse.
  doc.ParseText("<new/>");
  EXPECT_TRUE(doc.SaveFile(target));
  EXPECT_EQ(ReadBytes(target), "<new/>");
  EXPECT_FALSE(doc.LoadFile(dir.Path("missing.xml")));
  WriteBytes(dir.Path("empty.xml"), "");
  EXPECT_FALSE(doc.LoadFile(dir.Path("empty.xml")));
  EXPECT_TRUE(doc.SaveFile(dir.Path("empty.xml")));
  EXPECT_FALSE(doc.LoadFile(dir.Path("missing.xml")));
  EXPECT_TRUE(doc.LoadFile(target));
  ASSERT_TRUE(doc.FindElement("new"));
  ASSERT_TRUE(doc.SetAttribute("a", "1"));
  EXPECT_TRUE(doc.SaveFile(target));
  EXPECT_EQ(ReadBytes(target), "<new a=\"1\"/>");
}

TEST(Files, NulsAreRemoved) {
  TempDir dir;
  WriteBytes(dir.Path("n.xml"), std::string("<a>\0b\0\0</a>", 11));
  CXmlDocument doc;
  EXPECT_TRUE(doc.LoadFile(dir.Path("n.xml")));
  EXPECT_EQ(doc.Text(), "<a>b</a>");
  EXPECT_EQ(doc.GetResult(), "<read encoding=\"UTF-8\" length=\"11\"/><nulls_removed count=\"3\"/>");
  WriteBytes(dir.Path("w.xml"), std::string("\xFF\xFE<\0a\0\0\0/\0>\0", 12));
  EXPECT_TRUE(doc.LoadFile(dir.Path("w.xml")));
  EXPECT_EQ(doc.Text(), "<a/>");
  EXPECT_EQ(doc.GetResult(),
            "<bom/><read encoding=\"UTF-16LE\" length=\"5\"/><nulls_removed count=\"1\"/>"
            "<converted_to encoding=\"\" length=\"4\"/>");
}

TEST(Files, Utf16UnpairedSurrogateRoundTrips) {
  TempDir dir;
  const std::string bytes("\xFF\xFE<\0a\0>\0\x00\xD8<\0/\0a\0>\0", 18);
  WriteBytes(dir.Path("s.xml"), bytes);
  CXmlDocument doc;
  EXPECT_TRUE(doc.LoadFile(dir.Path("s.xml")));
  EXPECT_TRUE(doc.SaveFile(dir.Path("t.xml")));
  EXPECT_EQ(ReadBytes(dir.Path("t.xml")), bytes);
}

TEST(Files, ReloadForgetsTheEncodingOfTheFormerFile) {
  TempDir dir;
  CXmlDocument doc;
  EXPECT_TRUE(doc.LoadFile(TestData("utf16be.xml")));
  EXPECT_EQ(doc.DocFlags(), kDocUtf16Be);
  EXPECT_TRUE(doc.LoadFile(TestData("utf8_plain.xml")));
  EXPECT_EQ(doc.DocFlags(), 0u);
  EXPECT_TRUE(doc.SaveFile(dir.Path("p.xml")));
  EXPECT_EQ(ReadBytes(dir.Path("p.xml")), ReadBytes(TestData("utf8_plain.xml")));
}

TEST(Files, StreamingFlagsRefuseLoading) {
  CXmlDocument doc;
  doc.SetDocFlags(kDocReadMode);
  EXPECT_FALSE(doc.LoadFile(TestData("utf8_plain.xml")));
  EXPECT_EQ(doc.GetResult(), "");
}

TEST(Files, DocumentWithoutMarkOrDeclarationIsWrittenAsUtf8) {
  TempDir dir;
  CXmlDocument doc("<a>\xE5\xB7\xA5</a>");
  EXPECT_TRUE(doc.SaveFile(dir.Path("a.xml")));
  EXPECT_EQ(ReadBytes(dir.Path("a.xml")), "<a>\xE5\xB7\xA5</a>");
  EXPECT_EQ(doc.GetResult(), "<write encoding=\"UTF-8\" length=\"10\"/>");
  CXmlDocument empty;
  EXPECT_TRUE(empty.SaveFile(dir.Path("e.xml")));
  EXPECT_EQ(empty.GetResult(), "<write encoding=\"\" length=\"0\"/>");
  EXPECT_EQ(ReadBytes(dir.Path("e.xml")), "");
}

TEST(Files, SavingInADeclaredEncodingReportsLoss) {
  TempDir dir;
  CXmlDocument doc("<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\xC3\xA9\xE5\xB7\xA5</a>");
  EXPECT_TRUE(doc.SaveFile(dir.Path("l.xml")));
  EXPECT_EQ(ReadBytes(dir.Path("l.xml")), "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\xE9?</a>");
  EXPECT_EQ(doc.GetResult(),
            "<converted_from encoding=\"\" length=\"57\"/><conversion_loss/>"
            "<write encoding=\"windows-1252\" length=\"54\"/>");
}

TEST(Files, AnsiTextCodePageTarget) {
  // A document held in code page 1252: UTF-8 files are converted to it,
  // with "?" and a record for what it cannot hold.
  CXmlDocument doc(DefaultXmlPlatform(), 1252);
  EXPECT_TRUE(doc.LoadFile(TestData("utf8_plain.xml")));
  EXPECT_NE(doc.Text().find("name=\"Gr\xF6\xDF"
                            "e ?? caf\xE9\""),
            std::string::npos)
      << doc.Text();
  EXPECT_NE(doc.GetResult().find("<conversion_loss/>"), std::string::npos);
  // A file declared in the text code page is not converted.
  EXPECT_TRUE(doc.LoadFile(TestData("cp1252.xml")));
  EXPECT_EQ(doc.Text(), ReadBytes(TestData("cp1252.xml")));
  EXPECT_EQ(doc.GetResult(), "<read encoding=\"windows-1252\" length=\"107\"/>");

  CXmlDocument chinese(DefaultXmlPlatform(), 936);
  EXPECT_TRUE(chinese.LoadFile(TestData("gbk.xml")));
  EXPECT_EQ(chinese.Text(), ReadBytes(TestData("gbk.xml")));
  TempDir dir;
  chinese.ParseText("<a>\xB9\xA4</a>");  // no declaration: written as UTF-8
  EXPECT_TRUE(chinese.SaveFile(dir.Path("c.xml")));
  EXPECT_EQ(ReadBytes(dir.Path("c.xml")), "<a>\xE5\xB7\xA5</a>");
  EXPECT_EQ(chinese.GetResult(),
            "<converted_from encoding=\"\" length=\"9\"/><write encoding=\"UTF-8\" length=\"10\"/>");
}

// Delegates to the real platform, but the final move fails.
class FailingReplace : public XmlPlatform {
 public:
  int SystemCodePage() const override { return real().SystemCodePage(); }
  bool SupportsCodePage(int cp) const override { return real().SupportsCodePage(cp); }
  bool ToWide(int cp, std::string_view in, std::u16string& out, bool* lossy) const override {
    return real().ToWide(cp, in, out, lossy);
  }
  bool FromWide(int cp, std::u16string_view in, std::string& out, bool check, bool* used) const override {
    return real().FromWide(cp, in, out, check, used);
  }
  std::FILE* OpenFile(const std::string& path, const char* mode) const override { return real().OpenFile(path, mode); }
  bool FinalPath(const std::string& path, std::string* target) const override { return real().FinalPath(path, target); }
  bool ReplaceFile(const std::string&, const std::string&) const override { return false; }
  void RemoveFile(const std::string& path) const override { real().RemoveFile(path); }
  FileError LastFileError() const override { return {"Access is denied.", 5}; }
  FileError FileTooLargeError() const override { return real().FileTooLargeError(); }

 private:
  static const XmlPlatform& real() { return DefaultXmlPlatform(); }
};

TEST(Files, FailedSaveKeepsTheOriginal) {
  TempDir dir;
  const std::string target = dir.Path("keep.xml");
  WriteBytes(target, "<original/>");
  FailingReplace platform;
  CXmlDocument doc(platform);
  doc.ParseText("<replacement/>");
  EXPECT_FALSE(doc.SaveFile(target));
  EXPECT_EQ(doc.GetResult(),
            "<write encoding=\"UTF-8\" length=\"14\"/><file_error msg=\"Access is denied.\" n=\"5\"/>");
  EXPECT_EQ(ReadBytes(target), "<original/>");
  EXPECT_EQ(dir.FileCount(), 1u);

  CXmlDocument real("<x/>");
  EXPECT_FALSE(real.SaveFile(dir.Path("no/such/dir/x.xml")));
  EXPECT_EQ(real.GetResult().rfind("<file_error msg=\"", 0), 0u);
}

// Makes link lead to target; false where the system or the user may not.
bool MakeLink(const std::string& target, const std::string& link) {
  std::error_code ec;
  fs::create_symlink(fs::u8path(target), fs::u8path(link), ec);
  return !ec;
}

TEST(Files, SavingThroughLinksReplacesTheFileAtTheirEnd) {
  TempDir dir;
  fs::create_directories(fs::u8path(dir.Path("real")));
  const std::string target = dir.Path("real/target.xml");
  WriteBytes(target, "<old/>");
  // first -> real/second (absolute) -> ../real/target.xml (relative to real/)
  if (!MakeLink("../real/target.xml", dir.Path("real/second"))) GTEST_SKIP() << "no symbolic links";
  ASSERT_TRUE(MakeLink(dir.Path("real/second"), dir.Path("first")));
  CXmlDocument doc("<new/>");
  EXPECT_TRUE(doc.SaveFile(dir.Path("first"))) << doc.GetResult();
  EXPECT_EQ(ReadBytes(target), "<new/>");
  EXPECT_TRUE(fs::is_symlink(fs::u8path(dir.Path("first"))));
  EXPECT_TRUE(fs::is_symlink(fs::u8path(dir.Path("real/second"))));
  EXPECT_EQ(ReadBytes(dir.Path("first")), "<new/>");
  EXPECT_EQ(dir.FileCount(), 2u);  // real/ and first: no temporary file left
  EXPECT_EQ(std::distance(fs::directory_iterator(fs::u8path(dir.Path("real"))), fs::directory_iterator()), 2);

  // A link to a file that does not exist yet creates that file.
  ASSERT_TRUE(MakeLink("real/later.xml", dir.Path("later")));
  EXPECT_TRUE(doc.SaveFile(dir.Path("later")));
  EXPECT_EQ(ReadBytes(dir.Path("real/later.xml")), "<new/>");
  EXPECT_TRUE(fs::is_symlink(fs::u8path(dir.Path("later"))));
}

TEST(Files, SavingThroughALoopOfLinksFails) {
  TempDir dir;
  if (!MakeLink(dir.Path("b"), dir.Path("a"))) GTEST_SKIP() << "no symbolic links";
  ASSERT_TRUE(MakeLink(dir.Path("a"), dir.Path("b")));
  CXmlDocument doc("<x/>");
  EXPECT_FALSE(doc.SaveFile(dir.Path("a")));
  EXPECT_EQ(doc.GetResult().rfind("<file_error msg=\"", 0), 0u) << doc.GetResult();
  EXPECT_TRUE(fs::is_symlink(fs::u8path(dir.Path("a"))));
  EXPECT_EQ(dir.FileCount(), 2u);
}

TEST(Files, NonAsciiPath) {
  TempDir dir;
  const std::string path = dir.Path("\xE5\xB7\xA5\xE4\xBD\x9C.xml");
  CXmlDocument doc("<a/>");
  EXPECT_TRUE(doc.SaveFile(path)) << doc.GetResult();
  CXmlDocument back;
  EXPECT_TRUE(back.LoadFile(path)) << back.GetResult();
  EXPECT_EQ(back.Text(), "<a/>");
}

TEST(DeclaredEncoding, XmlDeclarationAndHtmlMeta) {
  EXPECT_EQ(FindDeclaredEncoding("<?xml version=\"1.0\" encoding='GBK'?><a/>"), "GBK");
  EXPECT_EQ(FindDeclaredEncoding("<?XML encoding=\"x\"?>"), "x");
  EXPECT_EQ(FindDeclaredEncoding(
                "<?xml version=\"1.0\"?><html><meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">"),
            "");
  EXPECT_EQ(FindDeclaredEncoding(" <?xml encoding=\"x\"?><a/>"), "");
  EXPECT_EQ(FindDeclaredEncoding("<!-- c --><HTML><head><title>t</title>"
                                 "<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset = windows-1251\">"),
            "windows-1251");
  EXPECT_EQ(FindDeclaredEncoding("<html><head></head><meta http-equiv=\"Content-Type\" content=\"charset=x\">"), "");
  EXPECT_EQ(FindDeclaredEncoding("<body><meta http-equiv=\"Content-Type\" content=\"charset=x\">"), "");
  EXPECT_EQ(FindDeclaredEncoding("<html><1><meta http-equiv=\"Content-Type\" content=\"charset=x\">"), "");
  EXPECT_EQ(FindDeclaredEncoding("<?xml version=\"1.0\" encoding=\"UTF-8"), "");
  EXPECT_EQ(FindDeclaredEncoding(""), "");
}

TEST(Utf8Test, LaxSequenceRules) {
  size_t n = 0;
  EXPECT_TRUE(IsUtf8Text("ascii only", &n));
  EXPECT_EQ(n, 0u);
  EXPECT_TRUE(IsUtf8Text("\xC3\xA9\xE5\xB7\xA5\xF0\x9F\x98\x80", &n));
  EXPECT_EQ(n, 3u);
  EXPECT_TRUE(IsUtf8Text("\xC0\x80", &n));  // any continuation byte counts
  EXPECT_FALSE(IsUtf8Text("\xF8\x80\x80\x80\x80", &n));
  EXPECT_FALSE(IsUtf8Text("\xC3", &n));
  EXPECT_FALSE(
      IsUtf8Text("\xC3"
                 "a",
                 &n));
  EXPECT_TRUE(IsUtf8Text(std::string("a\0\xFF", 3), &n));  // stops at NUL
}

}  // namespace
}  // namespace barsetup
