#pragma once
// The data report (`QuickRep1`): the records of a snapshot, one detail line each, 37 lines a
// page under a page header and a column header, with a page footer on every page. One
// painting routine serves the preview, the printer, the PDF file and page images alike.

#include <QDate>
#include <QLocale>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "reports/ReportLayout.h"
#include "reports/ReportSnapshot.h"

class QPainter;
class QPagedPaintDevice;

namespace kx {

// Told how far production has come; returns false to stop it.
using ReportProgress = std::function<bool(size_t done, size_t total)>;

class DataReport {
 public:
  explicit DataReport(std::shared_ptr<const ReportSnapshot> rows);

  // The before-print event, raised each time production of the report begins (for the
  // preview, a print, a PDF or an export). Setting the flag to false stops production.
  std::function<void(bool& printReport)> beforePrint;

  // The caption of the page-total item `Allpage`.
  void setAllpageCaption(const QString& caption) { allpage_ = caption; }
  const QString& allpageCaption() const { return allpage_; }

  // The date printed in the header: the day production begins, in the locale's short date
  // form, unless a date is fixed here.
  void setLocale(const QLocale& locale) { locale_ = locale; }
  void setPrintDate(std::optional<QDate> date) { fixedDate_ = date; }
  QString printDateText() const { return printDate_; }

  const ReportSnapshot& rows() const { return *rows_; }
  int pageCount() const;
  // The records on a page (0-based): [first, last).
  size_t firstRow(int page) const;
  size_t lastRow(int page) const;

  // Production begins: raises the before-print event and fixes the print date.
  // Returns the event's flag.
  bool begin();

  // Paints one page (0-based). The painter's origin is the top-left corner inside the
  // margins; its device's resolution gives the scale.
  void paintPage(QPainter& painter, int page) const;

  // Produces every page on a paged device (PDF writer, printer), which is set up for A4
  // portrait with 10 mm margins unless `keepPageLayout`. Returns false when production was
  // stopped (by the before-print event or by `progress`) or the device could not be painted.
  bool print(QPagedPaintDevice& device, const ReportProgress& progress = {},
             bool keepPageLayout = false);

  // Sets a paged device to the report's paper: A4 portrait, 10 mm margins.
  static void setupPage(QPagedPaintDevice& device);

 private:
  std::shared_ptr<const ReportSnapshot> rows_;
  QString allpage_;
  QLocale locale_ = QLocale::system();
  std::optional<QDate> fixedDate_;
  QString printDate_;
};

}  // namespace kx
