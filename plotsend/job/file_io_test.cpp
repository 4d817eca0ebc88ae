#include "file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace plotsend {
namespace {

std::string TempName(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string("plotara_file_io_") + name)).string();
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
  std::string back;
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_EQ(back, big + "@");
  std::filesystem::remove(path);
}

TEST(FileIo, ReportsWhatCannotBeReadOrWritten) {
  std::string out = "kept";
  EXPECT_FALSE(ReadWholeFile(TempName("does_not_exist"), out));
  EXPECT_FALSE(ReadWholeFile(std::filesystem::temp_directory_path().string(), out));  // a directory
  BufferedWriter writer(TempName("no_such_dir/file"));
  writer.Write("abc");
  EXPECT_FALSE(writer.Close());
}

}  // namespace
}  // namespace plotsend
