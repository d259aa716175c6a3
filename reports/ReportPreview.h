#pragma once
// The report's preview window: pages, zoom, printer set-up, print and save as PDF, HTML,
// text or CSV. It does not block the window that opened it; it tells when it closes.

#include <QPointer>
#include <QWidget>
#include <memory>

#include "reports/DataReport.h"
#include "reports/ReportExport.h"

class QPrinter;
class QPrintPreviewWidget;
class QProgressDialog;
class QLabel;

namespace kx {

class Prompts;

class ReportPreview : public QWidget {
  Q_OBJECT
 public:
  // Reports of more pages than this show a progress dialog with a cancel button while they
  // are produced.
  static constexpr int kProgressFromPages = 100;

  // `prompts` shows errors; the preview deletes itself when closed.
  ReportPreview(std::shared_ptr<DataReport> report, Prompts& prompts, QWidget* parent = nullptr);
  ~ReportPreview() override;

  QPrintPreviewWidget* view() const { return view_; }
  DataReport& report() const { return *report_; }

  // Produces the report on `printer` as it is set up.
  bool printOn(QPrinter& printer);
  // Saves the report in the format the file's extension names; errors go to the prompts.
  bool saveAs(const QString& path);

  // Whether the last production ran to its end (false after a cancel).
  bool complete() const { return complete_; }

 public slots:
  void printWithDialog();
  void pageSetup();
  void saveWithDialog();

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void paint(QPrinter* printer);
  ReportProgress progressFor(const QString& label, int pages);
  void finishProduction();
  void updatePageLabel();

  std::shared_ptr<DataReport> report_;
  Prompts& prompts_;
  std::unique_ptr<QPrinter> printer_;
  QPrintPreviewWidget* view_ = nullptr;
  QLabel* pageLabel_ = nullptr;
  QPointer<QProgressDialog> progress_;
  bool producing_ = false;
  bool closeRequested_ = false;
  bool complete_ = false;
};

}  // namespace kx
