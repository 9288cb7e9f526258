#pragma once

// Whether a window's captions fit their controls, on an X server, in the
// language installed: what the window tests share.

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "report/language.h"

namespace zt::test {

inline bool HasChinese(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() >= 0x2E80 && c.unicode() <= 0x9FFF) return true;
    if (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF) return true;  // full-width forms
  }
  return false;
}

// One row per text that does not fit its room, and per Chinese text left in
// an English window.
class FitReport {
 public:
  explicit FitReport(zt::report::Language language) : language_(language) {}

  void Check(const QString& where, const QString& text, int needed, int available) {
    if (language_ == zt::report::Language::kEnglish && HasChinese(text)) {
      problems_ += where.toStdString() + ": Chinese left: " + text.toStdString() + "\n";
    }
    if (needed > available) {
      problems_ += where.toStdString() + ": '" + text.toStdString() + "' needs " +
                   std::to_string(needed) + " px, has " + std::to_string(available) + "\n";
    }
  }
  const std::string& Problems() const { return problems_; }

 private:
  zt::report::Language language_;
  std::string problems_;
};

inline QString Plain(QString text) { return text.remove(QLatin1Char('&')); }

// Every visible caption of `window`'s controls against its room: a label's
// text against its contents rectangle, a button's and a radio's size hint
// (text, bevel or indicator, as the style draws them) against its width, a
// group box's title against its width less the frame's indent.
inline void CheckControls(QWidget& window, const QString& name, FitReport& report) {
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&window)) continue;
    const QFontMetrics metrics(widget->font());
    const QString where = name + "/" + widget->metaObject()->className();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      const QString text = label->text();
      report.Check(where, text, metrics.horizontalAdvance(text), label->contentsRect().width());
      report.Check(where + " height", text, metrics.height(), label->contentsRect().height());
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
      // The size hint would ask for the style's minimum width of a button
      // besides; the text needs its margins and the bevel's frame.
      const QString text = Plain(button->text());
      const int frame = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                        button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
      report.Check(where, text, metrics.horizontalAdvance(text) + 2 * frame, button->width());
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
      report.Check(where, radio->text(), radio->sizeHint().width(), radio->width());
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
      const QString text = group->title();
      report.Check(where, text, metrics.horizontalAdvance(text) + 2 * metrics.averageCharWidth(),
                   group->width());
    }
  }
}

inline bool OnXServer() { return QGuiApplication::platformName() == "xcb"; }

inline void ShowAndWait(QWidget& window) {
  window.show();
  for (int i = 0; i < 50 && !(window.windowHandle() && window.windowHandle()->isExposed()); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  QApplication::processEvents();
}

inline void SaveShot(QWidget& window, zt::report::Language language, const QString& name) {
  if (language != zt::report::Language::kEnglish) return;
  const QString file = name + "-en.png";
  const QImage shot = window.screen()->grabWindow(0).toImage().copy(window.frameGeometry());
  const QString path = QCoreApplication::applicationDirPath() + "/" + file;
  ASSERT_TRUE(shot.save(path));
  std::printf("screenshot: %s\n", qPrintable(path));
}

}  // namespace zt::test
