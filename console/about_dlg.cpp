#include "console/about_dlg.h"

#include "console/dialog_builder.h"
#include "res/about_template.h"

namespace zt {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  ConnectOkAndCancel(*this, BuildDialog(*this, res::kAboutTemplate));
}

}  // namespace zt
