#pragma once

#include <QRectF>
#include <QSizeF>
#include <optional>
#include <vector>

#include "render/RowMeasure.h"
#include "sheet/CellAddress.h"
#include "sheet/PageSetup.h"

namespace tombra::sheet {
class Worksheet;
}

namespace tombra::render {

// The rows printed on one page. Every page shows all columns of the print area.
struct PageRows {
    int firstRow = 0;
    int lastRow = 0;
    bool manualBreakBefore = false;  // the page starts at one of the sheet's own page breaks
    bool operator==(const PageRows&) const = default;
};

// How a worksheet falls into pages: the grid of its print area in points and the rows of
// each page. Pure geometry, taken from the sheet once; painting reads it.
//
// Sheet points are the sheet's own units (a column of 64 pixels at 96 dpi is 48 points).
// The sheet is scaled as its page setup says, the way spreadsheet programs print it: at its
// own scale (100 % unless it names one), or fitted to a number of pages.
class SheetLayout {
  public:
    // printableSize: the area inside the margins, in points. `rows`, when given, may let
    // rows grow to fit their contents (see RowHeightFitter).
    SheetLayout(const sheet::Worksheet& sheet, QSizeF printableSize, RowMeasure* rows = nullptr);

    bool empty() const { return !area_; }
    // The used area of the sheet; only meaningful when not empty().
    const sheet::Area& printArea() const { return *area_; }
    double scale() const { return scale_; }
    QSizeF printableSize() const { return printable_; }
    // The rows of the pages, top to bottom. A sheet wider than the paper prints each of them
    // once for every band of columns: down the sheet first, then over.
    const std::vector<PageRows>& pages() const { return pages_; }
    struct Columns {
        int first = 0, last = 0;
        bool operator==(const Columns&) const = default;
    };
    const std::vector<Columns>& columnBands() const { return columnBands_; }
    int pageCount() const { return static_cast<int>(pages_.size() * columnBands_.size()); }
    // The rows and the columns of a page (0-based).
    const PageRows& pageRows(int page) const;
    const Columns& pageColumns(int page) const;

    // Sheet points, measured from the print area's top-left corner. Hidden rows and columns
    // are zero wide; rows and columns outside the print area are zero too.
    double columnLeft(int column) const;
    double columnWidth(int column) const;
    double rowTop(int row) const;
    double rowHeight(int row) const;
    double totalWidth() const { return columnLeft(area_ ? area_->right + 1 : 0); }
    // A range of cells (clamped to the print area) in sheet points.
    QRectF cellRect(const sheet::Area& cells) const;
    // The part of the sheet a page shows, in sheet points.
    QRectF pageRect(int page) const;

  private:
    void paginate(const sheet::Worksheet& sheet);
    void fitToPages(const sheet::Worksheet& sheet, const sheet::PageSetup& setup, double width);
    int breakRowAvoidingMerges(int pageTop, int candidate, double pageHeight) const;

    std::optional<sheet::Area> area_;
    QSizeF printable_;
    double scale_ = 1;
    std::vector<double> columnEdges_;  // left of each column of the area, plus the right end
    std::vector<double> rowEdges_;     // top of each row of the area, plus the bottom end
    std::vector<sheet::Area> merges_;
    std::vector<PageRows> pages_;
    std::vector<Columns> columnBands_;
};

}  // namespace tombra::render
