#include "app/meter_app.h"

#include <QDialog>

#include "console/comm_settings_dlg.h"
#include "console/meter_console_dlg.h"

namespace zt {

void CMeterApp::InitInstance() {
  CCommSettingsDlg settingsDlg(ui_);
  settingsDlg.SetSettings(LinkSettings{});
  if (settingsDlg.DoModal() != QDialog::Accepted) {
    return;
  }
  CMeterConsoleDlg console(ui_, port_, clock_, settingsDlg.Settings());
  console.DoModal();
}

}  // namespace zt
