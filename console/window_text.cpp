#include "console/window_text.h"

#include <QCoreApplication>

#include "res/translatable.h"

namespace zt {

QString Tr(const char* source, const char* disambiguation) {
  return QCoreApplication::translate(res::kTextContext, source, disambiguation);
}

}  // namespace zt
