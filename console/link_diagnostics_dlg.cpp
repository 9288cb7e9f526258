#include "console/link_diagnostics_dlg.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "console/link_worker.h"
#include "console/window_text.h"
#include "res/link_tool_texts.h"

namespace zt {

namespace {

namespace text = res::text;

static_assert(text::kFailureCauseCaptions.size() == kFailureCauses);

QString Ms(std::chrono::microseconds time) {
  return QString::number(static_cast<double>(time.count()) / 1000.0, 'f', 1);
}

QFormLayout* AddGroup(QVBoxLayout& layout, const char* title,
                      const char* disambiguation = nullptr) {
  auto* group = new QGroupBox(Tr(title, disambiguation));
  auto* form = new QFormLayout(group);
  layout.addWidget(group);
  return form;
}

}  // namespace

CLinkDiagnosticsDlg::CLinkDiagnosticsDlg(LinkWorker& worker, const LinkStatistics& polls,
                                         QWidget* parent)
    : QDialog(parent),
      polls_(polls),
      refresher_(worker, kRefreshMs, {},
                 [this](const LinkSnapshot& snapshot) { Show(snapshot.exchanges); }) {
  setWindowTitle(Tr(text::kLinkDiagnosticsTitle));
  setModal(false);
  auto* layout = new QVBoxLayout(this);

  QFormLayout* polling = AddGroup(*layout, text::kPollsGroup, text::kPollsGroupMeaning);
  AddFigure(*polling, text::kPollSuccesses, "poll_successes");
  AddFigure(*polling, text::kPollFailures, "poll_failures");

  QFormLayout* exchanges = AddGroup(*layout, text::kExchangesGroup);
  AddFigure(*exchanges, text::kExchanges, "exchanges");
  AddFigure(*exchanges, text::kValidReplies, "replies");
  AddFigure(*exchanges, text::kFailedExchanges, "failures");

  QFormLayout* causes = AddGroup(*layout, text::kCausesGroup);
  for (const FailureCauseName& name : kFailureCauseNames) {
    AddFigure(*causes, text::kFailureCauseCaptions[static_cast<std::size_t>(name.cause)],
              std::string(name.key));
  }

  QFormLayout* latency = AddGroup(*layout, text::kLatencyGroup);
  AddFigure(*latency, "", "latency");
  Show(ExchangeSummary{});
}

QLabel* CLinkDiagnosticsDlg::AddFigure(QFormLayout& form, const char* caption,
                                       const std::string& name) {
  auto* figure = new QLabel;
  figure->setObjectName(QString::fromStdString(name));
  figure->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form.addRow(caption[0] == '\0' ? QString() : Tr(caption), figure);
  figures_[name] = figure;
  return figure;
}

void CLinkDiagnosticsDlg::Refresh() { refresher_.Refresh(); }

void CLinkDiagnosticsDlg::Show(const ExchangeSummary& exchanges) {
  const auto set = [this](const std::string& name, const QString& value) {
    figures_.at(name)->setText(value);
  };
  set("poll_successes", QString::number(polls_.successCount));
  set("poll_failures", QString::number(polls_.failureCount));
  set("exchanges", QString::number(exchanges.replies + exchanges.Failures()));
  set("replies", QString::number(exchanges.replies));
  set("failures", QString::number(exchanges.Failures()));
  for (const FailureCauseName& name : kFailureCauseNames) {
    QString value = QString::number(exchanges.failures[static_cast<std::size_t>(name.cause)]);
    if (name.cause == FailureCause::Exception) {
      for (const auto& [code, count] : exchanges.exceptions) {
        const QString hex = QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
        value += QStringLiteral("  ") + Tr(text::kExceptionCodeCount).arg(hex).arg(count);
      }
    }
    set(std::string(name.key), value);
  }
  if (!exchanges.latency) {
    set("latency", Tr(text::kNoLatencyYet));
    return;
  }
  const LatencySummary& latency = *exchanges.latency;
  set("latency", QStringLiteral("%1 %2   %3 %4   %5 %6   %7 %8")
                     .arg(Tr(text::kLatencyMin), Ms(latency.min),
                          Tr(text::kLatencyMedian), Ms(latency.median),
                          QString::fromLatin1(text::kLatencyP95), Ms(latency.p95),
                          Tr(text::kLatencyMax), Ms(latency.max)));
}

QString CLinkDiagnosticsDlg::Figure(const std::string& name) const {
  const auto it = figures_.find(name);
  return it == figures_.end() ? QString() : it->second->text();
}

void CLinkDiagnosticsDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  refresher_.Start();
}

void CLinkDiagnosticsDlg::hideEvent(QHideEvent* event) {
  refresher_.Stop();
  QDialog::hideEvent(event);
}

}  // namespace zt
