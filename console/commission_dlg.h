#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <string>

#include "console/commission_jobs.h"
#include "meter/commission_apply.h"
#include "meter/commission_check.h"
#include "meter/site_profile.h"
#include "report/commission_record.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace zt {

class CommissionRunner;
class ModalUi;

// "调试检查": a site profile chosen from a file, a check of the meter against
// it (a table of each setting with expected, read and verdict, the live value
// and the link), an apply that brings the meter there and ends with a check,
// and the report of the latest of them saved as PDF, HTML or JSON. The check
// and the apply run on the link; the window stays live, and its 停止运行 or
// Esc ends them between two exchanges.
class CCommissionDlg final : public QDialog {
 public:
  // Where to read a profile and where to save a report; an empty answer
  // chooses nothing. By default the system's file dialogs.
  struct Paths {
    std::function<QString(QWidget* parent)> chooseProfile;
    std::function<QString(QWidget* parent)> chooseReport;
  };
  // What the window is given.
  struct Setup {
    // The profile chosen last time, read again at opening; empty for none.
    QString profilePath;
    std::string consoleVersion;
    // The device or server the link goes through, for the report.
    std::string port;
    std::function<WallTime()> wallClock = [] { return std::chrono::system_clock::now(); };
  };

  CCommissionDlg(ModalUi& ui, CommissionRunner& runner, Setup setup, Paths paths = {},
                 QWidget* parent = nullptr);

  // Runs the window modally through the modal seam.
  int DoModal();

  // Asks for a profile and reads it.
  void OnChooseProfile();
  // Reads the profile at `path`; a refused one is told, with the file, the
  // key and the reason, and the profile before it is kept.
  bool LoadProfile(const QString& path);
  void OnCheck();
  void OnApply();
  void OnStop();
  // Asks for a file and writes the report there, whole or not at all.
  void OnSaveReport();

  // The profile the window holds, for the next opening.
  QString ProfilePath() const { return profilePath_; }
  bool Running() const { return running_; }
  // The record of the latest check or apply: what the report holds.
  const std::optional<report::CommissionRecord>& Record() const { return record_; }
  report::Language Language() const { return language_; }
  QTableWidget& Table() const { return *table_; }
  QString StatusText() const;
  QString SummaryText() const;
  QPushButton& Button(int which) const;

  // The buttons, for Button().
  static constexpr int kChoose = 0;
  static constexpr int kCheck = 1;
  static constexpr int kApply = 2;
  static constexpr int kStop = 3;
  static constexpr int kSave = 4;
  static constexpr int kClose = 5;

  // Esc, the close box and 关闭: a check or apply under way is stopped
  // first, and the window stays until it has ended.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowProgress(const std::string& step);
  void ShowCheck(const CheckReport& check);
  void ShowApply(const CommissionApplyOutcome& outcome);
  void SetRunning(bool running, const char* status);
  void ShowButtons();
  void FitColumns();

  ModalUi& ui_;
  CommissionRunner& runner_;
  Setup setup_;
  Paths paths_;
  report::Language language_;
  QString profilePath_;
  std::optional<SiteProfile> profile_;
  std::optional<report::CommissionRecord> record_;
  bool running_ = false;
  bool stopping_ = false;

  QLineEdit* profileBox_ = nullptr;
  QLabel* siteLabel_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* liveLabel_ = nullptr;
  QLabel* linkLabel_ = nullptr;
  QPlainTextEdit* summary_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* buttons_[6] = {};
};

}  // namespace zt
