#pragma once

#include <QDialog>

#include <map>
#include <string>

#include "console/snapshot_refresher.h"
#include "link/exchange_statistics.h"
#include "meter/link_statistics.h"

class QFormLayout;
class QLabel;

namespace zt {

class LinkWorker;

// A small window beside the console that tells why exchanges fail: the
// poll's success and failure counts, every exchange by outcome with the
// failures by cause, and the reply latency. It is refreshed while it is
// shown, from copies the link worker takes on its own thread.
class CLinkDiagnosticsDlg final : public QDialog {
 public:
  static constexpr int kRefreshMs = 500;

  // `polls` are the window's own counts, read on the window's thread.
  CLinkDiagnosticsDlg(LinkWorker& worker, const LinkStatistics& polls, QWidget* parent);

  // Asks the worker for a fresh copy; shown when it comes back. At most one
  // request is outstanding, however long the job on the line takes.
  void Refresh();
  // The text shown for a figure, by its name: "poll_successes",
  // "poll_failures", "exchanges", "replies", "failures", a cause's key
  // (such as "bad_crc"), "latency".
  QString Figure(const std::string& name) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QLabel* AddFigure(QFormLayout& form, const char* caption, const std::string& name);
  void Show(const ExchangeSummary& exchanges);

  const LinkStatistics& polls_;
  std::map<std::string, QLabel*> figures_;
  SnapshotRefresher refresher_;
};

}  // namespace zt
