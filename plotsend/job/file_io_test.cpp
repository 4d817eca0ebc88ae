#include "job/file_io.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace plotsend {
namespace {

namespace fs = std::filesystem;

std::string TempName(const char* name) {
  return (fs::temp_directory_path() / (std::string("plotara_file_io_") + name)).string();
}

std::string ReadBack(const std::string& path) {
  std::string text;
  EXPECT_TRUE(ReadWholeFile(path, text)) << path;
  return text;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  BufferedWriter out(path);
  out.Write(bytes);
  ASSERT_TRUE(out.Close()) << path;
}

TEST(FileIo, WritesAndReadsBackWholeFiles) {
  const std::string path = TempName("roundtrip");
  std::string big(3 << 20, 'x');  // several flushes of the writer's buffer
  big[12345] = ';';
  {
    BufferedWriter out(path);
    out.Write(std::string_view(big).substr(0, 100));
    out.Write(std::string_view(big).substr(100));
    out.Write('@');
    EXPECT_TRUE(out.Close());
  }
  EXPECT_EQ(ReadBack(path), big + "@");
  fs::remove(path);
}

TEST(FileIo, ReportsWhatCannotBeReadOrWritten) {
  std::string out = "kept";
  EXPECT_FALSE(ReadWholeFile(TempName("does_not_exist"), out));
  EXPECT_FALSE(ReadWholeFile(fs::temp_directory_path().string(), out));  // a directory
  BufferedWriter writer(TempName("no_such_dir/file"));
  writer.Write("abc");
  EXPECT_FALSE(writer.Close());
}

// A write that is abandoned (an exception, a failed step) before Close()
// leaves the previous file exactly as it was, and no temporary file beside it.
TEST(FileIo, AnUnfinishedWriteLeavesThePreviousFile) {
  const std::string path = TempName("unfinished");
  WriteFile(path, "previous job");
  {
    BufferedWriter out(path);
    out.Write(std::string(3 << 20, 'y'));  // past the first flush
  }
  EXPECT_EQ(ReadBack(path), "previous job");
  EXPECT_FALSE(fs::exists(path + ".plotara-tmp"));
  // So does one that is complete but not ready to be put in place.
  {
    BufferedWriter out(path);
    out.Write("not yet");
    EXPECT_FALSE(out.Close([] { return false; }));
  }
  EXPECT_EQ(ReadBack(path), "previous job");
  EXPECT_FALSE(fs::exists(path + ".plotara-tmp"));

  // The replacement keeps the permissions the file had.
  const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(path, perms);
  const fs::perms before = fs::status(path).permissions();
  WriteFile(path, "new");
  EXPECT_EQ(ReadBack(path), "new");
  EXPECT_EQ(fs::status(path).permissions(), before);
  EXPECT_FALSE(fs::exists(path + ".plotara-tmp"));
  fs::remove(path);
}

TEST(FileIo, AWriteThroughASymbolicLinkKeepsTheLink) {
  const fs::path dir = TempName("links");
  fs::remove_all(dir);
  fs::create_directories(dir / "sub");
  const std::string target = (dir / "sub" / "real.plt").string();
  WriteFile(target, "old");
  std::error_code ec;
  fs::create_symlink("sub/real.plt", dir / "link.plt", ec);
  if (ec) GTEST_SKIP() << "no symbolic links here";
  fs::create_symlink("link.plt", dir / "chain.plt");

  WriteFile((dir / "chain.plt").string(), "new");
  EXPECT_TRUE(fs::is_symlink(dir / "chain.plt"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.plt"));
  EXPECT_EQ(ReadBack(target), "new");
  EXPECT_TRUE(SameFile((dir / "chain.plt").string(), target));
  // A dangling link names the file it would create.
  fs::create_symlink("sub/later.kv3", dir / "dangling.plt");
  EXPECT_TRUE(SameFile((dir / "dangling.plt").string(), (dir / "sub" / "later.kv3").string()));
  EXPECT_FALSE(SameFile((dir / "dangling.plt").string(), target));
  fs::remove_all(dir);
}

TEST(FileIo, SameFileSeesThroughSpellingsAndHardLinks) {
  const fs::path dir = TempName("same");
  fs::remove_all(dir);
  fs::create_directories(dir / "a");
  const std::string file = (dir / "job.plt").string();
  WriteFile(file, "x");
  EXPECT_TRUE(SameFile(file, (dir / "a" / ".." / "job.plt").string()));
  EXPECT_TRUE(SameFile((dir / "new.plt").string(), (dir / "a" / ".." / "new.plt").string()));
  EXPECT_FALSE(SameFile(file, (dir / "a" / "job.plt").string()));
  std::error_code ec;
  fs::create_hard_link(file, dir / "hard.plt", ec);
  if (!ec) {
    EXPECT_TRUE(SameFile(file, (dir / "hard.plt").string()));
  }
  fs::remove_all(dir);
}

// Bytes read from a file that changed meanwhile are no one version of it:
// the read fails and says that it changed.
TEST(FileIo, AFileThatChangesWhileItIsReadIsRefused) {
  const std::string path = TempName("changing");
  const std::string other = TempName("changing_new");
  const std::pair<const char*, std::function<bool()>> changes[] = {
      {"rewritten in place", [&] { return static_cast<bool>(std::ofstream(path, std::ios::trunc) << "new job"); }},
      {"same size, written later",
       [&] {
         std::fstream(path, std::ios::in | std::ios::out | std::ios::binary) << "0123";
         std::error_code ec;
         fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2), ec);
         return !ec;
       }},
      {"replaced by rename",
       [&] {
         WriteFile(other, "new job");
         std::error_code ec;
         fs::rename(other, path, ec);  // not while the file is open, on Windows
         return !ec;
       }},
  };
  int made = 0;
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    WriteFile(path, "old job, read in pieces");
    bool changed = false;
    int pieces = 0;
    FileRead read;
    const bool whole = ReadInPieces(
        path, 4,
        [&](std::string_view, uint64_t) {
          if (pieces++ == 0) changed = change();
        },
        &read);
    if (!changed) continue;
    ++made;
    EXPECT_FALSE(whole);
    EXPECT_TRUE(read.changed);
  }
  EXPECT_GE(made, 2);  // the file can always be written while it is read
  // Unchanged: read whole, with the identity the file still has.
  std::string text;
  FileRead read;
  ASSERT_TRUE(ReadWholeFile(path, text, &read));
  EXPECT_FALSE(read.changed);
  EXPECT_EQ(read.identity, IdentityOf(path));
  fs::copy_file(path, TempName("changing_copy"), fs::copy_options::overwrite_existing);
  EXPECT_NE(IdentityOf(path), IdentityOf(TempName("changing_copy")));  // another file, the same bytes
  fs::remove(path);
  fs::remove(TempName("changing_copy"));
}

TEST(FileIo, DevicesAreWrittenInPlace) {
  std::error_code ec;
  if (fs::symlink_status("/dev/null", ec).type() != fs::file_type::character) GTEST_SKIP();
  WriteFile("/dev/null", "discarded");
  EXPECT_EQ(fs::symlink_status("/dev/null", ec).type(), fs::file_type::character);
  EXPECT_FALSE(fs::exists("/dev/null.plotara-tmp"));
}

}  // namespace
}  // namespace plotsend
