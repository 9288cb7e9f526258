#include <QApplication>

#include <gtest/gtest.h>

#include "app/app_style.h"
#include "app/keyboard_style.h"

// Window tests run on the offscreen platform unless a display is asked for.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  zt::ApplyKeyboardStyle(app);
  zt::ApplyDialogColours(app);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
