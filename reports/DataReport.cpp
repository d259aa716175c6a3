#include "reports/DataReport.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <array>
#include <string_view>

namespace kx {
namespace {

QColor colourOf(ItemColour c) {
  // Printed on white paper, so the classic system colours are used rather than the
  // desktop's theme: window text and tool-tip text are black.
  switch (c) {
    case ItemColour::Blue:
      return QColor(0, 0, 255);
    case ItemColour::Black:
    case ItemColour::ToolTipText:
      break;
  }
  return QColor(0, 0, 0);
}

// Fonts resolved for one device, one per item.
struct ItemStyles {
  struct Style {
    QFont font;
    double ascent;
    QColor colour;
  };
  std::array<Style, std::size(kReportItems)> items;

  explicit ItemStyles(QPaintDevice* device) {
    for (size_t i = 0; i < items.size(); ++i) {
      const ReportItem& item = kReportItems[i];
      QFont f(QStringLiteral("Arial"));
      f.setStyleHint(QFont::SansSerif);
      f.setPointSizeF(item.points);
      f.setBold(item.bold);
      f.setUnderline(item.underline);
      QFont resolved(f, device);
      items[i] = {resolved, QFontMetricsF(resolved, device).ascent(), colourOf(item.colour)};
    }
  }
};

}  // namespace

DataReport::DataReport(std::shared_ptr<const ReportSnapshot> rows)
    : rows_(rows ? std::move(rows) : std::make_shared<const ReportSnapshot>()) {}

int DataReport::pageCount() const {
  return reportPageTotal(rows_->count());
}

size_t DataReport::firstRow(int page) const {
  return std::min(rows_->count(), static_cast<size_t>(page) * ReportRowsPerPage);
}

size_t DataReport::lastRow(int page) const {
  return std::min(rows_->count(), (static_cast<size_t>(page) + 1) * ReportRowsPerPage);
}

bool DataReport::begin() {
  bool printReport = true;
  if (beforePrint) beforePrint(printReport);
  printDate_ = locale_.toString(fixedDate_.value_or(QDate::currentDate()), QLocale::ShortFormat);
  return printReport;
}

void DataReport::paintPage(QPainter& painter, int page) const {
  QPaintDevice* device = painter.device();
  const ItemStyles styles(device);
  const double sx = device->logicalDpiX() / 96.0;
  const double sy = device->logicalDpiY() / 96.0;
  const QString pageNumber = QString::number(page + 1);

  painter.save();
  painter.setBackgroundMode(Qt::TransparentMode);
  int currentStyle = -1;
  auto draw = [&](size_t i, double bandTop, const QString& text) {
    if (text.isEmpty()) return;
    const ReportItem& item = kReportItems[i];
    const auto& style = styles.items[i];
    if (currentStyle < 0 || styles.items[currentStyle].font != style.font)
      painter.setFont(style.font);
    if (currentStyle < 0 || styles.items[currentStyle].colour != style.colour)
      painter.setPen(style.colour);
    currentStyle = static_cast<int>(i);
    const double x = item.leftPx * sx;
    const double y = (bandTop + item.topPx) * sy;
    painter.drawText(QPointF(x, y + style.ascent), text);
  };

  for (size_t i = 0; i < std::size(kReportItems); ++i) {
    const ReportItem& item = kReportItems[i];
    const double top = bandTopPx(item.band);
    switch (item.kind) {
      case ItemKind::Label:
        if (std::string_view(item.name) == kTitleItem) {
          // The title keeps to its fixed box.
          painter.save();
          painter.setClipRect(QRectF(item.leftPx * sx, (top + item.topPx) * sy,
                                     kTitleBoxWidthPx * sx, kTitleBoxHeightPx * sy));
          draw(i, top, QString::fromLatin1(item.caption));
          painter.restore();
          currentStyle = -1;
        } else {
          draw(i, top, QString::fromLatin1(item.caption));
        }
        break;
      case ItemKind::PrintDate:
        draw(i, top, printDate_);
        break;
      case ItemKind::PageNumber:
        draw(i, top, pageNumber);
        break;
      case ItemKind::PageTotal:
        draw(i, top, allpage_);
        break;
      case ItemKind::FieldText:
        break;  // below, line by line
    }
  }

  const size_t first = firstRow(page), last = lastRow(page);
  for (size_t r = first; r < last; ++r) {
    const double top = bandTopPx(Band::Detail, static_cast<int>(r - first));
    for (size_t i = 0; i < std::size(kReportItems); ++i)
      if (kReportItems[i].kind == ItemKind::FieldText)
        draw(i, top, rows_->text(r, kReportItems[i].field));
  }
  painter.restore();
}

void DataReport::setupPage(QPagedPaintDevice& device) {
  device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                   QPageLayout::Millimeter));
}

bool DataReport::print(QPagedPaintDevice& device, const ReportProgress& progress,
                       bool keepPageLayout) {
  if (!begin()) return false;
  if (!keepPageLayout) setupPage(device);
  QPainter painter;
  if (!painter.begin(&device)) return false;
  const int pages = pageCount();
  for (int p = 0; p < pages; ++p) {
    if (p > 0 && !device.newPage()) return false;
    paintPage(painter, p);
    if (progress && !progress(static_cast<size_t>(p) + 1, static_cast<size_t>(pages))) {
      painter.end();
      return false;
    }
  }
  return painter.end();
}

}  // namespace kx
