// The console window in English: its captions, menus, link information and
// messages are translated, while what leaves the window (Table.txt) keeps
// its Chinese labels in code page 936.

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "meter/measurement_log.h"
#include "res/console_template.h"
#include "support/console_fixture.h"
#include "support/installed_language.h"
#include "support/menu_mnemonics.h"

namespace {

namespace id = zt::res::console_id;

class EnglishWindowTest : public testing::Test, protected zt::test::ConsoleFixture {
 protected:
  void SetUp() override {
    ASSERT_EQ(english.Count(), 1U);
    Open();
  }

  QString Caption(int controlId) const {
    return static_cast<QPushButton*>(console->Control(controlId))->text();
  }

  zt::test::InstalledLanguage english{zt::report::Language::kEnglish};
};

TEST_F(EnglishWindowTest, CaptionsMenusAndLinkInformationAreEnglish) {
  EXPECT_EQ(console->windowTitle(), "ZT6100 single-phase ammeter service - Korvessa");
  EXPECT_EQ(Caption(id::kReadParameters), "Read parameters");
  EXPECT_EQ(Caption(id::kWriteParameters), "Write parameters");
  EXPECT_EQ(console->MenuAction(id::kMenuReadParameters)->text(), "&Read parameters");
  EXPECT_EQ(console->MenuAction(id::kReadMeterClock)->text(), "Read meter &clock");
  EXPECT_EQ(console->LinkInfoText(),
            "\r\nAddress: 1 \r\n\r\nPort:    1 \r\n\r\nBaud:    9600 \r\n\r\nParity:  none");
  console->OnCommand(id::kStartPolling);
  EXPECT_EQ(Box(id::kStatus), "Polling the meter...");
}

TEST_F(EnglishWindowTest, EveryMenuAndItemHasItsOwnMnemonic) {
  const QStringList problems =
      zt::test::MnemonicProblems(*console->findChild<QMenuBar*>(), false);
  EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
  ui.answerDialog = [](QDialog& dialog) {
    dialog.accept();
    return dialog.result();
  };
  console->OnCommand(id::kToggleLogging);
  EXPECT_EQ(console->MenuAction(id::kToggleLogging)->text(), "Stop &logging");
}

TEST_F(EnglishWindowTest, MessagesAreComposedInEnglish) {
  meter.SetClock({2006, 12, 15, 10, 30, 45});
  console->OnCommand(id::kReadMeterClock);
  // A write before any read: every box is unknown, named in English.
  console->OnCommand(id::kWriteParameters);
  EXPECT_EQ(ui.messages,
            (std::vector<QString>{
                "Meter clock:  2006-12-15 10:30:45",
                "Read or enter the parameters first; neither read nor entered: Decimals "
                "Upper limit Lower limit Baud rate"}));
}

TEST_F(EnglishWindowTest, TableTxtKeepsItsChineseLabelsInCodePage936) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::filesystem::path logFile = dir.filePath("Table.txt").toStdString();
  console->SetLogFile(logFile);
  console->SetWallClock([] { return std::chrono::sys_days{std::chrono::year{2006} / 12 / 31}; });
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  console->OnTimer(zt::CMeterConsoleDlg::kLogTimer);

  std::ifstream in(logFile, std::ios::binary);
  const std::string log{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(log, zt::FormatMeasurementBlock(console->Quantities(), {}, {2006, 12, 31, 8, 0, 0}));
  // "合相" and "相 电 流:" in GBK.
  EXPECT_NE(log.find("\xBA\xCF\xCF\xE0"), std::string::npos);
  EXPECT_NE(log.find("\xCF\xE0 \xB5\xE7 \xC1\xF7:"), std::string::npos);
}

}  // namespace
