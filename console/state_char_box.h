#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace zt {

// A box that shows one state character ("通", "断", "合", "分") in its colour
// on a grey cell, centred. The character is kept and drawn again on every
// repaint until the next state replaces it.
class StateCharBox final : public QWidget {
 public:
  static constexpr QColor kCellGrey{189, 189, 189};

  explicit StateCharBox(QWidget* parent = nullptr);

  void SetState(const QString& character, const QColor& color);
  const QString& Character() const { return character_; }
  const QColor& Color() const { return color_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString character_;
  QColor color_;
};

}  // namespace zt
