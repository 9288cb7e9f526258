#include "console/state_char_box.h"

#include <QPainter>

namespace zt {

StateCharBox::StateCharBox(QWidget* parent) : QWidget(parent) {}

void StateCharBox::SetState(const QString& character, const QColor& color) {
  character_ = character;
  color_ = color;
  update();
}

void StateCharBox::paintEvent(QPaintEvent*) {
  if (character_.isEmpty()) {
    return;
  }
  QPainter painter(this);
  // The grey fills only the character's own cell, not the whole box.
  const QRect cell = painter.fontMetrics().boundingRect(rect(), Qt::AlignCenter, character_);
  painter.fillRect(cell, kCellGrey);
  painter.setPen(color_);
  painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, character_);
}

}  // namespace zt
