#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "report/language.h"

class QApplication;
class QLocale;
class QTranslator;

namespace zt {

// The language `--lang` names: "zh" or "en"; none for anything else.
std::optional<report::Language> LanguageNamed(const QString& name);

// The language for the system's locale: one a translation ships for when the
// locale's language is that one, otherwise Chinese.
report::Language LanguageForLocale(const QLocale& locale);

// Installs the translation of the window texts into `language` (none for
// Chinese) and Qt's own texts in that language, for the standard buttons of a
// message box ("确定" in Chinese; Qt's are English without one). Returns the
// translators installed, owned by `app`; Qt's own is missing when Qt's
// translations are not installed.
std::vector<QTranslator*> InstallTranslations(QApplication& app, report::Language language);

}  // namespace zt
