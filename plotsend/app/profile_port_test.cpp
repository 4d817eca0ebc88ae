// One set of cases for every ProfilePort implementation: natively they run
// against our INI files, in the Windows build against the system's profile
// functions, so the two cannot drift apart.
#include "app/profile_port.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "app/scratch_dir_test_util.h"

namespace plotsend {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A byte-order mark and `text` in UTF-16LE.
std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

class ProfilePortTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProfilePort> port_ = MakeProfilePort();
  ScratchDir dir_;
  std::string ini_ = dir_.File("config.ini");
};

TEST_F(ProfilePortTest, MissingFileSectionOrKeyGivesFallback) {
  EXPECT_EQ(port_->Read(ini_, "config", "CloseVal", "0.35", 10), "0.35");
  EXPECT_FALSE(TestFileExists(ini_));  // reading never creates the file

  WriteTestFile(ini_, "[other]\r\nCloseVal=1.5\r\n[config]\r\nIsClose=0\r\n");
  EXPECT_EQ(port_->Read(ini_, "config", "CloseVal", "0.35", 10), "0.35");
  EXPECT_EQ(port_->Read(ini_, "nosuch", "IsClose", "1", 10), "1");
  EXPECT_EQ(port_->Read(ini_, "config", "IsClose", "1", 10), "0");
  // Trailing blanks of the fallback are dropped.
  EXPECT_EQ(port_->Read(ini_, "config", "Missing", "3.0  ", 10), "3.0");
}

TEST_F(ProfilePortTest, WriteCreatesFileAndSection) {
  ASSERT_TRUE(port_->Write(ini_, "config", "IP_PORT", "9100"));
  EXPECT_TRUE(TestFileExists(ini_));
  EXPECT_EQ(port_->Read(ini_, "config", "IP_PORT", "x", 10), "9100");

  ASSERT_TRUE(port_->Write(ini_, "second", "IP_PORT", "80"));
  ASSERT_TRUE(port_->Write(ini_, "config", "IsClose", "0"));
  EXPECT_EQ(port_->Read(ini_, "config", "IP_PORT", "x", 10), "9100");
  EXPECT_EQ(port_->Read(ini_, "second", "IP_PORT", "x", 10), "80");
  EXPECT_EQ(port_->Read(ini_, "config", "IsClose", "x", 10), "0");
}

TEST_F(ProfilePortTest, SectionAndKeyNamesIgnoreCase) {
  WriteTestFile(ini_, "[Config]\r\nportsel_i=3\r\n");
  EXPECT_EQ(port_->Read(ini_, "config", "PortSel_i", "0", 10), "3");
  EXPECT_EQ(port_->Read(ini_, "CONFIG", "PORTSEL_I", "0", 10), "3");

  ASSERT_TRUE(port_->Write(ini_, "CONFIG", "PortSel_I", "4"));
  EXPECT_EQ(port_->Read(ini_, "config", "portsel_i", "0", 10), "4");
  // Updated in place: one section, one key.
  const std::string text = Lower(ReadTestFile(ini_));
  EXPECT_EQ(text.find("portsel_i", text.find("portsel_i") + 1), std::string::npos) << text;
  EXPECT_EQ(text.find("[config]", 1), std::string::npos) << text;
}

TEST_F(ProfilePortTest, UpdateInPlaceKeepsOtherSectionsKeysAndComments) {
  WriteTestFile(ini_,
                "; written by hand\r\n"
                "[first]\r\nCloseVal=9.99\r\n\r\n"
                "[config]\r\nCloseVal=0.35\r\nOffsetVal=0.40\r\n\r\n"
                "[last]\r\nCloseVal=7.00\r\n");
  ASSERT_TRUE(port_->Write(ini_, "config", "CloseVal", "1.25"));
  EXPECT_EQ(port_->Read(ini_, "config", "CloseVal", "x", 10), "1.25");
  EXPECT_EQ(port_->Read(ini_, "config", "OffsetVal", "x", 10), "0.40");
  EXPECT_EQ(port_->Read(ini_, "first", "CloseVal", "x", 10), "9.99");
  EXPECT_EQ(port_->Read(ini_, "last", "CloseVal", "x", 10), "7.00");
  const std::string text = ReadTestFile(ini_);
  EXPECT_NE(text.find("; written by hand"), std::string::npos) << text;
  EXPECT_EQ(text.find("0.35"), std::string::npos) << text;
}

