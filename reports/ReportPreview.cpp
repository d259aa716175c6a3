#include "reports/ReportPreview.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/core/Prompts.h"

namespace kx {

ReportPreview::ReportPreview(std::shared_ptr<DataReport> report, Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window),
      report_(std::move(report)),
      prompts_(prompts),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setObjectName(QStringLiteral("ReportPreview"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Print Preview"));
  resize(820, 900);

  DataReport::setupPage(*printer_);
  printer_->setCopyCount(1);
  printer_->setDuplex(QPrinter::DuplexNone);
  printer_->setPrintRange(QPrinter::AllPages);
  printer_->setDocName(QStringLiteral(" TEST DATA REPORT"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("PreviewToolBar"));
  view_ = new QPrintPreviewWidget(printer_.get(), this);
  view_->setObjectName(QStringLiteral("PreviewPages"));
  view_->setZoomMode(QPrintPreviewWidget::FitInView);
  layout->addWidget(bar);
  layout->addWidget(view_, 1);
  connect(view_, &QPrintPreviewWidget::paintRequested, this, &ReportPreview::paint);
  connect(view_, &QPrintPreviewWidget::previewChanged, this, &ReportPreview::updatePageLabel);

  auto add = [this, bar](const char* name, const QString& text, const QKeySequence& key,
                         auto slot) {
    QAction* a = bar->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  add("FirstPage", QStringLiteral("|<"), QKeySequence(Qt::Key_Home), [this] {
    view_->setCurrentPage(1);
    updatePageLabel();
  });
  add("PriorPage", QStringLiteral("<"), QKeySequence(Qt::Key_PageUp), [this] {
    view_->setCurrentPage(view_->currentPage() - 1);
    updatePageLabel();
  });
  add("NextPage", QStringLiteral(">"), QKeySequence(Qt::Key_PageDown), [this] {
    view_->setCurrentPage(view_->currentPage() + 1);
    updatePageLabel();
  });
  add("LastPage", QStringLiteral(">|"), QKeySequence(Qt::Key_End), [this] {
    view_->setCurrentPage(view_->pageCount());
    updatePageLabel();
  });
  pageLabel_ = new QLabel(bar);
  pageLabel_->setObjectName(QStringLiteral("PageOfPages"));
  pageLabel_->setContentsMargins(8, 0, 8, 0);
  bar->addWidget(pageLabel_);
  bar->addSeparator();
  add("FitPage", QStringLiteral("Whole Page"), {}, [this] { view_->fitInView(); });
  add("FitWidth", QStringLiteral("Page Width"), {}, [this] { view_->fitToWidth(); });
  add("Zoom100", QStringLiteral("100 %"), {}, [this] {
    view_->setZoomMode(QPrintPreviewWidget::CustomZoom);
    view_->setZoomFactor(1.0);
  });
  add("ZoomIn", QStringLiteral("Zoom In"), QKeySequence::ZoomIn, [this] { view_->zoomIn(); });
  add("ZoomOut", QStringLiteral("Zoom Out"), QKeySequence::ZoomOut, [this] { view_->zoomOut(); });
  bar->addSeparator();
  add("PrinterSetup", QStringLiteral("Printer Setup"), {}, [this] { pageSetup(); });
  add("Print", QStringLiteral("Print"), QKeySequence::Print, [this] { printWithDialog(); });
  add("Save", QStringLiteral("Save"), QKeySequence::Save, [this] { saveWithDialog(); });
  bar->addSeparator();
  add("ClosePreview", QStringLiteral("Close"), {}, [this] { close(); });
}

ReportPreview::~ReportPreview() = default;

ReportProgress ReportPreview::progressFor(const QString& label, int pages) {
  if (pages <= kProgressFromPages) return {};
  return [this, label](size_t done, size_t total) {
    if (!progress_) {
      progress_ = new QProgressDialog(label, QStringLiteral("Cancel"), 0, 1000, this);
      progress_->setObjectName(QStringLiteral("ReportProgress"));
      progress_->setWindowModality(Qt::WindowModal);
      progress_->setAutoClose(false);
      progress_->setAutoReset(false);
      progress_->show();
    }
    progress_->setValue(static_cast<int>(done * 1000 / std::max<size_t>(total, 1)));
    // The event loop keeps running (meter frames, recording, the cancel button); the modal
    // dialog keeps the user's input away from this window meanwhile.
    QCoreApplication::processEvents();
    return !progress_->wasCanceled() && !closeRequested_;
  };
}

void ReportPreview::finishProduction() {
  delete progress_;
  producing_ = false;
  if (closeRequested_) QTimer::singleShot(0, this, &QWidget::close);
}

void ReportPreview::paint(QPrinter* printer) {
  producing_ = true;
  const auto progress =
      progressFor(QStringLiteral("Producing the report..."), report_->pageCount());
  complete_ = report_->print(*printer, progress, true);
  if (!complete_) closeRequested_ = true;  // a cancelled preview closes
  finishProduction();
}

void ReportPreview::updatePageLabel() {
  pageLabel_->setText(
      QStringLiteral("Page %1 of %2").arg(view_->currentPage()).arg(view_->pageCount()));
}

bool ReportPreview::printOn(QPrinter& printer) {
  producing_ = true;
  const bool ok = report_->print(
      printer, progressFor(QStringLiteral("Printing..."), report_->pageCount()), true);
  finishProduction();
  return ok;
}

void ReportPreview::printWithDialog() {
  if (producing_) return;
  QPrintDialog dialog(printer_.get(), this);
  dialog.setObjectName(QStringLiteral("PrintDialog"));
  if (dialog.exec() != QDialog::Accepted) return;
  if (!printOn(*printer_) && !closeRequested_) prompts_.error("The report was not printed.");
}

void ReportPreview::pageSetup() {
  if (producing_) return;
  QPageSetupDialog dialog(printer_.get(), this);
  if (dialog.exec() == QDialog::Accepted) view_->updatePreview();
}

bool ReportPreview::saveAs(const QString& path) {
  const auto format = reportFormatForPath(path);
  if (!format) {
    prompts_.error("Unknown file type: " + path.toStdString());
    return false;
  }
  producing_ = true;
  const auto error =
      saveReport(*report_, *format, path,
                 progressFor(QStringLiteral("Saving the report..."), report_->pageCount()));
  finishProduction();
  if (error && *error != QLatin1String("Cancelled")) {
    prompts_.error(error->toStdString());
    return false;
  }
  return !error;
}

void ReportPreview::saveWithDialog() {
  if (producing_) return;
  const QString pdf = QStringLiteral("PDF document (*.pdf)");
  const QString html = QStringLiteral("HTML document (*.htm *.html)");
  const QString text = QStringLiteral("Text file (*.txt)");
  const QString csv = QStringLiteral("Comma separated values (*.csv)");
  QString filter = pdf;
  QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("Save Report"), QString(),
                                   QStringList{pdf, html, text, csv}.join(";;"), &filter);
  if (path.isEmpty()) return;
  if (!reportFormatForPath(path)) {
    path += filter == html   ? QStringLiteral(".htm")
            : filter == text ? QStringLiteral(".txt")
            : filter == csv  ? QStringLiteral(".csv")
                             : QStringLiteral(".pdf");
  }
  saveAs(path);
}

void ReportPreview::closeEvent(QCloseEvent* e) {
  if (producing_) {
    // Production stops at the next page and the window closes then.
    closeRequested_ = true;
    e->ignore();
    return;
  }
  emit closed();
  QWidget::closeEvent(e);
}

}  // namespace kx
