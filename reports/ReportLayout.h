#pragma once
// The data report's layout: an A4 portrait page with 10 mm margins, four bands and the items
// printed on them. Positions are design pixels at 96 per inch, measured from the top-left
// corner of the band; the painting code turns them into device units.

#include <cstddef>
#include <cstdint>

#include "records/RecordTable.h"

namespace kx {

// Detail lines that fit on one page under a page header, a column header and a page footer:
// (297 - 10 - 10 - 3 x 10.58) mm / 6.61 mm = 37.08.
inline constexpr int ReportRowsPerPage = 37;

// The page total printed in every footer (`DataReportPages`): the number of 37-line pages for
// `recordCount` records, never less than 1.
int32_t reportPageTotal(size_t recordCount);

inline constexpr double kMmPerPx = 25.4 / 96.0;
inline constexpr double kPaperWidthMm = 210.0, kPaperHeightMm = 297.0;
inline constexpr double kMarginMm = 10.0;  // top, bottom, left and right
inline constexpr int kBandWidthPx = 718;

enum class Band { PageHeader, ColumnHeader, Detail, PageFooter };

struct BandSpec {
  Band band;
  const char* name;
  int heightPx;
};
inline constexpr BandSpec kBands[] = {
    {Band::PageHeader, "PageHeaderBand1", 40},
    {Band::ColumnHeader, "ColumnHeaderBand1", 40},
    {Band::Detail, "DetailBand1", 25},
    {Band::PageFooter, "PageFooterBand1", 40},
};
int bandHeightPx(Band b);

enum class ItemColour { Black, Blue, ToolTipText };

// What an item prints.
enum class ItemKind {
  Label,       // its fixed caption
  PrintDate,   // the print date in the short date form
  PageNumber,  // the number of the current page
  PageTotal,   // the caption of Allpage, set before printing
  FieldText,   // the display text of one field of the record
};

struct ReportItem {
  Band band;
  const char* name;
  ItemKind kind;
  const char* caption;  // labels only
  Field field;          // field items only
  int leftPx, topPx;
  int points;
  bool bold, underline;
  ItemColour colour;
};

// The title's fixed box, centred across the band.
inline constexpr char kTitleItem[] = "QRLabel1";
inline constexpr int kTitleBoxWidthPx = 296, kTitleBoxHeightPx = 25;

inline constexpr ReportItem kReportItems[] = {
    {Band::PageHeader, "QRLabel1", ItemKind::Label, " TEST DATA REPORT", Field::No,
     (kBandWidthPx - kTitleBoxWidthPx) / 2, 8, 14, true, true, ItemColour::Blue},
    {Band::PageHeader, "QRLabel9", ItemKind::Label, "Print Date:", Field::No, 600, 20, 7, false,
     false, ItemColour::Black},
    {Band::PageHeader, "QRSysData1", ItemKind::PrintDate, nullptr, Field::No, 648, 20, 7, false,
     false, ItemColour::Black},
    {Band::ColumnHeader, "QRLabel2", ItemKind::Label, "No", Field::No, 32, 16, 10, false, false,
     ItemColour::Black},
    {Band::ColumnHeader, "QRLabel3", ItemKind::Label, "Time", Field::No, 128, 16, 10, false, false,
     ItemColour::Black},
    {Band::ColumnHeader, "QRLabel4", ItemKind::Label, "Value", Field::No, 243, 16, 10, false, false,
     ItemColour::Black},
    {Band::ColumnHeader, "QRLabel5", ItemKind::Label, "Unit", Field::No, 376, 16, 10, false, false,
     ItemColour::Black},
    {Band::ColumnHeader, "QRLabel6", ItemKind::Label, "Function", Field::No, 468, 16, 10, false,
     false, ItemColour::Black},
    {Band::ColumnHeader, "QRLabel7", ItemKind::Label, "Remark", Field::No, 616, 16, 10, false,
     false, ItemColour::Black},
    {Band::Detail, "QRDBText1", ItemKind::FieldText, nullptr, Field::No, 32, 8, 10, false, false,
     ItemColour::Black},
    {Band::Detail, "QRDBText2", ItemKind::FieldText, nullptr, Field::Time, 128, 8, 10, false, false,
     ItemColour::Black},
    {Band::Detail, "QRDBText3", ItemKind::FieldText, nullptr, Field::Value, 248, 8, 10, false,
     false, ItemColour::Black},
    {Band::Detail, "QRDBText4", ItemKind::FieldText, nullptr, Field::Unit, 376, 8, 10, false, false,
     ItemColour::Black},
    {Band::Detail, "QRDBText5", ItemKind::FieldText, nullptr, Field::V_Range, 468, 6, 10, false,
     false, ItemColour::Black},
    {Band::Detail, "QRDBText6", ItemKind::FieldText, nullptr, Field::I_Range, 620, 8, 10, false,
     false, ItemColour::Black},
    {Band::PageFooter, "QRLabel8", ItemKind::Label, "The Page", Field::No, 32, 16, 10, false, false,
     ItemColour::ToolTipText},
    {Band::PageFooter, "QRSysData2", ItemKind::PageNumber, nullptr, Field::No, 92, 16, 8, false,
     false, ItemColour::Blue},
    {Band::PageFooter, "QRLabel10", ItemKind::Label, "Of", Field::No, 120, 16, 10, false, false,
     ItemColour::Black},
    {Band::PageFooter, "Allpage", ItemKind::PageTotal, nullptr, Field::No, 140, 16, 9, false, false,
     ItemColour::Blue},
};

// Top of a band on a page, in design pixels from the top margin. Detail lines are counted
// from 0 on each page; the page footer stands at the bottom of the printable area.
double bandTopPx(Band b, int detailLine = 0);

// The printable height between the margins, in design pixels.
inline constexpr double kPrintableHeightPx = (kPaperHeightMm - 2 * kMarginMm) / kMmPerPx;

// Detail lines that fit between the column header and the page footer with this layout;
// ReportRowsPerPage must agree with it.
int detailLinesPerPage();

}  // namespace kx
