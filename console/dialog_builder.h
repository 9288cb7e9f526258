#pragma once

#include <QFont>
#include <QRect>

#include <map>

#include "res/dialog_template.h"

class QButtonGroup;
class QDialog;
class QWidget;

namespace zt {

// The font the dialogs are laid out with: the platform's CJK font at the
// template's point size.
QFont DialogFont(int pointSize);

// Dialog units to pixels through the font's base units: a horizontal unit is
// a quarter of the average width of "A".."Z" and "a".."z", a vertical unit an
// eighth of the font's height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int X(int units) const;
  int Y(int units) const;
  QRect ToPixels(int x, int y, int width, int height) const;

 private:
  int averageWidth_;
  int height_;
};

// The controls of a built dialog by their template ids.
using ControlMap = std::map<int, QWidget*>;

// Creates the template's controls as children of `surface` (the dialog itself,
// or its client area below a menu bar), gives the surface the template's font
// and fixed size and its window the template's caption. Controls without an
// id are created but not returned.
ControlMap BuildDialog(QWidget& surface, const res::DialogTemplate& dialogTemplate);

// Buttons 1 and 2, where the template has them, become the dialog's OK
// (accept) and cancel (reject).
void ConnectOkAndCancel(QDialog& dialog, const ControlMap& controls);

// Radios `first` to `last` become one exclusive group: Tab reaches the group
// at its checked radio and the arrow keys move the check within it.
QButtonGroup* GroupRadios(QDialog& dialog, const ControlMap& controls, int first, int last);

}  // namespace zt
