#include "app/meter_app.h"

#include <QDialog>

#include "console/comm_settings_dlg.h"
#include "console/meter_console_dlg.h"
#include "console/meter_finder.h"
#include "console/settings_memory.h"

namespace zt {

CMeterApp::CMeterApp(ModalUi& ui, SerialPort& port, Clock& clock)
    : ui_(ui), makeWorker_([&port, &clock](const LinkSettings& settings) {
        return std::make_unique<LinkWorker>(port, clock, settings);
      }) {}

void CMeterApp::InitInstance() {
  const RememberedSettings remembered =
      memory_ != nullptr ? memory_->Load() : RememberedSettings{};
  QString linkNote;
  LinkSettings settings;
  PortDevices devices;
  {
    // A search from the dialog runs on a link of its own, closed before the
    // console opens its port.
    WorkerMeterFinder finder([this] { return makeWorker_(LinkSettings{}); });
    CCommSettingsDlg settingsDlg(ui_);
    settingsDlg.SetSettings(remembered.link);
    settingsDlg.SetDevices(
        StartingDevices(remembered.devices, commandLineDevices_, ports_, &linkNote));
    settingsDlg.SetPortLister(ports_);
    settingsDlg.SetFinder(&finder);
    if (settingsDlg.DoModal() != QDialog::Accepted) {
      return;
    }
    settings = settingsDlg.Settings();
    devices = settingsDlg.Devices();
  }
  if (memory_ != nullptr) {
    memory_->SaveLink(settings, devices);
  }
  CMeterConsoleDlg console(ui_, makeWorker_(settings), settings);
  console.SetPortDevices(devices);
  console.SetPortLister(ports_);
  console.SetSettingsMemory(memory_);
  console.SetLinkNote(linkNote);
  console.DoModal();
}

}  // namespace zt
