#include "app/language.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include "console/window_text.h"
#include "res/texts.h"
#include "res/translatable.h"
#include "support/installed_language.h"

namespace {

using zt::test::InstalledLanguage;

QString OkButtonText() {
  QMessageBox box(QMessageBox::NoIcon, "", "", QMessageBox::Ok);
  return box.button(QMessageBox::Ok)->text();
}

TEST(Language, ChineseKeepsTheSourceTextsAndQtsButtonsReadQueding) {
  const InstalledLanguage chinese(zt::report::Language::kChinese);
  ASSERT_EQ(chinese.Count(), 1U) << "Qt's Chinese translation is installed by ./dev";
  EXPECT_EQ(OkButtonText(), "确定");
  EXPECT_EQ(zt::Tr(zt::res::text::kPortNotOpen), "串口未打开");
}

TEST(Language, EnglishTranslatesTheWindowTextsAndQtsButtons) {
  const InstalledLanguage english(zt::report::Language::kEnglish);
  ASSERT_EQ(english.Count(), 1U) << "the English translation is embedded in the console";
  EXPECT_EQ(OkButtonText(), "OK");
  EXPECT_EQ(zt::Tr(zt::res::text::kPortNotOpen), "Port not open");
  // One Chinese character, two meanings: the minutes of an interval and an
  // open switch input.
  EXPECT_EQ(zt::Tr(zt::res::text::kInputOpen, zt::res::kSwitchStateMeaning), "OPEN");
  EXPECT_EQ(zt::Tr(zt::res::text::kInputOpen), "min");
}

TEST(Language, NamedOnTheCommandLine) {
  EXPECT_EQ(zt::LanguageNamed("zh"), zt::report::Language::kChinese);
  EXPECT_EQ(zt::LanguageNamed("en"), zt::report::Language::kEnglish);
  for (const char* bad : {"", "EN", "english", "zh_CN", "fr"}) {
    EXPECT_EQ(zt::LanguageNamed(bad), std::nullopt) << bad;
  }
}

TEST(Language, FollowsTheLocaleWhenATranslationShipsForIt) {
  const struct {
    const char* locale;
    zt::report::Language language;
  } cases[] = {
      {"zh_CN", zt::report::Language::kChinese}, {"zh_TW", zt::report::Language::kChinese},
      {"en_US", zt::report::Language::kEnglish}, {"en_GB", zt::report::Language::kEnglish},
      {"de_DE", zt::report::Language::kChinese}, {"C", zt::report::Language::kChinese},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(zt::LanguageForLocale(QLocale(row.locale)), row.language) << row.locale;
  }
}

}  // namespace
