#include "console/window_text.h"

#include <QCoreApplication>

#include "res/texts.h"
#include "res/translatable.h"

namespace zt {

QString Tr(const char* source, const char* disambiguation) {
  return QCoreApplication::translate(res::kTextContext, source, disambiguation);
}

std::string TranslatedText(const char* source) { return Tr(source).toStdString(); }

QString RangePrompt(const ValueRange& range) {
  return Tr(res::text::kEnterIntegerBetween).arg(range.min).arg(range.max);
}

}  // namespace zt
