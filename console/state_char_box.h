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
  // Red for a relay on or an input closed, green for off or open, dark
  // enough to be read on the grey cell: a contrast of 4.9:1 and 5.0:1, where
  // pure red and a light green gave 2.2:1 and 1.2:1.
  static constexpr QColor kOnRed{150, 0, 0};
  static constexpr QColor kOffGreen{0, 80, 0};

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
