// The main window's data report: Print Data opens the report's preview beside the window, and
// the grid stops following the table until the preview closes.

#include <memory>

#include "app/KxApplication.h"
#include "app/TFrmTest.h"
#include "records/TimeText.h"
#include "reports/DataReport.h"
#include "reports/ReportPreview.h"

namespace kx {

void TFrmTest::MajPrintClick() {
  if (reportPreview_) {
    reportPreview_->showNormal();
    reportPreview_->raise();
    reportPreview_->activateWindow();
    return;
  }
  // 1-2. The page total from the records present now.
  state_.DataReportPages = reportPageTotal(cds1_.count());
  // 3. The grid keeps what it shows until the preview closes.
  cds1_.disableControls();
  const bool opened = runCommand(*prompts_, [this] {
    // The report is produced from a copy of the records present now: recording goes on
    // while the preview is open, and Delete Data or a file load may empty the table.
    auto report = std::make_shared<DataReport>(
        std::make_shared<const ReportSnapshot>(cds1_, TimeText::fromLocale()));
    DataReport* sender = report.get();
    report->beforePrint = [this, sender](bool& printReport) {
      QuickRep1BeforePrint(*sender, printReport);
    };
    auto* preview = new ReportPreview(std::move(report), *prompts_, this);
    reportPreview_ = preview;
    connect(preview, &ReportPreview::closed, this, [this] { reportPreviewClosed(); });
    // 4. The preview opens beside the window; the rest follows when it closes.
    preview->show();
  });
  if (!opened) {
    if (reportPreview_) {
      reportPreview_->disconnect(this);
      reportPreview_->deleteLater();
      reportPreview_.clear();
    }
    reportPreviewClosed();
  }
}

void TFrmTest::QuickRep1BeforePrint(DataReport& Sender, bool& PrintReport) {
  (void)PrintReport;  // left true
  Sender.setAllpageCaption(QString::number(state_.DataReportPages));
}

void TFrmTest::reportPreviewClosed() {
  // 5. The whole window repaints; 6. the grid follows the table again.
  runCommand(*prompts_, [this] { update(); });
  cds1_.enableControls();
}

}  // namespace kx
