#include "app/meter_app.h"

#include <QDialog>

#include "console/comm_settings_dlg.h"
#include "console/meter_console_dlg.h"

namespace zt {

CMeterApp::CMeterApp(ModalUi& ui, SerialPort& port, Clock& clock)
    : ui_(ui), makeWorker_([&port, &clock](const LinkSettings& settings) {
        return std::make_unique<LinkWorker>(port, clock, settings);
      }) {}

void CMeterApp::InitInstance() {
  CCommSettingsDlg settingsDlg(ui_);
  settingsDlg.SetSettings(LinkSettings{});
  if (settingsDlg.DoModal() != QDialog::Accepted) {
    return;
  }
  const LinkSettings settings = settingsDlg.Settings();
  CMeterConsoleDlg console(ui_, makeWorker_(settings), settings);
  console.DoModal();
}

}  // namespace zt
