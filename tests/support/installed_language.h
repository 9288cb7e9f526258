#pragma once

#include <QApplication>
#include <QTranslator>

#include <vector>

#include "app/language.h"

namespace zt::test {

// The translations of one language, installed for the object's lifetime.
class InstalledLanguage {
 public:
  explicit InstalledLanguage(report::Language language)
      : translators_(InstallTranslations(*qApp, language)) {}
  ~InstalledLanguage() {
    for (QTranslator* translator : translators_) {
      QApplication::removeTranslator(translator);
      delete translator;
    }
  }
  InstalledLanguage(const InstalledLanguage&) = delete;
  InstalledLanguage& operator=(const InstalledLanguage&) = delete;

  std::size_t Count() const { return translators_.size(); }

 private:
  std::vector<QTranslator*> translators_;
};

}  // namespace zt::test
