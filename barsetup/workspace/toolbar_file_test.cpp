// Passes over files: written only when changed and complete, in the file's
// own encoding; a file that cannot be read or edited stays as it was.
#include "workspace/toolbar_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "workspace/document_edits.h"
#include "workspace/toolbar_edit.h"
#include "workspace/workspace_test_util.h"
#include "xml/file_test_util.h"

namespace barsetup {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

class TempDir : public testing::TempDir {
 public:
  TempDir() : testing::TempDir("barsetup_workspace_") {}
};

// ASCII text as UTF-16LE with its byte-order mark.
std::string Utf16Le(std::string_view ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

std::string AddInMemory(const std::string& text, int version) {
  CXmlDocument doc;
  doc.ParseText(text);
  ToolbarChanges changes;
  AddToolbar(doc, StandardVariant(), version, "KV", changes);
  return doc.Text();
}

TEST(ToolbarFile, AddAndRemoveRewriteTheFileInPlace) {
  TempDir dir;
  const std::string path = dir.Path("DRAWUIConfig.xml");
  const std::string original = test::SmallUiConfig("container");
  WriteBytes(path, original);
  PassResult r = AddToolbarFile(path, StandardVariant(), 14, "KV");
  EXPECT_EQ(r.status, PassStatus::kSaved);
  EXPECT_EQ(r.changes.itemDefinitionsAdded, 6);
  EXPECT_EQ(ReadBytes(path), AddInMemory(original, 14));
  r = RemoveToolbarFile(path, StandardVariant());
  EXPECT_EQ(r.status, PassStatus::kSaved);
  EXPECT_EQ(ReadBytes(path), original);
  EXPECT_EQ(dir.FileCount(), 1u);  // no temporary file left behind
}

TEST(ToolbarFile, FilesKeepTheirEncoding) {
  TempDir dir;
  const std::string path = dir.Path("workspace.xml");
  const std::string text = test::SmallUiConfig("toolbar");
  std::string latin = text;
  latin.replace(latin.find("utf-8"), 5, "windows-1252");
  latin.replace(latin.find("Mine"), 4, "Caf\xE9");  // e acute in windows-1252
  for (const std::string& original : {Utf16Le(text), "\xEF\xBB\xBF" + text, latin}) {
    WriteBytes(path, original);
    ASSERT_TRUE(AddToolbarFile(path, Q5Variant(), 19, "KV").ok());
    const std::string added = ReadBytes(path);
    EXPECT_EQ(added.substr(0, 3), original.substr(0, 3));
    const std::string mark = original[0] == '\xFF' ? Utf16Le("585ad85e").substr(2) : "585ad85e";
    EXPECT_NE(added.find(mark), std::string::npos);
    ASSERT_TRUE(RemoveToolbarFile(path, Q5Variant()).ok());
    EXPECT_EQ(ReadBytes(path), original);
  }
}

TEST(ToolbarFile, PassThatChangesNothingDoesNotWrite) {
  TempDir dir;
  const std::string path = dir.Path("workspace.xml");
  WriteBytes(path, AddInMemory(test::SmallUiConfig("toolbar"), 18));
  fs::last_write_time(fs::u8path(path), fs::file_time_type::clock::now() - std::chrono::hours(24 * 400));
  const auto old = fs::last_write_time(fs::u8path(path));  // as the file system keeps it
  PassResult r = AddToolbarFile(path, StandardVariant(), 18, "KV");
  EXPECT_EQ(r.status, PassStatus::kUnchanged);
  EXPECT_EQ(r.changes.present, kPlacementPresent | kHostButtonsPresent | kDefinitionPresent);
  r = RemoveToolbarFile(path, Q5Variant());
  EXPECT_EQ(r.status, PassStatus::kUnchanged);
  EXPECT_EQ(fs::last_write_time(fs::u8path(path)), old);
}

TEST(ToolbarFile, UnreadableFileIsReportedAndNothingIsWritten) {
  TempDir dir;
  const std::string missing = dir.Path("missing.xml");
  PassResult r = AddToolbarFile(missing, StandardVariant(), 17, "KV");
  EXPECT_EQ(r.status, PassStatus::kUnreadable);
  EXPECT_FALSE(r.detail.empty());
  EXPECT_FALSE(r.ok());
  r = RemoveToolbarFile(dir.Path(""), StandardVariant());  // a directory
  EXPECT_EQ(r.status, PassStatus::kUnreadable);
  EXPECT_EQ(dir.FileCount(), 0u);
}

TEST(ToolbarFile, TextThatCannotBeReadWithoutLossIsLeftAlone) {
  TempDir dir;
  const std::string path = dir.Path("DRAWUIConfig.xml");
  std::string original = test::SmallUiConfig("container");
  original.replace(original.find("utf-8"), 5, "Shift_JIS");
  original.replace(original.find("Mine"), 4, "\x81");  // a lead byte without its trail byte
  WriteBytes(path, original);
  EXPECT_EQ(AddToolbarFile(path, StandardVariant(), 13, "KV").status, PassStatus::kLossyText);
  EXPECT_EQ(ReadBytes(path), original);
}

TEST(ToolbarFile, MalformedTextIsStillEdited) {
  TempDir dir;
  const std::string path = dir.Path("workspace.xml");
  // A stray end tag makes the document not well formed; the walk is unharmed.
  std::string original = test::SmallUiConfig("toolbar");
  original.insert(original.find("<itemData"), "</stray>");
  WriteBytes(path, original);
  CXmlDocument check;
  EXPECT_FALSE(check.ParseText(original));
  EXPECT_EQ(AddToolbarFile(path, StandardVariant(), 17, "KV").status, PassStatus::kSaved);
  EXPECT_EQ(ReadBytes(path), AddInMemory(original, 17));
}

TEST(DocumentEdits, FirstRefusedEditEndsTheRun) {
  CXmlDocument doc("<a/>");
  DocumentEdits e(doc);
  e.Set("x", "1");  // nothing current: refused
  EXPECT_FALSE(e.ok());
  doc.FindElement("a");
  e.Set("y", "2").Enter().Add("b");
  EXPECT_EQ(doc.Text(), "<a/>");
  DocumentEdits fresh(doc);
  fresh.Set("y", "2").Enter().Add("b", kAddNoLineBreak).Leave();
  EXPECT_TRUE(fresh.ok());
  EXPECT_EQ(doc.Text(), "<a y=\"2\"><b/></a>");
  fresh.Leave();  // at the top already
  EXPECT_FALSE(fresh.ok());
}

}  // namespace
}  // namespace barsetup
