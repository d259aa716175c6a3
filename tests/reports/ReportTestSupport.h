#pragma once
// Tables, reports and readers of produced PDF files (poppler-utils) for the report tests.

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "records/RecordTable.h"
#include "reports/DataReport.h"

namespace kx::test {

// Record i (from 0) has No i+1, the time 08:00:00 plus i seconds, and texts that tell it apart.
void fillTable(RecordTable& table, size_t count, size_t firstIndex = 0);
std::string valueText(size_t i);

std::shared_ptr<DataReport> reportOf(const RecordTable& table);

// A word as pdftotext -bbox reports it, in millimetres from the paper's top-left corner.
struct PdfWord {
  int page;  // from 1
  double left, top, right, bottom;
  QString text;
};

std::optional<int> pdfPageCount(const QString& path);  // pdfinfo
std::vector<PdfWord> pdfWords(const QString& path);    // pdftotext -bbox
bool havePoppler();

// The first word on `page` whose text is `text` and that stands nearest to (leftMm, topMm).
std::optional<PdfWord> findWord(const std::vector<PdfWord>& words, int page, const QString& text,
                                double leftMm, double topMm);

}  // namespace kx::test
