#include "app/qt_translation.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

namespace {

TEST(QtTranslation, MessageBoxButtonReadsQueding) {
  QTranslator* translator = zt::LoadQtChineseTranslation(*qApp);
  ASSERT_NE(translator, nullptr) << "Qt's Chinese translation is installed by ./dev";
  QMessageBox box(QMessageBox::NoIcon, "", "", QMessageBox::Ok);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
  QApplication::removeTranslator(translator);
  delete translator;
}

}  // namespace
