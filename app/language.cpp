#include "app/language.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <array>
#include <memory>

namespace zt {

using report::Language;

namespace {

struct LanguageEntry {
  Language language;
  const char* name;  // as --lang takes it, and the locale's language code
  const char* windowTexts;  // the compiled translation embedded in the console; none for the source
  const char* qtTexts;  // Qt's own catalogue among Qt's translations; none for Qt's English
};

constexpr std::array kLanguages = {
    LanguageEntry{Language::kChinese, "zh", nullptr, "qtbase_zh_CN"},
    LanguageEntry{Language::kEnglish, "en", ":/zt6100/i18n/zt6100_en.qm", nullptr},
};

const LanguageEntry& EntryOf(Language language) {
  for (const LanguageEntry& entry : kLanguages) {
    if (entry.language == language) {
      return entry;
    }
  }
  return kLanguages.front();
}

QTranslator* Install(QApplication& app, const QString& file, const QString& directory) {
  auto translator = std::make_unique<QTranslator>(&app);
  if (!translator->load(file, directory) || !QApplication::installTranslator(translator.get())) {
    return nullptr;
  }
  return translator.release();
}

}  // namespace

std::optional<Language> LanguageNamed(const QString& name) {
  for (const LanguageEntry& entry : kLanguages) {
    if (name == QLatin1String(entry.name)) {
      return entry.language;
    }
  }
  return std::nullopt;
}

Language LanguageForLocale(const QLocale& locale) {
  for (const LanguageEntry& entry : kLanguages) {
    if (QLocale(QLatin1String(entry.name)).language() == locale.language()) {
      return entry.language;
    }
  }
  return Language::kChinese;
}

std::vector<QTranslator*> InstallTranslations(QApplication& app, Language language) {
  const LanguageEntry& entry = EntryOf(language);
  std::vector<QTranslator*> installed;
  if (entry.windowTexts) {
    if (QTranslator* translator = Install(app, QString::fromLatin1(entry.windowTexts), {})) {
      installed.push_back(translator);
    }
  }
  if (entry.qtTexts) {
    if (QTranslator* translator = Install(app, QString::fromLatin1(entry.qtTexts),
                                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      installed.push_back(translator);
    }
  }
  return installed;
}

}  // namespace zt
