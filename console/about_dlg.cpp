#include "console/about_dlg.h"

#include <QPushButton>

#include "console/dialog_builder.h"
#include "res/about_template.h"

namespace zt {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  const ControlMap controls = BuildDialog(*this, res::kAboutTemplate);
  connect(static_cast<QPushButton*>(controls.at(1)), &QPushButton::clicked, this,
          &CAboutDlg::accept);
}

}  // namespace zt
