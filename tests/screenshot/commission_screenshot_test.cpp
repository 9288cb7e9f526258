// The commissioning window on an X server in English and in Chinese, after
// an apply and after a check of a meter that does not answer: every caption
// and every column title fits, no Chinese is left in English, and a
// screenshot of each state is saved next to the test binary.

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "console/commission_dlg.h"
#include "console/window_text.h"
#include "res/commission_texts.h"
#include "screenshot/caption_fit.h"
#include "support/console_fixture.h"
#include "support/installed_language.h"

namespace {

using zt::CCommissionDlg;

class CommissionWindowFit : public testing::TestWithParam<zt::report::Language>,
                            protected zt::test::ConsoleFixture {
 protected:
  void SetUp() override {
    if (!zt::test::OnXServer()) {
      GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    }
    ASSERT_TRUE(dir_.isValid());
  }

  zt::test::InstalledLanguage language{GetParam()};
  QTemporaryDir dir_;
};

INSTANTIATE_TEST_SUITE_P(Languages, CommissionWindowFit,
                         testing::Values(zt::report::Language::kEnglish, zt::report::Language::kChinese),
                         [](const testing::TestParamInfo<zt::report::Language>& row) {
                           return row.param == zt::report::Language::kEnglish ? "English" : "Chinese";
                         });

// Every caption, the column titles and the cells of the table.
void CheckWindow(CCommissionDlg& window, const QString& name, zt::test::FitReport& report) {
  zt::test::CheckControls(window, name, report);
  const QTableWidget& table = window.Table();
  const QFontMetrics header(table.horizontalHeader()->font());
  for (int c = 0; c < table.columnCount(); ++c) {
    const QString title = table.horizontalHeaderItem(c)->text();
    report.Check(name + " column title", title, header.horizontalAdvance(title) + 8,
                 table.horizontalHeader()->sectionSize(c));
    for (int r = 0; r < table.rowCount(); ++r) {
      const QString cell = table.item(r, c)->text();
      report.Check(name + " cell", cell, table.fontMetrics().horizontalAdvance(cell),
                   table.columnWidth(c));
    }
  }
  report.Check(name + " title", window.windowTitle(), 0, 0);
}

TEST_P(CommissionWindowFit, CaptionsFitAfterAnApplyAndAfterACheckOfASilentMeter) {
  const QString profile = dir_.filePath("site.json");
  QFile file(profile);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(R"({"site": "Pump house 2", "meter": "A-17", "address": 5, "baud": 19200,
                 "parity": "none", "upper_limit": 4000, "lower_limit": 100,
                 "decimal_point": 2, "pt": 100, "ct": 5, "wiring": 1})");
  file.close();
  Open();
  console->SetCommissionPaths({[&](QWidget*) { return profile; }, {}});

  zt::test::FitReport report(GetParam());
  ui.answerDialog = [&](QDialog& dialog) {
    auto& window = dynamic_cast<CCommissionDlg&>(dialog);
    window.Button(CCommissionDlg::kChoose).click();
    window.Button(CCommissionDlg::kApply).click();
    zt::test::ShowAndWait(window);
    zt::test::SaveShot(window, GetParam(), "commission-applied");
    CheckWindow(window, "applied", report);

    Silence();
    window.Button(CCommissionDlg::kCheck).click();
    zt::test::ShowAndWait(window);
    zt::test::SaveShot(window, GetParam(), "commission-silent");
    CheckWindow(window, "silent", report);
    window.hide();
    return QDialog::Rejected;
  };
  console->OnCommissionCheck();

  // The menu item, with its mnemonic.
  const QString item = zt::Tr(zt::res::text::kCommissionItem);
  report.Check("menu item", item, 0, 0);
  EXPECT_EQ(report.Problems(), "");
}

}  // namespace
