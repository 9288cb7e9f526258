#include "console/commission_dlg.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <variant>

#include "console/commission_runner.h"
#include "console/modal_ui.h"
#include "console/window_text.h"
#include "report/report_notes.h"
#include "report/report_texts.h"
#include "report/report_writer.h"
#include "res/commission_texts.h"

namespace zt {

namespace {

namespace text = res::text;

QString AskSystemForProfile(QWidget* parent) {
  return QFileDialog::getOpenFileName(parent, Tr(text::kCommissionProfileTitle), QString(),
                                      Tr(text::kCommissionProfileFilter));
}

QString AskSystemForReport(QWidget* parent) {
  QFileDialog dialog(parent, Tr(text::kCommissionReportTitle), QString(),
                     Tr(text::kCommissionReportFilter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // A name typed without an ending gets the filter's, so the writer knows
  // the format.
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
    const qsizetype dot = f.indexOf(QStringLiteral("*."));
    if (dot >= 0) {
      dialog.setDefaultSuffix(f.mid(dot + 2).chopped(1));
    }
  });
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

report::Language WindowLanguage() {
  return Tr(text::kReportLanguage, text::kReportLanguageMeaning) == QLatin1String("en")
             ? report::Language::kEnglish
             : report::Language::kChinese;
}

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Cell(const std::optional<std::string>& value, report::Language language) {
  return value ? Q(report::Say(*value, language)) : QStringLiteral("-");
}

QString TimeOfDay(const std::optional<WallTime>& at) {
  // The time of day in UTC+8, as the meter and the technician keep it.
  return at ? Q(ChinaTimeText(*at).substr(11)) : QStringLiteral("-");
}

QString Figure(double value) { return QString::number(value, 'f', 4); }

// Why the profile was refused, in the window's words.
QString WindowWords(const ProfileError& refused) {
  if (refused.windowReason == nullptr) {
    return Q(refused.Message());
  }
  const auto argument = [&refused](std::size_t i) { return Q(refused.arguments.at(i)); };
  // The values are put in in one pass: a "%1" inside a value stays as typed.
  QString reason = Tr(refused.windowReason);
  switch (refused.arguments.size()) {
    case 0:
      break;
    case 1:
      reason = reason.arg(argument(0));
      break;
    case 2:
      reason = reason.arg(argument(0), argument(1));
      break;
    default:
      reason = reason.arg(argument(0), argument(1), argument(2));
      break;
  }
  const QString file = Q(refused.file);
  return refused.key.empty() ? Tr(text::kProfileFileRefused).arg(file, reason)
                             : Tr(text::kProfileKeyRefused).arg(file, Q(refused.key), reason);
}

constexpr int kColumns = 6;
constexpr int kTableMinWidth = 720;
constexpr const char* kHeaderKeys[kColumns] = {"setting", "expected", "read",
                                               "verdict", "time",     "note"};

}  // namespace

CCommissionDlg::CCommissionDlg(ModalUi& ui, CommissionRunner& runner, Setup setup, Paths paths,
                               QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      runner_(runner),
      setup_(std::move(setup)),
      paths_(std::move(paths)),
      language_(WindowLanguage()) {
  if (!paths_.chooseProfile) {
    paths_.chooseProfile = AskSystemForProfile;
  }
  if (!paths_.chooseReport) {
    paths_.chooseReport = AskSystemForReport;
  }
  setWindowTitle(Tr(text::kCommissionTitle));
  auto* layout = new QVBoxLayout(this);

  auto* profileRow = new QHBoxLayout;
  profileRow->addWidget(new QLabel(Tr(text::kCommissionProfile), this));
  profileBox_ = new QLineEdit(this);
  profileBox_->setReadOnly(true);
  profileBox_->setPlaceholderText(Tr(text::kCommissionNoProfile));
  profileRow->addWidget(profileBox_, 1);
  buttons_[kChoose] = new QPushButton(Tr(text::kCommissionChooseProfile), this);
  profileRow->addWidget(buttons_[kChoose]);
  layout->addLayout(profileRow);
  siteLabel_ = new QLabel(this);
  layout->addWidget(siteLabel_);

  table_ = new QTableWidget(0, kColumns, this);
  QStringList headers;
  for (const char* key : kHeaderKeys) {
    headers << Q(report::Say(key, language_));
  }
  table_->setHorizontalHeaderLabels(headers);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->setMinimumHeight(330);
  layout->addWidget(table_, 1);

  liveLabel_ = new QLabel(this);
  linkLabel_ = new QLabel(this);
  layout->addWidget(liveLabel_);
  layout->addWidget(linkLabel_);
  summary_ = new QPlainTextEdit(this);
  summary_->setReadOnly(true);
  summary_->setFixedHeight(summary_->fontMetrics().lineSpacing() * 5 + 12);
  layout->addWidget(summary_);
  status_ = new QLabel(this);
  layout->addWidget(status_);

  auto* buttonRow = new QHBoxLayout;
  buttons_[kCheck] = new QPushButton(Tr(text::kCommissionCheck), this);
  buttons_[kApply] = new QPushButton(Tr(text::kCommissionApply), this);
  buttons_[kStop] = new QPushButton(Tr(text::kCommissionStop), this);
  buttons_[kSave] = new QPushButton(Tr(text::kCommissionSaveReport), this);
  buttons_[kClose] = new QPushButton(Tr(text::kCommissionClose), this);
  for (int which : {kCheck, kApply, kStop}) {
    buttonRow->addWidget(buttons_[which]);
  }
  buttonRow->addStretch();
  buttonRow->addWidget(buttons_[kSave]);
  buttonRow->addWidget(buttons_[kClose]);
  layout->addLayout(buttonRow);
  for (QPushButton* button : buttons_) {
    // Enter in the window presses no button by itself: an apply writes to
    // the meter only when its button is pressed.
    button->setAutoDefault(false);
  }

  connect(buttons_[kChoose], &QPushButton::clicked, this, [this] { OnChooseProfile(); });
  connect(buttons_[kCheck], &QPushButton::clicked, this, [this] { OnCheck(); });
  connect(buttons_[kApply], &QPushButton::clicked, this, [this] { OnApply(); });
  connect(buttons_[kStop], &QPushButton::clicked, this, [this] { OnStop(); });
  connect(buttons_[kSave], &QPushButton::clicked, this, [this] { OnSaveReport(); });
  connect(buttons_[kClose], &QPushButton::clicked, this, [this] { reject(); });

  for (QPushButton* button : buttons_) {
    // Room for the caption in either language, beyond the style's minimum.
    const int frame = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                      button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    button->setMinimumWidth(
        std::max(button->sizeHint().width(),
                 button->fontMetrics().horizontalAdvance(button->text()) + 2 * frame + 8));
  }

  if (!setup_.profilePath.isEmpty()) {
    LoadProfile(setup_.profilePath);
  }
  FitColumns();
  ShowButtons();
}

void CCommissionDlg::FitColumns() {
  // Every cell and title whole: the window widens rather than cut a note.
  table_->resizeColumnsToContents();
  QHeaderView& header = *table_->horizontalHeader();
  const int margin = header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
  int width = 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width();
  for (int column = 0; column < kColumns; ++column) {
    const QString title = table_->horizontalHeaderItem(column)->text();
    const int needed = header.fontMetrics().horizontalAdvance(title) + 2 * margin + 8;
    if (table_->columnWidth(column) < needed) {
      table_->setColumnWidth(column, needed);
    }
    width += table_->columnWidth(column);
  }
  table_->setMinimumWidth(std::max(kTableMinWidth, width));
}

int CCommissionDlg::DoModal() { return ui_.RunDialog(*this); }

QPushButton& CCommissionDlg::Button(int which) const { return *buttons_[which]; }

QString CCommissionDlg::StatusText() const { return status_->text(); }

QString CCommissionDlg::SummaryText() const { return summary_->toPlainText(); }

void CCommissionDlg::ShowButtons() {
  const bool idle = !running_;
  buttons_[kChoose]->setEnabled(idle);
  buttons_[kCheck]->setEnabled(idle && profile_.has_value());
  buttons_[kApply]->setEnabled(idle && profile_.has_value());
  buttons_[kStop]->setEnabled(running_ && !stopping_);
  buttons_[kSave]->setEnabled(idle && record_.has_value());
}

void CCommissionDlg::SetRunning(bool running, const char* status) {
  running_ = running;
  stopping_ = false;
  status_->setText(status != nullptr ? Tr(status) : QString());
  if (running) {
    setCursor(Qt::BusyCursor);
  } else {
    unsetCursor();
  }
  ShowButtons();
}

void CCommissionDlg::OnChooseProfile() {
  const QString path = paths_.chooseProfile(this);
  if (!path.isEmpty()) {
    LoadProfile(path);
  }
}

bool CCommissionDlg::LoadProfile(const QString& path) {
  const ProfileResult read = ReadSiteProfile(path.toStdString());
  if (const auto* refused = std::get_if<ProfileError>(&read)) {
    ui_.ShowMessage(this, Tr(text::kCommissionProfileRefused).arg(WindowWords(*refused)));
    return false;
  }
  profile_ = std::get<SiteProfile>(read);
  profilePath_ = path;
  profileBox_->setText(path);
  siteLabel_->setText(Tr(text::kCommissionSiteMeter)
                          .arg(QString::fromStdString(profile_->site),
                               QString::fromStdString(profile_->meter)));
  // What was found against another profile is no report of this one.
  record_.reset();
  table_->setRowCount(0);
  liveLabel_->clear();
  linkLabel_->clear();
  summary_->clear();
  ShowButtons();
  return true;
}

void CCommissionDlg::ShowProgress(const std::string& step) {
  if (!running_ || stopping_) {
    return;
  }
  status_->setText(step == "live"
                       ? Tr(text::kCommissionPolling)
                       : Tr(text::kCommissionReading).arg(Q(report::Say(step, language_))));
}

void CCommissionDlg::OnCheck() {
  if (running_ || !profile_) {
    return;
  }
  SetRunning(true, text::kCommissionChecking);
  const SiteProfile profile = *profile_;
  runner_.Check(
      this, profile, [this](const std::string& step) { ShowProgress(step); },
      [this, profile](const CheckReport& check) {
        record_ = report::RecordOf(profile, check, setup_.consoleVersion, setup_.port,
                                   setup_.wallClock());
        SetRunning(false, nullptr);
        ShowCheck(check);
        summary_->setPlainText(Q(report::Say(
            check.cancelled ? "cancelled" : check.AllMatch() ? "all_match" : "some_differ",
            language_)));
      });
}

void CCommissionDlg::OnApply() {
  if (running_ || !profile_) {
    return;
  }
  SetRunning(true, text::kCommissionApplying);
  const SiteProfile profile = *profile_;
  runner_.Apply(
      this, profile, [this](const std::string& step) { ShowProgress(step); },
      [this, profile](const CommissionApplyOutcome& outcome) {
        record_ = report::RecordOf(profile, outcome.report, setup_.consoleVersion, setup_.port,
                                   setup_.wallClock());
        SetRunning(false, nullptr);
        ShowCheck(record_->check);
        ShowApply(outcome);
      });
}

void CCommissionDlg::OnStop() {
  if (!running_) {
    return;
  }
  runner_.Cancel();
  stopping_ = true;
  status_->setText(Tr(text::kCommissionStopping));
  ShowButtons();
}

void CCommissionDlg::ShowCheck(const CheckReport& check) {
  table_->setRowCount(static_cast<int>(check.rows.size()));
  int rowIndex = 0;
  for (const CheckRow& row : check.rows) {
    const QString cells[kColumns] = {
        Q(report::Say(row.key, language_)),
        Cell(row.expected, language_),
        Cell(row.read, language_),
        Q(report::Say(VerdictKey(row.verdict), language_)),
        TimeOfDay(row.at),
        Q(report::NoteText(row.note, language_)),
    };
    for (int column = 0; column < kColumns; ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      if (column == 3 && (row.verdict == Verdict::Differs || row.verdict == Verdict::NoReply)) {
        item->setForeground(QColor(192, 0, 0));
      }
      table_->setItem(rowIndex, column, item);
    }
    ++rowIndex;
  }
  FitColumns();

  const LiveSummary& live = check.live;
  QString liveText = Tr(text::kCommissionLive).arg(live.polls).arg(live.replies);
  if (live.mean) {
    liveText += QStringLiteral("; ") + Tr(text::kCommissionLiveFigures)
                                           .arg(Figure(*live.min), Figure(*live.max),
                                                Figure(*live.mean));
  }
  liveLabel_->setText(liveText);

  const LinkVerdict& verdict = check.link;
  QString linkText = Tr(text::kCommissionLink).arg(verdict.exchanges).arg(verdict.failures);
  if (verdict.mainCause) {
    const std::string key(NameOf(*verdict.mainCause).key);
    linkText += QStringLiteral("; ") + Q(report::Say("main_cause", language_)) +
                QStringLiteral(": ") + Q(report::Say(key, language_)) + QStringLiteral("; ") +
                Q(report::Say("advice", language_)) + QStringLiteral(": ") +
                Q(report::Say("advice_" + key, language_));
  } else {
    linkText += QStringLiteral("; ") + Q(report::Say("link_good", language_));
  }
  linkLabel_->setText(linkText);
}

void CCommissionDlg::ShowApply(const CommissionApplyOutcome& outcome) {
  const ApplyReport& apply = outcome.report;
  QStringList written;
  QStringList notWritten;
  QStringList lines;
  for (const ApplyStep& step : apply.steps) {
    const QString what =
        Q(report::Say(step.key, language_)) + QStringLiteral(" ") + Cell(step.value, language_);
    const QString note = Q(report::NoteText(step.note, language_));
    switch (step.state) {
      case StepState::Confirmed: written << what; break;
      case StepState::NotConfirmed:
        lines << Tr(text::kCommissionNotConfirmed).arg(what, note);
        break;
      case StepState::NotSent: notWritten << what; break;
      case StepState::NotWritable:
        lines << Tr(text::kCommissionCannotWrite).arg(what, note);
        break;
    }
  }
  if (apply.steps.empty() && !apply.cancelled) {
    lines.prepend(Q(report::Say("no_writes", language_)));
  }
  if (!written.isEmpty()) {
    lines.prepend(Tr(text::kCommissionWritten).arg(written.join(QStringLiteral(", "))));
  }
  if (!notWritten.isEmpty()) {
    lines << Tr(text::kCommissionNotWritten).arg(notWritten.join(QStringLiteral(", ")));
  }
  const LinkSettings& before = apply.before.line.settings;
  if (outcome.settings.address != before.address ||
      outcome.settings.baudRate != before.baudRate) {
    lines << Tr(text::kCommissionFollowed)
                 .arg(outcome.settings.address)
                 .arg(outcome.settings.baudRate);
  }
  if (apply.cancelled) {
    lines << Q(report::Say("cancelled", language_));
  } else if (apply.after) {
    lines << Q(report::Say(apply.Done() ? "all_match" : "some_differ", language_));
  }
  summary_->setPlainText(lines.join(QLatin1Char('\n')));
}

void CCommissionDlg::OnSaveReport() {
  if (running_ || !record_) {
    return;
  }
  const QString path = paths_.chooseReport(this);
  if (path.isEmpty()) {
    return;
  }
  if (const std::optional<report::ReportFailure> failed =
          report::WriteCommissionReport(path.toStdString(), *record_, language_)) {
    ui_.ShowMessage(this, Tr(text::kCommissionReportFailed)
                              .arg(QStringLiteral("%1: %2").arg(
                                  path, QString::fromStdString(failed->Reason(language_)))));
    return;
  }
  status_->setText(Tr(text::kCommissionReportSaved).arg(path));
}

void CCommissionDlg::reject() {
  if (running_) {
    OnStop();
    return;
  }
  QDialog::reject();
}

void CCommissionDlg::closeEvent(QCloseEvent* event) {
  if (running_) {
    OnStop();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace zt
