#pragma once
// Saving the data report: PDF (the report's own pages), HTML (a table), plain text and
// comma-separated values. Every format lists the same records as the report; texts are
// written as UTF-8.

#include <QString>
#include <optional>

#include "reports/DataReport.h"

namespace kx {

enum class ReportFormat { Pdf, Html, Text, Csv };

// The format a file name asks for by its extension (.pdf, .htm/.html, .txt, .csv).
std::optional<ReportFormat> reportFormatForPath(const QString& path);

// Writes the report to `path`, replacing the file only once it is complete. Returns an empty
// optional on success, else the message to show; stopping through `progress` writes nothing
// and returns the message "Cancelled".
std::optional<QString> saveReport(DataReport& report, ReportFormat format, const QString& path,
                                  const ReportProgress& progress = {});

// The report's column captions, in print order, and the CSV line of one record.
QString reportCsvHeader();
QString reportCsvLine(const ReportSnapshot& rows, size_t row);

}  // namespace kx
