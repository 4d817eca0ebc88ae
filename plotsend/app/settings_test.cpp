#include "app/settings.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "app/dialog_test_support.h"
#include "app/scratch_dir_test_util.h"

namespace plotsend {
namespace {

// Records writes and fails the one for `failing_key`.
class RecordingPort final : public ProfilePort {
 public:
  std::string Read(const std::string&, const std::string&, const std::string&, const std::string& fallback,
                   size_t) override {
    return fallback;
  }
  bool Write(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) override {
    writes.push_back(file + "|" + section + "|" + key + "=" + value);
    return key != failing_key;
  }
  std::vector<std::string> writes;
  std::string failing_key;
};

TEST(SettingsTest, NoConfigFileGivesTheDefaults) {
  ScratchDir dir;
  const Settings s = LoadSettings(*MakeProfilePort(), dir.File("config.ini"));
  EXPECT_EQ(s.PortSel_i, 0);
  EXPECT_EQ(s.IsClose, 1);
  EXPECT_EQ(s.IsOffset, 1);
  EXPECT_EQ(s.CloseVal, 0.35);
  EXPECT_EQ(s.OffsetVal, 0.35);
  EXPECT_EQ(s.OriginOffsetX, 0.0);
  EXPECT_EQ(s.OriginOffsetY, 0.0);
  EXPECT_EQ(s.IP_FIELD, (std::array<uint8_t, 4>{192, 168, 0, 233}));
  EXPECT_EQ(s.IP_PORT, 9100);
  EXPECT_EQ(s.IsDashedLine, 0);
  EXPECT_EQ(s.DashedLineLineLen, 3.0);
  EXPECT_EQ(s.DashedLineGapLen, 0.5);
  EXPECT_FALSE(TestFileExists(dir.File("config.ini")));
}

TEST(SettingsTest, ValuesAreReadLikeStrtolAndStrtod) {
  ScratchDir dir;
  const std::string ini = dir.File("config.ini");
  WriteTestFile(ini,
                "[config]\r\nPortSel_i=300\r\nIsClose=abc\r\nIsOffset= -7x\r\nCloseVal=1.5mm\r\n"
                "OffsetVal=1,25\r\nOriginOffsetX=-2.5e1\r\nOriginOffsetY=.\r\nIP_FIELD_0= 7x\r\n"
                "IP_FIELD_1=abc\r\nIP_FIELD_2=+10\r\nIP_FIELD_3=0255\r\n"
                "IP_PORT=000065535999\r\nIsDashedLine=7\r\nDashedLineLineLen=1e3\r\n"
                "DashedLineGapLen=0.1000001\r\n");
  const Settings s = LoadSettings(*MakeProfilePort(), ini);
  EXPECT_EQ(s.PortSel_i, 44);  // 8-bit fields keep the value modulo 256
  EXPECT_EQ(s.IsClose, 0);
  EXPECT_EQ(s.IsOffset, -7);
  EXPECT_EQ(s.CloseVal, 1.5);
  EXPECT_EQ(s.OffsetVal, 1.0);  // '.' is the decimal point whatever the locale
  EXPECT_EQ(s.OriginOffsetX, -25.0);
  EXPECT_EQ(s.OriginOffsetY, 0.0);
  EXPECT_EQ(s.IP_FIELD, (std::array<uint8_t, 4>{7, 0, 10, 255}));
  EXPECT_EQ(s.IP_PORT, 65535);  // only 9 characters reach the parser
  EXPECT_EQ(s.IsDashedLine, 7);
  EXPECT_EQ(s.DashedLineLineLen, 1000.0);
  EXPECT_DOUBLE_EQ(s.DashedLineGapLen, 0.1000001);
}

// Each key alone in config.ini: a value outside its range keeps the default
// and is named; the ends of each range are values.
TEST(SettingsTest, ValuesOutsideTheirRangeKeepTheDefault) {
  struct Case {
    const char* key;
    const char* text;
    bool used;
  };
  const Case cases[] = {
      {"OffsetVal", "0", true},
      {"OffsetVal", "5", true},
      {"OffsetVal", "5.01", false},
      {"OffsetVal", "1e308", false},
      {"CloseVal", "-0.01", false},
      {"CloseVal", "5.0000001", false},
      {"OriginOffsetX", "-5000", true},
      {"OriginOffsetX", "1e308", false},
      {"OriginOffsetY", "5000.01", false},
      {"OriginOffsetY", "-1e999", false},
      {"DashedLineLineLen", "0.1", true},
      {"DashedLineLineLen", "1000", true},
      {"DashedLineLineLen", "1e999", false},
      {"DashedLineLineLen", "0.09", false},
      {"DashedLineGapLen", "0", false},
      {"DashedLineGapLen", "0.0000001", false},
      {"IP_FIELD_0", "0", true},
      {"IP_FIELD_0", "383", false},
      {"IP_FIELD_1", "256", false},
      {"IP_FIELD_2", "-1", false},
      {"IP_FIELD_3", "-300", false},
      {"IP_PORT", "1", true},
      {"IP_PORT", "0", false},
      {"IP_PORT", "65536", false},
      {"IP_PORT", "12345678901", false},
      {"IP_PORT", "x", false},
  };
  for (const Case& c : cases) {
    MapProfile port;
    port.values[MapProfile::Key("config", c.key)] = c.text;
    std::vector<RejectedSetting> rejected;
    const Settings s = LoadSettings(port, "c.ini", &rejected);
    if (c.used) {
      EXPECT_TRUE(rejected.empty()) << c.key << "=" << c.text;
      EXPECT_NE(s, Settings{}) << c.key << "=" << c.text;
    } else {
      EXPECT_EQ(s, Settings{}) << c.key << "=" << c.text;
      ASSERT_EQ(rejected.size(), 1u) << c.key << "=" << c.text;
      EXPECT_EQ(rejected[0].key, c.key);
      EXPECT_EQ(rejected[0].text, std::string(c.text).substr(0, 9));  // as far as it was read
    }
  }
  EXPECT_EQ(DescribeRejected({"OriginOffsetX", "1e308", kOriginOffsetRange}), "OriginOffsetX=1e308 (-5000 ~ 5000)");
  EXPECT_EQ(DescribeRejected({"DashedLineGapLen", "0", kDashRange}), "DashedLineGapLen=0 (0.1 ~ 1000)");
}

TEST(SettingsTest, SaveWritesEveryKeyInOrderAndReportsFailures) {
  RecordingPort port;
  Settings s;
  s.PortSel_i = 200;
  s.IsOffset = -3;
  s.CloseVal = 0.375;
  s.OffsetVal = 2.0 / 3.0;
  s.OriginOffsetX = -12.3;
  s.OriginOffsetY = -0.001;
  s.IP_FIELD = {10, 0, 0, 255};
  s.IsDashedLine = 7;
  s.DashedLineLineLen = 2.5;
  EXPECT_TRUE(SaveSettings(port, "c.ini", s));
  const std::vector<std::string> expected = {"PortSel_i=200",        "IsClose=1",
                                             "IsOffset=-3",          "CloseVal=0.38",
                                             "OffsetVal=0.67",       "OriginOffsetX=-12.30",
                                             "OriginOffsetY=-0.00",  "IP_FIELD_0=10",
                                             "IP_FIELD_1=0",         "IP_FIELD_2=0",
                                             "IP_FIELD_3=255",       "IP_PORT=9100",
                                             "IsDashedLine=1",       "DashedLineLineLen=2.50",
                                             "DashedLineGapLen=0.50"};
  ASSERT_EQ(port.writes.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(port.writes[i], "c.ini|config|" + expected[i]);

  // A failed write is reported, and the keys after it are still written.
  RecordingPort failing;
  failing.failing_key = "IsOffset";
  EXPECT_FALSE(SaveSettings(failing, "c.ini", Settings{}));
  EXPECT_EQ(failing.writes.size(), expected.size());
  EXPECT_EQ(failing.writes[12], "c.ini|config|IsDashedLine=0");
}

TEST(SettingsTest, SaveAndReloadThroughTheFile) {
  ScratchDir dir;
  const std::string ini = dir.File("config.ini");
  auto port = MakeProfilePort();
  Settings s;
  s.PortSel_i = 2;
  s.CloseVal = 0.375;
  s.OriginOffsetX = -5.25;
  s.IP_FIELD = {172, 16, 1, 9};
  s.IP_PORT = 23;
  s.IsDashedLine = 1;
  s.DashedLineLineLen = 2.5;
  ASSERT_TRUE(SaveSettings(*port, ini, s));
  EXPECT_EQ(port->Read(ini, "config", "DashedLineLineLen", "", 10), "2.50");
  Settings expected = s;
  expected.CloseVal = 0.38;  // stored with two decimals
  EXPECT_EQ(LoadSettings(*port, ini), expected);

  // A second save updates the keys in place instead of adding them again.
  const size_t size = ReadTestFile(ini).size();
  s.IP_PORT = 9100;
  ASSERT_TRUE(SaveSettings(*port, ini, s));
  EXPECT_EQ(ReadTestFile(ini).size(), size + 2);
  EXPECT_EQ(LoadSettings(*port, ini).IP_PORT, 9100);

  EXPECT_FALSE(SaveSettings(*port, dir.File("absent") + "/config.ini", s));
  EXPECT_FALSE(TestFileExists(dir.File("absent")));
}

TEST(SettingsTest, SortPathsIsWrittenOnceSwitchedOn) {
  ScratchDir dir;
  const std::string ini = dir.File("config.ini");
  auto port = MakeProfilePort();
  Settings s;
  ASSERT_TRUE(SaveSettings(*port, ini, s));
  EXPECT_EQ(ReadTestFile(ini).find("SortPaths"), std::string::npos);
  s.SortPaths = 1;
  ASSERT_TRUE(SaveSettings(*port, ini, s));
  EXPECT_EQ(LoadSettings(*port, ini).SortPaths, 1);
  s.SortPaths = 0;
  ASSERT_TRUE(SaveSettings(*port, ini, s));
  EXPECT_EQ(port->Read(ini, "config", "SortPaths", "", 10), "0");
  EXPECT_EQ(LoadSettings(*port, ini).SortPaths, 0);
  ASSERT_TRUE(port->Write(ini, "config", "SortPaths", "7"));
  EXPECT_EQ(LoadSettings(*port, ini).SortPaths, 1);
}

TEST(ParseDecimalRealTest, PrefixLikeStrtodInTheCLocale) {
  EXPECT_EQ(ParseDecimalReal(" \t-2.5e1x"), -25.0);
  EXPECT_EQ(ParseDecimalReal("+.5"), 0.5);
  EXPECT_EQ(ParseDecimalReal("5."), 5.0);
  EXPECT_EQ(ParseDecimalReal("1e+"), 1.0);
  EXPECT_EQ(ParseDecimalReal("1E-2"), 0.01);
  EXPECT_EQ(ParseDecimalReal("1.2.3"), 1.2);
  for (const char* text : {"", "abc", "-", ".", "-.", "e5", "inf", "nan"})
    EXPECT_EQ(ParseDecimalReal(text), 0.0) << text;
  EXPECT_EQ(ParseDecimalReal("-1e999"), -DBL_MAX);
  EXPECT_EQ(ParseDecimalReal("1e99999999999999"), DBL_MAX);
  EXPECT_EQ(ParseDecimalReal("0.0001e-400"), 0.0);
  EXPECT_TRUE(std::signbit(ParseDecimalReal("-1e-999")));
  EXPECT_EQ(ParseDecimalReal("0e999"), 0.0);
}

TEST(FormatFixed2Test, RoundsLikePrintf) {
  EXPECT_EQ(FormatFixed2(0.375), "0.38");  // exact ties go to even
  EXPECT_EQ(FormatFixed2(0.125), "0.12");
  EXPECT_EQ(FormatFixed2(2.675), "2.67");  // just below the tie in binary
  EXPECT_EQ(FormatFixed2(1e20), "100000000000000000000.00");
  EXPECT_EQ(FormatFixed2(DBL_MAX).size(), 309u + 3u);
}

}  // namespace
}  // namespace plotsend
