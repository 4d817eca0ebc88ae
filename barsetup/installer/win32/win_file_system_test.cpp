#include "installer/win32/win_file_system.h"

#include "installer/win32/win_api.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "installer/win32/win32_test_util.h"

namespace barsetup {
namespace {

std::vector<unsigned char> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(WinFileSystem, WritesReadsCopiesAndMovesUnderNonAsciiNames) {
  ScratchDir dir;
  WinFileSystem files;
  const std::string a = dir.Path("Zoë 工作区.xml");
  const std::string b = dir.Path("копия.xml");
  const std::vector<unsigned char> content = {'<', 0, 0xff, '\r', '\n', 'x'};
  ASSERT_TRUE(files.WriteFile(a, content));
  EXPECT_TRUE(files.Exists(a));
  std::vector<unsigned char> read;
  ASSERT_TRUE(files.ReadFile(a, &read));
  EXPECT_EQ(read, content);

  // Copy and move replace what is at the target.
  WriteText(b, "older and longer text");
  ASSERT_TRUE(files.CopyFile(a, b));
  EXPECT_EQ(ReadText(b), std::string(content.begin(), content.end()));
  ASSERT_TRUE(files.WriteFile(a, Bytes("new")));
  ASSERT_TRUE(files.MoveFile(a, b));
  EXPECT_FALSE(files.Exists(a));
  EXPECT_EQ(ReadText(b), "new");

  // An empty file is written and read as empty.
  ASSERT_TRUE(files.WriteFile(a, {}));
  ASSERT_TRUE(files.ReadFile(a, &read));
  EXPECT_TRUE(read.empty());
}

// A replaced file keeps the attributes the user gave it.
TEST(WinFileSystem, MoveKeepsTheTargetsAttributes) {
  ScratchDir dir;
  WinFileSystem files;
  const std::string target = dir.Path("Mine.cdws");
  const std::string fresh = dir.Path("Mine.cdws.new");
  constexpr DWORD kSet = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  WriteText(target, "old");
  ASSERT_TRUE(SetFileAttributesW(WidePath(target).c_str(), kSet));
  WriteText(fresh, "new");
  ASSERT_TRUE(files.MoveFile(fresh, target));
  EXPECT_EQ(ReadText(target), "new");
  EXPECT_EQ(GetFileAttributesW(WidePath(target).c_str()) & kSet, kSet);
  SetFileAttributesW(WidePath(target).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WinFileSystem, FailuresAreReported) {
  ScratchDir dir;
  WinFileSystem files;
  std::vector<unsigned char> read = {1};
  EXPECT_FALSE(files.Exists(dir.Path("none")));
  EXPECT_FALSE(files.ReadFile(dir.Path("none"), &read));
  EXPECT_FALSE(files.CopyFile(dir.Path("none"), dir.Path("copy")));
  EXPECT_FALSE(files.Exists(dir.Path("copy")));
  EXPECT_FALSE(files.MoveFile(dir.Path("none"), dir.Path("moved")));
  EXPECT_FALSE(files.DeleteFile(dir.Path("none")));
  // One level only: the parent must exist.
  EXPECT_FALSE(files.CreateDirectory(dir.Path("a\\b")));
  EXPECT_FALSE(files.WriteFile(dir.Path("no dir\\f.txt"), Bytes("x")));
  std::vector<DirEntry> entries;
  EXPECT_FALSE(files.ListDirectory(dir.Path("none"), &entries));
  // A name that is not UTF-8 is refused, not written under a mended name.
  EXPECT_FALSE(files.WriteFile(dir.Path("bad \xFF"), Bytes("x")));
  ASSERT_TRUE(files.ListDirectory(dir.Path(), &entries));
  EXPECT_TRUE(entries.empty());
}

TEST(WinFileSystem, DirectoriesAreMadeListedAndRemoved) {
  ScratchDir dir;
  WinFileSystem files;
  const std::string sub = dir.Path("内容 content");
  ASSERT_TRUE(files.CreateDirectory(sub));
  EXPECT_FALSE(files.CreateDirectory(sub));  // already there
  ASSERT_TRUE(files.CreateDirectory(sub + "\\icons"));
  ASSERT_TRUE(files.WriteFile(sub + "\\workspace.xml", Bytes("<a/>")));
  ASSERT_TRUE(files.WriteFile(sub + "\\ärger.ico", Bytes("i")));

  std::vector<DirEntry> entries;
  ASSERT_TRUE(files.ListDirectory(sub, &entries));
  std::sort(entries.begin(), entries.end(), [](const DirEntry& x, const DirEntry& y) { return x.name < y.name; });
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "icons");
  EXPECT_EQ(entries[0].kind, DirEntry::Kind::Directory);
  EXPECT_EQ(entries[1].name, "workspace.xml");
  EXPECT_EQ(entries[1].kind, DirEntry::Kind::File);
  EXPECT_EQ(entries[2].name, "ärger.ico");

  // A directory that is not empty stays.
  EXPECT_FALSE(files.RemoveDirectory(sub));
  EXPECT_TRUE(files.DeleteFile(sub + "\\workspace.xml"));
  EXPECT_TRUE(files.DeleteFile(sub + "\\ärger.ico"));
  EXPECT_TRUE(files.RemoveDirectory(sub + "\\icons"));
  ASSERT_TRUE(files.ListDirectory(sub, &entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_TRUE(files.RemoveDirectory(sub));
  EXPECT_FALSE(files.Exists(sub));
}

TEST(WinFileSystem, PrivateTemporaryDirectoriesAreNewAndUsable) {
  WinFileSystem files;
  std::string first, second;
  ASSERT_TRUE(files.CreatePrivateTempDirectory(&first));
  ASSERT_TRUE(files.CreatePrivateTempDirectory(&second));
  EXPECT_NE(first, second);
  wchar_t temp[MAX_PATH + 1];
  const std::string tempDir = plotara::ToUtf8(std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)));
  EXPECT_EQ(first.rfind(tempDir, 0), 0u) << first;
  EXPECT_NE(first.back(), '\\');
  for (const std::string& dir : {first, second}) {
    ASSERT_TRUE(files.WriteFile(dir + "\\7z.exe", Bytes("MZ")));
    EXPECT_TRUE(files.DeleteFile(dir + "\\7z.exe"));
    EXPECT_TRUE(files.RemoveDirectory(dir));
  }
}

}  // namespace
}  // namespace barsetup
