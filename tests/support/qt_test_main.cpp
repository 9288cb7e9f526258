#include <QCoreApplication>

#include <gtest/gtest.h>

// QSerialPort needs an application object for its notifiers, even where no
// event loop runs.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
