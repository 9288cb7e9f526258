#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// The PDF is laid out with Qt's fonts, which need a QGuiApplication; the
// offscreen platform needs no display.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
