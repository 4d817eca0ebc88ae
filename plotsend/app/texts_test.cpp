#include "app/texts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace plotsend {
namespace {

TEST(ControlTexts, BothLanguagesNameTheSameControlsInTheSameOrder) {
  const auto english = ControlTexts(Language::English);
  const auto chinese = ControlTexts(Language::Chinese);
  ASSERT_EQ(english.size(), chinese.size());
  std::set<int> ids;
  for (size_t i = 0; i < english.size(); ++i) {
    EXPECT_EQ(english[i].id, chinese[i].id);
    EXPECT_NE(std::string(english[i].text), std::string(chinese[i].text)) << english[i].id;
    ids.insert(english[i].id);
  }
  EXPECT_EQ(ids.size(), english.size()) << "a control named twice";
}

TEST(ControlTexts, KeepTheProgramsOwnSpelling) {
  auto textOf = [](Language language, int id) {
    for (const ControlText& c : ControlTexts(language)) {
      if (c.id == id) return std::string(c.text);
    }
    return std::string();
  };
  EXPECT_EQ(textOf(Language::English, 1046), "Defaut IP");
  EXPECT_EQ(textOf(Language::English, 1014), "Port\xEF\xBC\x9A");
  EXPECT_EQ(textOf(Language::English, 1047), "Output Sections ");
  EXPECT_EQ(textOf(Language::Chinese, 1007), "生成U盘文件");
  EXPECT_EQ(DialogTitle(), "Plotara  6.27");
}

TEST(Texts, JobMessagesComeFromTheTable) {
  EXPECT_EQ(Text(TextOf(JobMessage::OpenFileFailed), Language::Chinese), "Open File Failed");
  EXPECT_EQ(Text(TextOf(JobMessage::MaxSectionNumbers), Language::English), "Max Section Mumbers : 50 !");
  EXPECT_EQ(Text(TextOf(JobMessage::OpenMarkRefFailed), Language::English), "open markref file fail!");
  EXPECT_EQ(Text(TextOf(JobMessage::MarkRefTooLong), Language::English), "buffer not  enough !");
}

TEST(Texts, ChineseOnlyOnLanguage2052) {
  EXPECT_EQ(LanguageFromLangId(2052), Language::Chinese);
  EXPECT_EQ(LanguageFromLangId(1028), Language::English);  // Chinese (Taiwan)
  EXPECT_EQ(LanguageFromLangId(1033), Language::English);
}

}  // namespace
}  // namespace plotsend
