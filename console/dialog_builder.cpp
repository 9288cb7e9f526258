#include "console/dialog_builder.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextDocument>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "console/state_char_box.h"
#include "console/window_text.h"

namespace zt {

QFont DialogFont(int pointSize) {
  QFont font;
  font.setFamilies({"SimSun", "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC"});
  font.setPointSize(pointSize);
  return font;
}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  averageWidth_ = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
  height_ = metrics.height();
}

int DialogUnits::X(int units) const { return (units * averageWidth_ + 2) / 4; }
int DialogUnits::Y(int units) const { return (units * height_ + 4) / 8; }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  return {X(x), Y(y), X(width), Y(height)};
}

namespace {

QWidget* CreateControl(QWidget& dialog, const res::ControlTemplate& control) {
  const QString text = Tr(control.text);
  switch (control.kind) {
    case res::ControlKind::PushButton:
    case res::ControlKind::DefaultPushButton: {
      auto* button = new QPushButton(text, &dialog);
      button->setAutoDefault(false);
      button->setDefault(control.kind == res::ControlKind::DefaultPushButton);
      return button;
    }
    case res::ControlKind::Edit: {
      if (control.style & res::kMultiLine) {
        auto* box = new QPlainTextEdit(&dialog);
        box->setReadOnly(control.style & res::kReadOnly);
        if (control.style & res::kReadOnly) {
          // Nothing to type there: the focus would sit in it unseen.
          box->setFocusPolicy(Qt::NoFocus);
        }
        box->setFrameShape(control.style & res::kBorder ? QFrame::StyledPanel : QFrame::NoFrame);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // The text is laid out to fill the box, as an edit control does.
        box->document()->setDocumentMargin(0);
        return box;
      }
      auto* edit = new QLineEdit(&dialog);
      edit->setReadOnly(control.style & res::kReadOnly);
      if (control.style & res::kReadOnly) {
        edit->setFocusPolicy(Qt::NoFocus);
      }
      edit->setFrame(control.style & res::kBorder);
      if (control.style & res::kCentered) {
        edit->setAlignment(Qt::AlignCenter);
      }
      if (control.style & res::kDigitsOnly) {
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
      }
      return edit;
    }
    case res::ControlKind::Label:
      return new QLabel(text, &dialog);
    case res::ControlKind::GroupBox:
      return new QGroupBox(text, &dialog);
    case res::ControlKind::RadioButton: {
      auto* radio = new QRadioButton(text, &dialog);
      // The sets of a dialog share one parent: GroupRadios makes each set a
      // group of its own.
      radio->setAutoExclusive(false);
      return radio;
    }
    case res::ControlKind::StateBox:
      return new StateCharBox(&dialog);
    case res::ControlKind::ComboBox:
      return new QComboBox(&dialog);
    case res::ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(&dialog);
      bar->setTextVisible(false);
      bar->setValue(0);
      return bar;
    }
  }
  return nullptr;
}

}  // namespace

ControlMap BuildDialog(QWidget& surface, const res::DialogTemplate& dialogTemplate) {
  const QFont font = DialogFont(dialogTemplate.pointSize);
  surface.setFont(font);
  surface.window()->setWindowTitle(Tr(dialogTemplate.caption));
  const DialogUnits units(font);

  ControlMap controls;
  for (const res::ControlTemplate& control : dialogTemplate.controls) {
    QWidget* widget = CreateControl(surface, control);
    widget->setGeometry(units.ToPixels(control.x, control.y, control.width, control.height));
    widget->setEnabled(!(control.style & res::kDisabled));
    widget->setVisible(!(control.style & res::kHidden));
    if (control.id != res::kNoId) {
      widget->setObjectName(QString::number(control.id));
      controls[control.id] = widget;
    }
  }
  surface.setFixedSize(units.X(dialogTemplate.width), units.Y(dialogTemplate.height));
  return controls;
}

void ConnectOkAndCancel(QDialog& dialog, const ControlMap& controls) {
  if (const auto ok = controls.find(res::kIdOk); ok != controls.end()) {
    QObject::connect(static_cast<QPushButton*>(ok->second), &QPushButton::clicked, &dialog,
                     &QDialog::accept);
  }
  if (const auto cancel = controls.find(res::kIdCancel); cancel != controls.end()) {
    QObject::connect(static_cast<QPushButton*>(cancel->second), &QPushButton::clicked, &dialog,
                     &QDialog::reject);
  }
}

QButtonGroup* GroupRadios(QDialog& dialog, const ControlMap& controls, int first, int last) {
  auto* group = new QButtonGroup(&dialog);
  for (int id = first; id <= last; ++id) {
    group->addButton(static_cast<QRadioButton*>(controls.at(id)), id);
  }
  // One tab stop per set, at its checked radio (or its first when none is).
  const auto placeTabStop = [group] {
    const QAbstractButton* stop =
        group->checkedButton() ? group->checkedButton() : group->buttons().value(0);
    for (QAbstractButton* radio : group->buttons()) {
      radio->setFocusPolicy(radio == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
  };
  placeTabStop();
  QObject::connect(group, &QButtonGroup::buttonToggled, group, placeTabStop);
  return group;
}

}  // namespace zt
