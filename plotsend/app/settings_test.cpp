#include "settings.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scratch_dir_test_util.h"

namespace plotsend {
namespace {

const std::vector<std::string> kKeysInOrder = {
    "PortSel_i",  "IsClose",    "IsOffset",   "CloseVal",   "OffsetVal",
    "OriginOffsetX", "OriginOffsetY", "IP_FIELD_0", "IP_FIELD_1", "IP_FIELD_2",
    "IP_FIELD_3", "IP_PORT",    "IsDashedLine", "DashedLineLineLen", "DashedLineGapLen"};

// Records every call; serves values from a map and fails chosen writes.
class RecordingPort final : public ProfilePort {
 public:
  std::string Read(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& fallback, size_t capacity) override {
    reads.push_back({file, section, key, fallback, capacity});
    const auto it = values.find(key);
    return it == values.end() ? fallback : it->second;
  }
  bool Write(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) override {
    writes.push_back({file, section, key, value, 0});
    return key != failing_key;
  }

  struct Call {
    std::string file, section, key, text;
    size_t capacity;
  };
  std::vector<Call> reads, writes;
  std::map<std::string, std::string> values;
  std::string failing_key;
};

TEST(SettingsTest, NoConfigFileGivesTheDefaults) {
  ScratchDir dir;
  auto port = MakeProfilePort();
  const Settings s = LoadSettings(*port, dir.File("config.ini"));
  EXPECT_EQ(s.PortSel_i, 0);
  EXPECT_EQ(s.IsClose, 1);
  EXPECT_EQ(s.IsOffset, 1);
  EXPECT_DOUBLE_EQ(s.CloseVal, 0.35);
  EXPECT_DOUBLE_EQ(s.OffsetVal, 0.35);
  EXPECT_EQ(s.OriginOffsetX, 0.0);
  EXPECT_EQ(s.OriginOffsetY, 0.0);
  EXPECT_EQ(s.IP_FIELD, (std::array<uint8_t, 4>{192, 168, 0, 233}));
  EXPECT_EQ(s.IP_PORT, 9100);
  EXPECT_EQ(s.IsDashedLine, 0);
  EXPECT_DOUBLE_EQ(s.DashedLineLineLen, 3.0);
  EXPECT_DOUBLE_EQ(s.DashedLineGapLen, 0.5);
  EXPECT_EQ(s, Settings{});
  EXPECT_FALSE(TestFileExists(dir.File("config.ini")));
}

TEST(SettingsTest, LoadReadsEveryKeyInOrderFromSectionConfigWithTenByteBuffer) {
  RecordingPort port;
  LoadSettings(port, "some.ini");
  ASSERT_EQ(port.reads.size(), kKeysInOrder.size());
  const std::vector<std::string> defaults = {"0",   "1",   "1", "0.35", "0.35", "0",   "0",  "192",
                                             "168", "0",   "233", "9100", "0",  "3.0", "0.5"};
  for (size_t i = 0; i < kKeysInOrder.size(); ++i) {
    EXPECT_EQ(port.reads[i].key, kKeysInOrder[i]);
    EXPECT_EQ(port.reads[i].text, defaults[i]) << kKeysInOrder[i];
    EXPECT_EQ(port.reads[i].section, "config");
    EXPECT_EQ(port.reads[i].file, "some.ini");
    EXPECT_EQ(port.reads[i].capacity, 10u);
  }
}

TEST(SettingsTest, ValuesAreReadLikeStrtolAndStrtod) {
  ScratchDir dir;
  const std::string ini = dir.File("config.ini");
  WriteTestFile(ini,
                "[config]\r\n"
                "PortSel_i=300\r\n"        // 8-bit field: 300 mod 256
                "IsClose=abc\r\n"          // no number: 0
                "IsOffset= -7x\r\n"
                "CloseVal=1.5mm\r\n"
                "OffsetVal=1,25\r\n"       // the decimal point is '.', whatever the locale
                "OriginOffsetX=-2.5e1\r\n"
                "OriginOffsetY=.\r\n"
                "IP_FIELD_0=-1\r\n"
                "IP_FIELD_1=256\r\n"
                "IP_FIELD_2=+10\r\n"
                "IP_FIELD_3=-300\r\n"
                "IP_PORT=12345678901\r\n"  // only 9 characters reach the parser
                "IsDashedLine=7\r\n"
                "DashedLineLineLen=1e999\r\n"
                "DashedLineGapLen=0.0000001\r\n");
  auto port = MakeProfilePort();
  const Settings s = LoadSettings(*port, ini);
  EXPECT_EQ(s.PortSel_i, 44);
  EXPECT_EQ(s.IsClose, 0);
  EXPECT_EQ(s.IsOffset, -7);
  EXPECT_DOUBLE_EQ(s.CloseVal, 1.5);
  EXPECT_DOUBLE_EQ(s.OffsetVal, 1.0);
  EXPECT_DOUBLE_EQ(s.OriginOffsetX, -25.0);
  EXPECT_EQ(s.OriginOffsetY, 0.0);
  EXPECT_EQ(s.IP_FIELD, (std::array<uint8_t, 4>{255, 0, 10, 212}));
  EXPECT_EQ(s.IP_PORT, 123456789);
  EXPECT_EQ(s.IsDashedLine, 7);
  EXPECT_EQ(s.DashedLineLineLen, DBL_MAX);
  EXPECT_DOUBLE_EQ(s.DashedLineGapLen, 0.0000001);
}

TEST(SettingsTest, SaveWritesEveryKeyInOrderAndFormatsValues) {
  RecordingPort port;
  Settings s;
  s.PortSel_i = 200;
  s.IsClose = 0;
  s.IsOffset = -3;
  s.CloseVal = 0.375;
  s.OffsetVal = 2.0 / 3.0;
  s.OriginOffsetX = -12.3;
  s.OriginOffsetY = 1234.5;
  s.IP_FIELD = {10, 0, 0, 255};
  s.IP_PORT = 65535;
  s.IsDashedLine = 7;
  s.DashedLineLineLen = 2.5;
  s.DashedLineGapLen = -0.001;
  EXPECT_TRUE(SaveSettings(port, "some.ini", s));
  const std::vector<std::string> expected = {"200",   "0",   "-3",  "0.38",    "0.67",
                                             "-12.30", "1234.50", "10", "0", "0",
                                             "255",   "65535", "1", "2.50",   "-0.00"};
  ASSERT_EQ(port.writes.size(), kKeysInOrder.size());
  for (size_t i = 0; i < kKeysInOrder.size(); ++i) {
    EXPECT_EQ(port.writes[i].key, kKeysInOrder[i]);
    EXPECT_EQ(port.writes[i].text, expected[i]) << kKeysInOrder[i];
    EXPECT_EQ(port.writes[i].section, "config");
    EXPECT_EQ(port.writes[i].file, "some.ini");
  }
  s.IsDashedLine = 0;
  port.writes.clear();
  SaveSettings(port, "some.ini", s);
  EXPECT_EQ(port.writes.at(12).text, "0");
}

TEST(SettingsTest, OneFailedWriteIsReportedButTheOthersAreStillMade) {
  RecordingPort port;
  port.failing_key = "IsOffset";
  EXPECT_FALSE(SaveSettings(port, "some.ini", Settings{}));
  EXPECT_EQ(port.writes.size(), kKeysInOrder.size());
}

TEST(SettingsTest, SaveAndReloadThroughTheFile) {
  ScratchDir dir;
  const std::string ini = dir.File("config.ini");
  auto port = MakeProfilePort();
  Settings s;
  s.PortSel_i = 2;
  s.IsOffset = 0;
  s.CloseVal = 0.375;
  s.OriginOffsetX = -5.25;
  s.IP_FIELD = {172, 16, 1, 9};
  s.IP_PORT = 23;
  s.IsDashedLine = 1;
  s.DashedLineLineLen = 2.5;
  s.DashedLineGapLen = 0.75;
  ASSERT_TRUE(SaveSettings(*port, ini, s));
  EXPECT_EQ(port->Read(ini, "config", "DashedLineLineLen", "", 10), "2.50");
  EXPECT_EQ(port->Read(ini, "config", "CloseVal", "", 10), "0.38");

  Settings expected = s;
  expected.CloseVal = 0.38;  // stored with two decimals
  EXPECT_EQ(LoadSettings(*port, ini), expected);

  // Keys appear in the file in the order they are written.
  const std::string text = ReadTestFile(ini);
  size_t last = 0;
  for (const std::string& key : kKeysInOrder) {
    const size_t at = text.find("\n" + key + "=");
    ASSERT_NE(at, std::string::npos) << key;
    EXPECT_GT(at, last) << key;
    last = at;
  }

  // A second save updates in place instead of adding keys.
  s.IP_PORT = 9100;
  ASSERT_TRUE(SaveSettings(*port, ini, s));
  EXPECT_EQ(ReadTestFile(ini).size(), text.size() - 2 + 4);
  EXPECT_EQ(LoadSettings(*port, ini).IP_PORT, 9100);
}

TEST(SettingsTest, SaveIntoMissingDirectoryReportsFailure) {
  ScratchDir dir;
  auto port = MakeProfilePort();
  EXPECT_FALSE(SaveSettings(*port, dir.File("absent") + "/config.ini", Settings{}));
  EXPECT_FALSE(TestFileExists(dir.File("absent")));
}

TEST(ParseDecimalRealTest, ReadsTheLongestNumberAtTheStart) {
  EXPECT_EQ(ParseDecimalReal("0.35"), 0.35);
  EXPECT_EQ(ParseDecimalReal(" \t-2.5e1x"), -25.0);
  EXPECT_EQ(ParseDecimalReal("+.5"), 0.5);
  EXPECT_EQ(ParseDecimalReal("5."), 5.0);
  EXPECT_EQ(ParseDecimalReal("1e"), 1.0);
  EXPECT_EQ(ParseDecimalReal("1e+"), 1.0);
  EXPECT_EQ(ParseDecimalReal("1E-2"), 0.01);
  EXPECT_EQ(ParseDecimalReal("007.50"), 7.5);
  EXPECT_EQ(ParseDecimalReal("3,5"), 3.0);
  EXPECT_EQ(ParseDecimalReal("1.2.3"), 1.2);
}

TEST(ParseDecimalRealTest, TextWithoutANumberIsZero) {
  for (const char* text : {"", "abc", "-", "+", ".", "-.", "e5", " .e1", "inf", "nan", "0x"})
    EXPECT_EQ(ParseDecimalReal(text), 0.0) << text;
}

TEST(ParseDecimalRealTest, OutOfRangeSaturates) {
  EXPECT_EQ(ParseDecimalReal("1e999"), DBL_MAX);
  EXPECT_EQ(ParseDecimalReal("-1e999"), -DBL_MAX);
  EXPECT_EQ(ParseDecimalReal("1e99999999999999"), DBL_MAX);
  EXPECT_EQ(ParseDecimalReal("1e-999"), 0.0);
  EXPECT_TRUE(std::signbit(ParseDecimalReal("-1e-999")));
  EXPECT_EQ(ParseDecimalReal("0.0001e-400"), 0.0);
  EXPECT_EQ(ParseDecimalReal("0e999"), 0.0);
}

TEST(FormatFixed2Test, RoundsLikePrintf) {
  EXPECT_EQ(FormatFixed2(0.375), "0.38");   // exact tie, to even
  EXPECT_EQ(FormatFixed2(0.125), "0.12");   // exact tie, to even
  EXPECT_EQ(FormatFixed2(0.35), "0.35");
  EXPECT_EQ(FormatFixed2(2.675), "2.67");   // just below the tie in binary
  EXPECT_EQ(FormatFixed2(3.0), "3.00");
  EXPECT_EQ(FormatFixed2(-0.004), "-0.00");
  EXPECT_EQ(FormatFixed2(1e20), "100000000000000000000.00");
  EXPECT_EQ(FormatFixed2(DBL_MAX).size(), 309u + 3u);
}

}  // namespace
}  // namespace plotsend
