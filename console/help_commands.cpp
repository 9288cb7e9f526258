// The console's about box and the analysis program it starts.
#include "console/about_dlg.h"
#include "console/analysis_launcher.h"
#include "console/meter_console_dlg.h"
#include "console/modal_ui.h"
#include "console/window_text.h"
#include "res/texts.h"

namespace zt {

void CMeterConsoleDlg::OnTechSupport() {
  CAboutDlg about(this);
  ui_.RunDialog(about);
}

void CMeterConsoleDlg::OnPhaseCurrentAnalysis() {
  if (const LaunchResult launched = StartAnalysisProgram(); !launched) {
    ShowMessage(Tr(res::text::kAnalysisNotStarted)
                    .arg(QString::fromUtf8(kAnalysisProgram), launched.reason));
  }
}

}  // namespace zt