TEST_F(ProfilePortTest, ValueIsCutToCapacityMinusOne) {
  WriteTestFile(ini_, "[config]\r\nIP_PORT=1234567890123\r\n");
  EXPECT_EQ(port_->Read(ini_, "config", "IP_PORT", "0", 10), "123456789");
  EXPECT_EQ(port_->Read(ini_, "config", "IP_PORT", "0", 4), "123");
  EXPECT_EQ(port_->Read(ini_, "config", "IP_PORT", "0", 1), "");
  EXPECT_EQ(port_->Read(ini_, "config", "IP_PORT", "0", 0), "");
  EXPECT_EQ(port_->Read(ini_, "config", "IP_PORT", "0", 64), "1234567890123");
  // The fallback obeys the same limit.
  EXPECT_EQ(port_->Read(ini_, "config", "Missing", "abcdefghijkl", 10), "abcdefghi");
}

TEST_F(ProfilePortTest, BlanksAroundNamesAndValuesAreIgnored) {
  WriteTestFile(ini_, "[config]\r\n  IP_PORT  =   9100   \r\n\tIsClose\t=\t0\t\r\n");
  EXPECT_EQ(port_->Read(ini_, "config", "IP_PORT", "0", 10), "9100");
  EXPECT_EQ(port_->Read(ini_, "config", "IsClose", "1", 10), "0");
  ASSERT_TRUE(port_->Write(ini_, "config", "IsOffset", "  5  "));
  EXPECT_EQ(port_->Read(ini_, "config", "IsOffset", "1", 10), "5");
}

TEST_F(ProfilePortTest, WriteIntoMissingDirectoryFailsWithoutCreatingIt) {
  const std::string missing_dir = dir_.File("absent");
  EXPECT_FALSE(port_->Write(missing_dir + "/config.ini", "config", "IsClose", "1"));
  EXPECT_FALSE(TestFileExists(missing_dir));
}

TEST_F(ProfilePortTest, ADirectoryInTheFilesPlaceIsNotWritten) {
  ASSERT_TRUE(std::filesystem::create_directory(Utf8Path(ini_)));
  EXPECT_FALSE(port_->Write(ini_, "config", "IsClose", "1"));
  EXPECT_EQ(port_->Read(ini_, "config", "IsClose", "0", 10), "0");
}

// A file saved as UTF-16 with a byte-order mark is read, and edited in
// UTF-16: nothing is added in 8 bits.
TEST_F(ProfilePortTest, Utf16FileIsReadAndWrittenInUtf16) {
  WriteTestFile(ini_, Utf16Le(u"; \u7ED8\u56FE \U0001F600\r\n[config]\r\nIP_FIELD_0=127\r\nIP_FIELD_3=1\r\n"));
  EXPECT_EQ(port_->Read(ini_, "config", "IP_FIELD_0", "192", 10), "127");
  EXPECT_EQ(port_->Read(ini_, "config", "IP_FIELD_3", "233", 10), "1");
  ASSERT_TRUE(port_->Write(ini_, "config", "IP_FIELD_3", "2"));
  ASSERT_TRUE(port_->Write(ini_, "config", "IP_PORT", "9100"));
  EXPECT_EQ(ReadTestFile(ini_),
            Utf16Le(u"; \u7ED8\u56FE \U0001F600\r\n[config]\r\nIP_FIELD_0=127\r\nIP_FIELD_3=2\r\nIP_PORT=9100\r\n"));
}

TEST_F(ProfilePortTest, EntriesThatWouldBreakTheFileAreRefused) {
  WriteTestFile(ini_, "[config]\r\nIsClose=1\r\n");
  const std::string before = ReadTestFile(ini_);
  EXPECT_FALSE(port_->Write(ini_, "config", "IsClose", "1\r\n[evil]\r\nx=2"));
  EXPECT_FALSE(port_->Write(ini_, "config", "a=b", "1"));
  EXPECT_FALSE(port_->Write(ini_, "config", "", "1"));
  EXPECT_FALSE(port_->Write(ini_, "", "IsClose", "1"));
  EXPECT_EQ(ReadTestFile(ini_), before);
  EXPECT_EQ(port_->Read(ini_, "evil", "x", "none", 10), "none");
}

TEST_F(ProfilePortTest, PathsOutsideAsciiWork) {
  const std::string sub = dir_.File("Pl\xC3\xB6tara \xE7\xBB\x98\xE5\x9B\xBE");  // "Plötara 绘图"
  ASSERT_TRUE(std::filesystem::create_directory(Utf8Path(sub)));
  const std::string ini = sub + "/config.ini";
  ASSERT_TRUE(port_->Write(ini, "config", "IP_FIELD_0", "10"));
  EXPECT_TRUE(TestFileExists(ini));
  EXPECT_EQ(port_->Read(ini, "config", "IP_FIELD_0", "192", 10), "10");
}

}  // namespace
}  // namespace plotsend
