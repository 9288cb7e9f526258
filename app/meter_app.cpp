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
  std::chrono::milliseconds guardLimit = remembered.guardLimit;
  {
    // A search from the dialog runs on a link of its own, closed before the
    // console opens its port.
    WorkerMeterFinder finder([this] { return makeWorker_(LinkSettings{}); });
    CCommSettingsDlg settingsDlg(ui_);
    settingsDlg.SetSettings(remembered.link);
    settingsDlg.SetGuardLimit(remembered.guardLimit);
    settingsDlg.SetDevices(
        StartingDevices(remembered.devices, commandLineDevices_, ports_, &linkNote));
    settingsDlg.SetPortLister(ports_);
    settingsDlg.SetFinder(&finder);
    if (settingsDlg.DoModal() != QDialog::Accepted) {
      return;
    }
    settings = settingsDlg.Settings();
    devices = settingsDlg.Devices();
    guardLimit = settingsDlg.GuardLimit();
  }
  if (memory_ != nullptr) {
    memory_->SaveLink(settings, devices);
    memory_->SaveGuardLimit(guardLimit);
  }
  CMeterConsoleDlg console(ui_, makeWorker_(settings), settings);
  console.SetPortDevices(devices);
  console.SetGuardLimit(guardLimit);
  console.SetPortLister(ports_);
  console.SetSettingsMemory(memory_);
  console.SetLinkNote(linkNote);
  console.DoModal();
}

}  // namespace zt
