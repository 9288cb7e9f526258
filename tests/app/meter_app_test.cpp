#include "app/meter_app.h"

#include <QDialog>
#include <QString>

#include <gtest/gtest.h>

#include <vector>

#include "support/console_fixture.h"

namespace {

TEST(MeterApp, CancellingTheSettingsEndsWithoutTouchingThePort) {
  zt::test::ConsoleFixture world;
  int dialogs = 0;
  world.ui.answerDialog = [&](QDialog&) {
    ++dialogs;
    return QDialog::Rejected;
  };
  zt::CMeterApp(world.ui, world.port, world.clock).InitInstance();
  EXPECT_EQ(dialogs, 1);
  EXPECT_TRUE(world.port.Events().empty());
}

TEST(MeterApp, ConfirmedDefaultsOpenTheConsoleOnCom1At9600) {
  zt::test::ConsoleFixture world;
  std::vector<QString> titles;
  world.ui.answerDialog = [&](QDialog& dialog) {
    titles.push_back(dialog.windowTitle());
    if (titles.size() == 1) {
      dialog.accept();
      return dialog.result();
    }
    EXPECT_TRUE(world.port.IsOpen());
    return int{QDialog::Rejected};
  };
  zt::CMeterApp(world.ui, world.port, world.clock).InitInstance();
  EXPECT_EQ(titles, (std::vector<QString>{"通讯设置", "ZT6100单相电流表调试-Korvessa"}));
  EXPECT_EQ(world.port.SelectedPort(), 1);
  EXPECT_EQ(zt::SettingsText(world.port.CurrentLineFormat()), "9600,N,8,2");
  EXPECT_FALSE(world.port.IsOpen()) << "closing the console closes the port";
}

}  // namespace
