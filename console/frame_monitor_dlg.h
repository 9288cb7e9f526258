#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

#include "console/snapshot_refresher.h"

class QPlainTextEdit;
class QPushButton;

namespace zt {

class LinkWorker;
class ModalUi;

// The frames on the line as they come, one line each as zt6100ctl --trace
// writes them: the time since the link was opened, the direction, the
// bytes and what the link made of them. It keeps the last 1,000, can be
// cleared, paused (the list stands still; on resuming it catches up with
// the frames the link still holds) and saved as a text file. It only reads
// copies the link worker takes between exchanges, so it changes nothing on
// the line.
class CFrameMonitorDlg final : public QDialog {
 public:
  static constexpr int kRefreshMs = 250;
  static constexpr int kMaxLines = 1000;

  using SavePathChooser = std::function<QString(QWidget* parent)>;

  // `choosePath` asks where to save; an empty answer saves nothing. By
  // default the system's file dialog.
  CFrameMonitorDlg(LinkWorker& worker, ModalUi& ui, QWidget* parent,
                   SavePathChooser choosePath = {});

  // Fetches the frames that came since the last look, unless paused.
  void Refresh();
  void Clear();
  void SetPaused(bool paused);
  // Asks for a path and saves there; a failure is told in a message.
  void Save();
  // Writes every line shown to `path`; false with the reason otherwise.
  bool SaveTo(const QString& path, QString& reason) const;

  QStringList Lines() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  ModalUi& ui_;
  SavePathChooser choosePath_;
  QPlainTextEdit* list_ = nullptr;
  QPushButton* pause_ = nullptr;
  int64_t lastSequence_ = 0;
  SnapshotRefresher refresher_;
};

}  // namespace zt
