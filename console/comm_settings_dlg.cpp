#include "console/comm_settings_dlg.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

#include "console/data_exchange.h"
#include "console/meter_finder.h"
#include "console/modal_ui.h"
#include "console/open_failure.h"
#include "console/window_text.h"
#include "link/network_device.h"
#include "link/port_devices.h"
#include "meter/register_map.h"
#include "res/comm_settings_template.h"
#include "res/texts.h"

namespace zt {

namespace {

namespace comm_id = res::comm_id;

constexpr int kFirstBaudRadio = comm_id::kBaud1200;
constexpr int kLastBaudRadio = comm_id::kBaud19200;
constexpr int kFirstPortRadio = comm_id::kCom1;
constexpr int kLastPortRadio = comm_id::kCom2;
constexpr int kFirstParityRadio = comm_id::kParityNone;
constexpr int kLastParityRadio = comm_id::kParityEven;

// The device list's item for a serial device server: not a device path.
const QString kNetworkChoice = QStringLiteral("network:");
// The kind list, in this order.
constexpr int kRawTcpItem = 0;
constexpr int kRfc2217Item = 1;

int ServerId(int16_t port, int first) {
  return first + (port == 2 ? comm_id::kServerLabel2 - comm_id::kServerLabel1 : 0);
}

// "ttyUSB0 — CH340 serial converter", or the name alone.
QString EntryText(const SerialPortEntry& entry) {
  QString text = QString::fromStdString(entry.name);
  if (!entry.description.empty()) {
    text += QStringLiteral(" \u2014 ") + QString::fromStdString(entry.description);
  }
  return text;
}

QString ParityText(int32_t parity) {
  switch (parity) {
    case kParityOdd:
      return Tr(res::text::kOddParity);
    case kParityEven:
      return Tr(res::text::kEvenParity);
    default:
      return Tr(res::text::kNoParity);
  }
}

}  // namespace

CCommSettingsDlg::CCommSettingsDlg(ModalUi& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), exchange_(std::make_unique<DataExchange>(ui, *this)) {
  // A caption and no system menu, so no close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  controls_ = BuildDialog(*this, res::kCommSettingsTemplate);
  ConnectOkAndCancel(*this, controls_);
  exchange_->BindUnsigned(m_nAddress, AddressBox(), 0, 255);
  exchange_->BindUnsigned(m_nGuardLimitMs, GuardLimitBox(), 0,
                          static_cast<uint32_t>(Transaction::kMaxGuardLimit.count()));

  GroupRadios(*this, controls_, kFirstPortRadio, kLastPortRadio);
  GroupRadios(*this, controls_, kFirstBaudRadio, kLastBaudRadio);
  GroupRadios(*this, controls_, kFirstParityRadio, kLastParityRadio);
  for (int id = kFirstPortRadio; id <= kLastParityRadio; ++id) {
    connect(Radio(id), &QRadioButton::clicked, this, [this, id] { OnRadio(id); });
  }
  for (const int16_t port : {int16_t{1}, int16_t{2}}) {
    ServerKindBox(port)->addItem(Tr(res::text::kRawTcp));
    ServerKindBox(port)->addItem(QStringLiteral("RFC 2217"));
    connect(DeviceBox(port), &QComboBox::activated, this, [this, port](int index) {
      const QString chosen = DeviceBox(port)->itemData(index).toString();
      const bool network = chosen == kNetworkChoice;
      // The server's name is taken from its boxes on OK.
      if (!network) {
        m_devices.For(port) = chosen.toStdString();
      }
      ShowServerRow(port, network);
      if (network) {
        ServerHostBox(port)->setFocus();
      }
    });
  }
  connect(FindButton(), &QPushButton::clicked, this, [this] { OnFindMeter(); });
  connect(StopFindingButton(), &QPushButton::clicked, this, [this] {
    if (finder_ != nullptr) {
      finder_->Cancel();
    }
  });
}

CCommSettingsDlg::~CCommSettingsDlg() = default;

void CCommSettingsDlg::SetSettings(const LinkSettings& settings) {
  m_nAddress = settings.address;
  m_nPort = settings.port;
  m_nBaudRate = settings.baudRate;
  m_nParity = settings.parity;
}

LinkSettings CCommSettingsDlg::Settings() const {
  return {m_nAddress, static_cast<int16_t>(m_nPort), m_nBaudRate, m_nParity};
}

QRadioButton* CCommSettingsDlg::Radio(int id) const {
  return static_cast<QRadioButton*>(controls_.at(id));
}

QLineEdit* CCommSettingsDlg::AddressBox() const {
  return static_cast<QLineEdit*>(controls_.at(res::comm_id::kAddress));
}

QLineEdit* CCommSettingsDlg::GuardLimitBox() const {
  return static_cast<QLineEdit*>(controls_.at(comm_id::kGuardLimit));
}

QComboBox* CCommSettingsDlg::DeviceBox(int16_t port) const {
  return static_cast<QComboBox*>(controls_.at(port == 2 ? comm_id::kDevice2 : comm_id::kDevice1));
}

QLineEdit* CCommSettingsDlg::ServerHostBox(int16_t port) const {
  return static_cast<QLineEdit*>(controls_.at(ServerId(port, comm_id::kServerHost1)));
}

QLineEdit* CCommSettingsDlg::ServerPortBox(int16_t port) const {
  return static_cast<QLineEdit*>(controls_.at(ServerId(port, comm_id::kServerPort1)));
}

QComboBox* CCommSettingsDlg::ServerKindBox(int16_t port) const {
  return static_cast<QComboBox*>(controls_.at(ServerId(port, comm_id::kServerKind1)));
}

QPushButton* CCommSettingsDlg::FindButton() const {
  return static_cast<QPushButton*>(controls_.at(comm_id::kFindMeter));
}

QPushButton* CCommSettingsDlg::StopFindingButton() const {
  return static_cast<QPushButton*>(controls_.at(comm_id::kStopFinding));
}

QProgressBar* CCommSettingsDlg::FindProgress() const {
  return static_cast<QProgressBar*>(controls_.at(comm_id::kFindProgress));
}

QLabel* CCommSettingsDlg::FindStatus() const {
  return static_cast<QLabel*>(controls_.at(comm_id::kFindStatus));
}

int CCommSettingsDlg::DoModal() {
  OnInitDialog();
  return ui_.RunDialog(*this);
}

void CCommSettingsDlg::OnInitDialog() {
  exchange_->UpdateData(false);
  CheckLineRadios();
  CheckRadioButton(kFirstPortRadio, kLastPortRadio, kFirstPortRadio - 1 + m_nPort);
  // The ports present now: an adapter plugged in since the last time is there.
  const std::vector<SerialPortEntry> present =
      ports_ != nullptr ? ports_->List() : std::vector<SerialPortEntry>{};
  FillDeviceBox(1, present);
  FillDeviceBox(2, present);
  for (QWidget* control : std::initializer_list<QWidget*>{FindButton(), FindProgress(),
                                                          StopFindingButton(), FindStatus()}) {
    control->setVisible(finder_ != nullptr);
  }
  ShowFinding(false);
  FindStatus()->clear();
}

void CCommSettingsDlg::CheckLineRadios() {
  // A rate outside the five checks no baud radio.
  if (const std::optional<int32_t> index = BaudIndexOf(m_nBaudRate)) {
    CheckRadioButton(kFirstBaudRadio, kLastBaudRadio, kFirstBaudRadio + *index);
  }
  CheckRadioButton(kFirstParityRadio, kLastParityRadio, kFirstParityRadio + m_nParity);
}

void CCommSettingsDlg::FillDeviceBox(int16_t port, const std::vector<SerialPortEntry>& present) {
  QComboBox* box = DeviceBox(port);
  box->clear();
  const std::string current = m_devices.DeviceFor(port);
  if (m_devices.Fixed(port)) {
    box->addItem(QString::fromStdString(current), QString::fromStdString(current));
    box->setEnabled(false);
    ShowServerRow(port, false);
    return;
  }
  box->setEnabled(true);
  const std::optional<NetworkDevice> server = ParseNetworkDevice(current);
  // With a server chosen, the port number's own device stays a choice.
  const std::string tty = server ? PortDevices::PlatformDefault(port) : current;
  const bool listed = std::any_of(present.begin(), present.end(), [&](const SerialPortEntry& e) {
    return e.device == tty;
  });
  if (!listed) {
    // A device the system does not report (a pty, a path given before) stays
    // a choice; one that does not exist is marked.
    QString text = QString::fromStdString(tty);
    if (!QFileInfo::exists(text)) {
      text += Tr(res::text::kDeviceNotPresent);
    }
    box->addItem(text, QString::fromStdString(tty));
  }
  for (const SerialPortEntry& entry : present) {
    box->addItem(EntryText(entry), QString::fromStdString(entry.device));
  }
  box->addItem(Tr(res::text::kNetworkServer), kNetworkChoice);
  ServerHostBox(port)->setText(server ? QString::fromStdString(server->host) : QString());
  ServerPortBox(port)->setText(server ? QString::number(server->port) : QString());
  ServerKindBox(port)->setCurrentIndex(
      server && server->kind == NetworkDevice::Kind::kRfc2217 ? kRfc2217Item : kRawTcpItem);
  box->setCurrentIndex(box->findData(server ? kNetworkChoice : QString::fromStdString(current)));
  ShowServerRow(port, server.has_value());
}

bool CCommSettingsDlg::NetworkChosen(int16_t port) const {
  return !m_devices.Fixed(port) && DeviceBox(port)->currentData().toString() == kNetworkChoice;
}

void CCommSettingsDlg::ShowServerRow(int16_t port, bool shown) {
  for (const int first : {comm_id::kServerLabel1, comm_id::kServerHost1, comm_id::kServerPort1,
                          comm_id::kServerKind1}) {
    controls_.at(ServerId(port, first))->setVisible(shown);
  }
  // The rows shown follow one another below the foot, and the dialog ends
  // below the last one.
  const DialogUnits units(font());
  int rowTop = comm_id::kFirstServerRowY;
  for (const int16_t number : {int16_t{1}, int16_t{2}}) {
    if (!ServerHostBox(number)->isVisibleTo(this)) {
      continue;
    }
    // Each control's offset from its row's top, as in the template.
    for (const auto& [first, offset] :
         {std::pair{comm_id::kServerLabel1, 2}, std::pair{comm_id::kServerHost1, 0},
          std::pair{comm_id::kServerPort1, 0}, std::pair{comm_id::kServerKind1, -1}}) {
      QWidget* control = controls_.at(ServerId(number, first));
      control->move(control->x(), units.Y(rowTop + offset));
    }
    rowTop += comm_id::kServerRowStep;
  }
  // The kind list, the row's tallest control, ends 13 units below its top.
  const int height = rowTop == comm_id::kFirstServerRowY ? res::kCommSettingsTemplate.height
                                                     : rowTop - comm_id::kServerRowStep + 18;
  setFixedHeight(units.Y(height));
}

std::optional<std::string> CCommSettingsDlg::ServerDevice(int16_t port) {
  QLineEdit* hostBox = ServerHostBox(port);
  QString host = hostBox->text().trimmed();
  // An IPv6 address may be typed as it is written in a name, in brackets.
  if (host.size() > 2 && host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
    host = host.mid(1, host.size() - 2);
  }
  if (host.isEmpty()) {
    Refuse(hostBox, Tr(res::text::kServerHostMissing));
    return std::nullopt;
  }
  NetworkDevice server;
  server.kind = ServerKindBox(port)->currentIndex() == kRfc2217Item
                    ? NetworkDevice::Kind::kRfc2217
                    : NetworkDevice::Kind::kRawTcp;
  server.host = host.toStdString();
  server.port = 1;
  if (!ParseNetworkDevice(server.Name())) {
    Refuse(hostBox, Tr(res::text::kServerHostInvalid).arg(host));
    return std::nullopt;
  }
  const std::optional<int32_t> number = ParseBoxInteger(ServerPortBox(port)->text());
  if (!number || *number < 1 || *number > 65535) {
    Refuse(ServerPortBox(port), Tr(res::text::kEnterIntegerBetween).arg(1).arg(65535));
    return std::nullopt;
  }
  server.port = static_cast<uint16_t>(*number);
  return server.Name();
}

void CCommSettingsDlg::Refuse(QLineEdit* box, const QString& prompt) {
  ui_.ShowMessage(this, prompt);
  box->setFocus();
  box->selectAll();
}

void CCommSettingsDlg::ShowFinding(bool finding) {
  finding_ = finding;
  FindButton()->setEnabled(!finding);
  StopFindingButton()->setEnabled(finding);
}

void CCommSettingsDlg::OnFindMeter() {
  if (finder_ == nullptr || finding_) {
    return;
  }
  FindRequest request;
  request.port = static_cast<int16_t>(m_nPort);
  request.device = m_devices.For(request.port);
  if (NetworkChosen(request.port)) {
    const std::optional<std::string> server = ServerDevice(request.port);
    if (!server) {
      return;
    }
    request.device = *server;
  }
  request.plan = DefaultScanPlan();
  request.plan.stopAtFirst = true;
  // The parity chosen first, then none.
  request.plan.lines = ScanLines(DefaultScanRates(), {m_nParity, kParityNone});
  const int64_t tries = request.plan.Tries();
  FindProgress()->setRange(0, static_cast<int>(tries));
  FindProgress()->setValue(0);
  const auto seconds = std::chrono::ceil<std::chrono::seconds>(request.plan.WorstCase()).count();
  FindStatus()->setText(Tr(res::text::kFindingPlan).arg(tries).arg(seconds));
  ShowFinding(true);
  finder_->Start(
      this, request, [this](const ScanProgress& progress) { OnFindProgress(progress); },
      [this](const FindReport& report) { OnFound(report); });
}

void CCommSettingsDlg::OnFindProgress(const ScanProgress& progress) {
  FindStatus()->setText(Tr(res::text::kFindingProgress)
                            .arg(progress.address)
                            .arg(progress.line.baudRate)
                            .arg(ParityText(progress.line.parity))
                            .arg(progress.done + 1)
                            .arg(progress.total));
  FindProgress()->setValue(static_cast<int>(progress.done));
}

void CCommSettingsDlg::OnFound(const FindReport& report) {
  if (!finding_) {
    // The dialog was closed meanwhile: what it gave back stands.
    return;
  }
  ShowFinding(false);
  FindProgress()->setValue(static_cast<int>(report.outcome.tries));
  if (report.openFailure) {
    FindStatus()->clear();
    ui_.ShowMessage(this, OpenFailureMessage(*report.openFailure));
    return;
  }
  if (report.outcome.found.empty()) {
    FindStatus()->setText(Tr(report.outcome.stopped ? res::text::kFindingStopped
                                                    : res::text::kNoMeterFound));
    return;
  }
  const ScanHit& hit = report.outcome.found.front();
  m_nAddress = hit.address;
  m_nBaudRate = hit.line.baudRate;
  found_ = LinkSettings{hit.address, static_cast<int16_t>(m_nPort), hit.line.baudRate,
                        hit.line.parity};
  m_nParity = hit.line.parity;
  exchange_->ShowFields({AddressBox()});
  CheckLineRadios();
  FindStatus()->setText(Tr(res::text::kMeterFound)
                            .arg(hit.address)
                            .arg(hit.line.baudRate)
                            .arg(ParityText(hit.line.parity)));
}

void CCommSettingsDlg::OnRadio(int id) {
  if (id >= kFirstBaudRadio && id <= kLastBaudRadio) {
    CheckRadioButton(kFirstBaudRadio, kLastBaudRadio, id);
    m_nBaudRate = kBaudIndexRates[static_cast<std::size_t>(id - kFirstBaudRadio)];
  } else if (id >= kFirstPortRadio && id <= kLastPortRadio) {
    CheckRadioButton(kFirstPortRadio, kLastPortRadio, id);
    m_nPort = id - kFirstPortRadio + 1;
  } else {
    CheckRadioButton(kFirstParityRadio, kLastParityRadio, id);
    m_nParity = id - kFirstParityRadio;
  }
}

void CCommSettingsDlg::CheckRadioButton(int first, int last, int checked) {
  for (int id = first; id <= last; ++id) {
    Radio(id)->setChecked(id == checked);
  }
}

void CCommSettingsDlg::accept() {
  if (!exchange_->UpdateData(true)) {
    return;
  }
  PortDevices devices = m_devices;
  for (const int16_t port : {int16_t{1}, int16_t{2}}) {
    if (NetworkChosen(port)) {
      const std::optional<std::string> server = ServerDevice(port);
      if (!server) {
        return;
      }
      devices.For(port) = *server;
    }
  }
  m_devices = devices;
  if (finder_ != nullptr) {
    finder_->Cancel();
  }
  ShowFinding(false);
  QDialog::accept();
}

void CCommSettingsDlg::reject() {
  if (finder_ != nullptr) {
    finder_->Cancel();
  }
  ShowFinding(false);
  QDialog::reject();
}

}  // namespace zt
