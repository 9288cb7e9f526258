// The console ends only when the technician means it: Esc and the close box
// ask while it talks to the meter, and the focus of a disabled command's
// button never lands on "退  出".
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "console/meter_console_dlg.h"
#include "res/console_template.h"
#include "support/console_fixture.h"

namespace {

namespace id = zt::res::console_id;

const QString kQuestion = QString::fromUtf8("正在通讯，确定退出吗？");

class ConsoleExitTest : public testing::Test, protected zt::test::ConsoleFixture {
 protected:
  void Press(Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(console.get(), &press);
  }
  bool CloseBox() {
    QCloseEvent close;
    QApplication::sendEvent(console.get(), &close);
    return close.isAccepted();
  }
  bool Ended() const { return !console->isVisible(); }
  void Show() {
    console->show();
    QApplication::processEvents();
  }
};

TEST_F(ConsoleExitTest, EscWhilePollingAsksOnceAndCancelKeepsThePollRunning) {
  Open();
  Show();
  console->OnCommand(id::kStartPolling);
  ui.confirm = false;
  Press(Qt::Key_Escape);
  EXPECT_EQ(ui.questions, (std::vector<QString>{kQuestion}));
  EXPECT_FALSE(Ended());
  EXPECT_TRUE(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));

  ui.confirm = true;
  Press(Qt::Key_Escape);
  EXPECT_EQ(ui.questions.size(), 2U) << "one question for each Esc";
  EXPECT_TRUE(Ended());
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(ConsoleExitTest, TheCloseBoxAsksWhileLoggingAndEndsAtOnceWhenIdle) {
  Open();
  Show();
  ui.answerDialog = [](QDialog& dialog) {
    dialog.accept();
    return dialog.result();
  };
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  console->SetLogFile(dir.filePath("Table.txt").toStdString());
  console->OnCommand(id::kToggleLogging);
  ASSERT_TRUE(console->IsLogging());
  ui.confirm = false;
  EXPECT_FALSE(CloseBox());
  EXPECT_EQ(ui.questions, (std::vector<QString>{kQuestion}));
  EXPECT_FALSE(Ended());

  console->OnCommand(id::kToggleLogging);
  ASSERT_FALSE(console->IsLogging());
  EXPECT_TRUE(CloseBox());
  EXPECT_EQ(ui.questions.size(), 1U) << "nothing on the line: no question";
  EXPECT_TRUE(Ended());
}

TEST_F(ConsoleExitTest, EscWhenIdleEndsWithoutAQuestion) {
  Open();
  Show();
  Press(Qt::Key_Escape);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_TRUE(Ended());
}

// A command's exchanges run at once here: its button is disabled and
// enabled again within the click. Enter afterwards presses the same button,
// never "退  出".
TEST_F(ConsoleExitTest, TheFocusComesBackToTheCommandsButtonAndEnterPressesItAgain) {
  Open();
  Show();
  console->activateWindow();
  auto* button = static_cast<QPushButton*>(console->Control(id::kReadSwitchStatus));
  bool heldByWindow = true;
  // While the command is on the line the window itself holds the focus.
  port.SetFaultObserver([&](const zt::sim::Request&, zt::sim::FaultKind) {
    heldByWindow = heldByWindow && !button->isEnabled() && console->focusWidget() == console.get();
  });
  button->setFocus();
  Press(Qt::Key_Return);
  EXPECT_TRUE(heldByWindow);
  EXPECT_EQ(console->focusWidget(), button);
  const std::size_t framesAfterOne = Frames().size();
  Press(Qt::Key_Return);
  EXPECT_FALSE(Ended());
  EXPECT_GT(Frames().size(), framesAfterOne) << "the second Enter read the switches again";
}

}  // namespace
