#include "reports/ReportLayout.h"

namespace kx {

int32_t reportPageTotal(size_t recordCount) {
  const size_t rows = ReportRowsPerPage;
  if (recordCount <= rows) return 1;
  const size_t pages = recordCount % rows == 0 ? recordCount / rows : recordCount / rows + 1;
  // A table never holds more than ten million records, far below the 32-bit limit.
  return static_cast<int32_t>(pages);
}

int bandHeightPx(Band b) {
  for (const auto& spec : kBands)
    if (spec.band == b) return spec.heightPx;
  return 0;
}

double bandTopPx(Band b, int detailLine) {
  const int header = bandHeightPx(Band::PageHeader);
  const int columns = bandHeightPx(Band::ColumnHeader);
  switch (b) {
    case Band::PageHeader:
      return 0;
    case Band::ColumnHeader:
      return header;
    case Band::Detail:
      return header + columns + detailLine * bandHeightPx(Band::Detail);
    case Band::PageFooter:
      return kPrintableHeightPx - bandHeightPx(Band::PageFooter);
  }
  return 0;
}

int detailLinesPerPage() {
  const double room = bandTopPx(Band::PageFooter) - bandTopPx(Band::Detail);
  return static_cast<int>(room / bandHeightPx(Band::Detail));
}

}  // namespace kx
