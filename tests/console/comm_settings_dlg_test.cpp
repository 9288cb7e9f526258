#include "console/comm_settings_dlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <chrono>

#include "res/comm_settings_template.h"
#include "support/console_fixture.h"

namespace {

namespace comm_id = zt::res::comm_id;

std::vector<int> Checked(const zt::CCommSettingsDlg& dialog) {
  std::vector<int> ids;
  for (int id = comm_id::kCom1; id <= comm_id::kParityEven; ++id) {
    if (dialog.Radio(id)->isChecked()) ids.push_back(id);
  }
  return ids;
}

using zt::test::RunWith;

TEST(CommSettingsDlg, ShowsTheSettingsItIsGiven) {
  zt::test::RecordingUi ui;
  zt::CCommSettingsDlg dialog(ui);
  dialog.SetSettings({1, 1, 9600, zt::kParityNone});
  RunWith(dialog, ui, [](zt::CCommSettingsDlg& d) {
    EXPECT_EQ(d.AddressBox()->text(), "1");
    EXPECT_EQ(Checked(d),
              (std::vector<int>{comm_id::kCom1, comm_id::kBaud9600, comm_id::kParityNone}));
  });

  zt::CCommSettingsDlg other(ui);
  other.SetSettings({0, 2, 19200, zt::kParityEven});
  RunWith(other, ui, [](zt::CCommSettingsDlg& d) {
    EXPECT_EQ(Checked(d),
              (std::vector<int>{comm_id::kCom2, comm_id::kBaud19200, comm_id::kParityEven}));
  });
}

TEST(CommSettingsDlg, EachGroupStaysExclusiveAndStoresItsValue) {
  zt::test::RecordingUi ui;
  zt::CCommSettingsDlg dialog(ui);
  dialog.SetSettings({});
  const int result = RunWith(dialog, ui, [](zt::CCommSettingsDlg& d) {
    d.Radio(comm_id::kBaud4800)->click();
    d.Radio(comm_id::kCom2)->click();
    d.Radio(comm_id::kParityOdd)->click();
    EXPECT_EQ(Checked(d),
              (std::vector<int>{comm_id::kCom2, comm_id::kBaud4800, comm_id::kParityOdd}));
    d.Radio(comm_id::kBaud4800)->click();  // clicking the checked one keeps it checked
    EXPECT_TRUE(d.Radio(comm_id::kBaud4800)->isChecked());
    d.AddressBox()->setText("7");
    for (QPushButton* button : d.findChildren<QPushButton*>()) {
      if (button->text() == "确    定") button->click();
    }
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(dialog.Settings(), (zt::LinkSettings{7, 2, 4800, zt::kParityOdd}));
}

TEST(CommSettingsDlg, AddressMustBeAnIntegerFromZeroTo255) {
  for (const char* text : {"0", "255"}) {
    zt::test::RecordingUi ui;
    zt::CCommSettingsDlg dialog(ui);
    dialog.SetSettings({});
    EXPECT_EQ(RunWith(dialog, ui,
                  [&](zt::CCommSettingsDlg& d) {
                    d.AddressBox()->setText(text);
                    d.accept();
                  }),
              QDialog::Accepted)
        << text;
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(dialog.Settings().address, std::stoi(text));
  }
  for (const char* text : {"256", "", "abc", "-1", "99999999999"}) {
    zt::test::RecordingUi ui;
    zt::CCommSettingsDlg dialog(ui);
    dialog.SetSettings({});
    const int result = RunWith(dialog, ui, [&](zt::CCommSettingsDlg& d) {
      d.AddressBox()->setText(text);
      d.accept();
    });
    EXPECT_NE(result, QDialog::Accepted) << '"' << text << '"';
    EXPECT_EQ(ui.messages, (std::vector<QString>{"请输入一个介于 0 和 255 之间的整数。"})) << text;
    EXPECT_EQ(dialog.Settings().address, 1) << "the field keeps its value";
  }
}

TEST(CommSettingsDlg, AddressBoxTakesDigitsOnly) {
  zt::test::RecordingUi ui;
  zt::CCommSettingsDlg dialog(ui);
  QLineEdit* box = dialog.AddressBox();
  box->clear();
  for (const char* typed : {"1", "a", "-", "2"}) box->insert(typed);
  EXPECT_EQ(box->text(), "12");
}

TEST(CommSettingsDlg, TheGuardLimitIsGivenInAndTakenBackInMilliseconds) {
  zt::test::RecordingUi ui;
  zt::CCommSettingsDlg dialog(ui);
  dialog.SetSettings({});
  dialog.SetGuardLimit(std::chrono::milliseconds(2000));
  EXPECT_NE(RunWith(dialog, ui,
                    [](zt::CCommSettingsDlg& d) {
                      EXPECT_EQ(d.GuardLimitBox()->text(), "2000");
                      d.GuardLimitBox()->setText("10001");
                      d.accept();
                    }),
            QDialog::Accepted);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"请输入一个介于 0 和 10000 之间的整数。"}));
  EXPECT_EQ(dialog.GuardLimit(), std::chrono::milliseconds(2000)) << "the field keeps its value";

  EXPECT_EQ(RunWith(dialog, ui,
                    [](zt::CCommSettingsDlg& d) {
                      d.GuardLimitBox()->setText("5000");
                      d.accept();
                    }),
            QDialog::Accepted);
  EXPECT_EQ(dialog.GuardLimit(), std::chrono::milliseconds(5000));
}

}  // namespace
