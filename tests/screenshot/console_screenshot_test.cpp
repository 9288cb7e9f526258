// Shows the real console window on an X server (Xvfb in the suite), saves a
// screenshot next to the test binary and checks what a technician would see
// first: the window at its template size, every caption drawable in the font
// in use, and the window actually painted on the screen.

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

#include "console/dialog_builder.h"
#include "res/console_template.h"
#include "support/console_fixture.h"

namespace {

class ConsoleScreenshot : public testing::Test, protected zt::test::ConsoleFixture {};

TEST_F(ConsoleScreenshot, WindowAppearsAtTemplateSizeWithItsCaptionsDrawn) {
  if (QGuiApplication::platformName() != "xcb") {
    GTEST_SKIP() << "needs an X server (run under xvfb-run); platform is "
                 << QGuiApplication::platformName().toStdString();
  }
  Open();
  // Fill the window as a technician sees it after a first round of commands.
  console->OnReadParameters();
  console->OnReadSwitchStatus();
  console->OnStartPolling();
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  console->show();
  ASSERT_TRUE(console->windowHandle() != nullptr);
  for (int i = 0; i < 50 && !console->windowHandle()->isExposed(); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  QApplication::processEvents();

  const QFont font = zt::DialogFont(zt::res::kConsoleTemplate.pointSize);
  const zt::DialogUnits units(font);
  QWidget* client = console->Control(zt::res::console_id::kStatus)->parentWidget();
  EXPECT_EQ(client->size(), QSize(units.X(zt::res::kConsoleTemplate.width),
                                   units.Y(zt::res::kConsoleTemplate.height)));
  EXPECT_EQ(console->windowTitle(), QString::fromUtf8(zt::res::kConsoleTemplate.caption));

  // Every character of every caption must be in the font really in use, or
  // it would be drawn as an empty box.
  const QFontMetrics metrics(client->font());
  std::string missing;
  for (const zt::res::ControlTemplate& control : zt::res::kConsoleTemplate.controls) {
    for (const QChar c : QString::fromUtf8(control.text)) {
      if (!c.isSpace() && !metrics.inFont(c)) missing += QString(c).toStdString();
    }
  }
  EXPECT_EQ(missing, "") << "font in use: " << QFontInfo(client->font()).family().toStdString();

  // On a loaded machine the X server may show the window a while after Qt
  // has painted it: wait (a bounded while) for the dialog blue at its centre.
  const QPoint centre = console->mapToGlobal(client->geometry().center());
  QImage shot = console->screen()->grabWindow(0).toImage();
  for (int i = 0; i < 100 && shot.pixelColor(centre) != QColor(15, 115, 215); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    shot = console->screen()->grabWindow(0).toImage();
  }
  const QString path = QCoreApplication::applicationDirPath() + "/console-window.png";
  ASSERT_TRUE(shot.save(path));
  std::printf("screenshot: %s\n", qPrintable(path));

  // The window's client area is painted: the dialog blue is there, and so is
  // the white of the captions drawn on it.
  const QRect area(console->mapToGlobal(client->geometry().topLeft()), client->size());
  int blue = 0;
  int white = 0;
  for (int y = area.top(); y < area.bottom(); y += 2) {
    for (int x = area.left(); x < area.right(); x += 2) {
      const QColor pixel = shot.pixelColor(x, y);
      if (pixel == QColor(15, 115, 215)) ++blue;
      if (pixel.red() > 240 && pixel.green() > 240 && pixel.blue() > 240) ++white;
    }
  }
  EXPECT_GT(blue, area.width() * area.height() / 4 / 4);
  EXPECT_GT(white, 100);
}

}  // namespace
