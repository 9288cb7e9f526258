#include "app/qt_translation.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace zt {

QTranslator* LoadQtChineseTranslation(QApplication& app) {
  auto translator = std::make_unique<QTranslator>(&app);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QApplication::installTranslator(translator.get())) {
    return nullptr;
  }
  return translator.release();
}

}  // namespace zt
