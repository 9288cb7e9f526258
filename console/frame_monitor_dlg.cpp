#include "console/frame_monitor_dlg.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "console/link_worker.h"
#include "report/whole_file.h"
#include "console/window_text.h"
#include "console/modal_ui.h"
#include "link/frame_trace.h"
#include "res/link_tool_texts.h"

namespace zt {

namespace {

namespace text = res::text;

QString AskSystemForPath(QWidget* parent) {
  return QFileDialog::getSaveFileName(parent, Tr(text::kMonitorSaveTitle),
                                      QStringLiteral("frames.txt"),
                                      Tr(text::kMonitorSaveFilter));
}

}  // namespace

CFrameMonitorDlg::CFrameMonitorDlg(LinkWorker& worker, ModalUi& ui, QWidget* parent,
                                   SavePathChooser choosePath)
    : QDialog(parent),
      ui_(ui),
      choosePath_(choosePath ? std::move(choosePath) : SavePathChooser(AskSystemForPath)),
      refresher_(worker, kRefreshMs, [this] { return lastSequence_; },
                 [this](const LinkSnapshot& snapshot) {
                   for (const FrameRecord& record : snapshot.frames) {
                     list_->appendPlainText(
                         QString::fromStdString(FormatFrameRecord(record, snapshot.origin)));
                     lastSequence_ = record.sequence;
                   }
                 }) {
  setWindowTitle(Tr(text::kFrameMonitorTitle));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  list_ = new QPlainTextEdit(this);
  list_->setReadOnly(true);
  list_->setLineWrapMode(QPlainTextEdit::NoWrap);
  list_->setMaximumBlockCount(kMaxLines);
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list_->setMinimumSize(640, 320);
  layout->addWidget(list_);

  auto* buttons = new QHBoxLayout;
  auto* clear = new QPushButton(Tr(text::kMonitorClear), this);
  pause_ = new QPushButton(Tr(text::kMonitorPause), this);
  auto* save = new QPushButton(Tr(text::kMonitorSave), this);
  buttons->addWidget(clear);
  buttons->addWidget(pause_);
  buttons->addStretch();
  buttons->addWidget(save);
  layout->addLayout(buttons);
  connect(clear, &QPushButton::clicked, this, [this] { Clear(); });
  connect(pause_, &QPushButton::clicked, this, [this] { SetPaused(!refresher_.Paused()); });
  connect(save, &QPushButton::clicked, this, [this] { Save(); });
}

void CFrameMonitorDlg::Refresh() { refresher_.Refresh(); }

void CFrameMonitorDlg::Clear() { list_->clear(); }

void CFrameMonitorDlg::SetPaused(bool paused) {
  refresher_.SetPaused(paused);
  pause_->setText(Tr(paused ? text::kMonitorResume : text::kMonitorPause));
  if (!paused) {
    Refresh();
  }
}

void CFrameMonitorDlg::Save() {
  const QString path = choosePath_(this);
  if (path.isEmpty()) {
    return;
  }
  QString reason;
  if (!SaveTo(path, reason)) {
    ui_.ShowMessage(this, Tr(text::kMonitorSaveFailed).arg(path, reason));
  }
}

bool CFrameMonitorDlg::SaveTo(const QString& path, QString& reason) const {
  QByteArray bytes = list_->toPlainText().toUtf8();
  if (!bytes.isEmpty()) {
    bytes += '\n';
  }
  return WriteWholeFile(path, bytes, reason);
}

QStringList CFrameMonitorDlg::Lines() const {
  const QString all = list_->toPlainText();
  return all.isEmpty() ? QStringList() : all.split(QLatin1Char('\n'));
}

void CFrameMonitorDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  refresher_.Start();
}

void CFrameMonitorDlg::hideEvent(QHideEvent* event) {
  refresher_.Stop();
  QDialog::hideEvent(event);
}

}  // namespace zt
