#include "render/SheetLayout.h"

#include <algorithm>

#include "sheet/Worksheet.h"

namespace tombra::render {

namespace {

// Heights are summed from doubles; a page that is full to the last rounding error still fits.
constexpr double kTolerance = 1e-6;

}  // namespace

SheetLayout::SheetLayout(const sheet::Worksheet& sheet, QSizeF printableSize, RowMeasure* rows)
    : area_(sheet.usedArea()), printable_(printableSize) {
    if (!area_) return;
    const sheet::Area& a = *area_;
    columnEdges_.reserve(static_cast<size_t>(a.right - a.left + 2));
    double x = 0;
    for (int c = a.left; c <= a.right; ++c) {
        columnEdges_.push_back(x);
        x += sheet.columnWidthPoints(c);
    }
    columnEdges_.push_back(x);

    rowEdges_.reserve(static_cast<size_t>(a.bottom - a.top + 2));
    double y = 0;
    for (int r = a.top; r <= a.bottom; ++r) {
        rowEdges_.push_back(y);
        if (sheet.rowHidden(r)) continue;
        double height = std::max(0.0, sheet.rowHeight(r));
        if (rows) height = rows->fittedHeight(r, height, *this);
        y += height;
    }
    rowEdges_.push_back(y);

    for (const sheet::Area& m : sheet.mergedAreas())
        if (m.intersects(a)) merges_.push_back(m);

    // One scale for the whole sheet: every page shows the same columns.
    const sheet::PageSetup setup = sheet.pageSetup();
    if (setup.fitToPage) {
        fitToPages(sheet, setup, x);
        return;
    }
    scale_ = setup.scale / 100.0;  // wider than the paper, it prints in bands of columns
    paginate(sheet);
}

// As spreadsheet programs fit a sheet to pages: never enlarged, never below 10 %, the largest
// scale at which the sheet takes no more pages across and down than asked.
void SheetLayout::fitToPages(const sheet::Worksheet& sheet, const sheet::PageSetup& setup,
                             double width) {
    constexpr double kLeast = 0.1;
    double most = 1.0;
    if (setup.fitToWidth > 0 && width > 0 && printable_.width() > 0)
        most = std::min(most, printable_.width() * setup.fitToWidth / width);
    most = std::max(most, kLeast);
    auto tryScale = [&](double s) {
        scale_ = s;
        pages_.clear();
        paginate(sheet);
        return (setup.fitToHeight <= 0 || static_cast<int>(pages_.size()) <= setup.fitToHeight) &&
               (setup.fitToWidth <= 0 || static_cast<int>(columnBands_.size()) <= setup.fitToWidth);
    };
    if (tryScale(most) || !tryScale(kLeast)) return;
    double fits = kLeast, tooBig = most;
    for (int i = 0; i < 40 && tooBig - fits > 1e-5; ++i) {
        const double middle = (fits + tooBig) / 2;
        (tryScale(middle) ? fits : tooBig) = middle;
    }
    tryScale(fits);
}

double SheetLayout::columnLeft(int column) const {
    if (!area_) return 0;
    int i = std::clamp(column - area_->left, 0, static_cast<int>(columnEdges_.size()) - 1);
    return columnEdges_[static_cast<size_t>(i)];
}

double SheetLayout::columnWidth(int column) const {
    if (!area_ || column < area_->left || column > area_->right) return 0;
    return columnLeft(column + 1) - columnLeft(column);
}

double SheetLayout::rowTop(int row) const {
    if (!area_) return 0;
    int i = std::clamp(row - area_->top, 0, static_cast<int>(rowEdges_.size()) - 1);
    return rowEdges_[static_cast<size_t>(i)];
}

double SheetLayout::rowHeight(int row) const {
    if (!area_ || row < area_->top || row > area_->bottom) return 0;
    return rowTop(row + 1) - rowTop(row);
}

QRectF SheetLayout::cellRect(const sheet::Area& cells) const {
    double left = columnLeft(cells.left), right = columnLeft(cells.right + 1);
    double top = rowTop(cells.top), bottom = rowTop(cells.bottom + 1);
    return QRectF(left, top, right - left, bottom - top);
}

const PageRows& SheetLayout::pageRows(int page) const {
    return pages_[static_cast<size_t>(page) % pages_.size()];
}

const SheetLayout::Columns& SheetLayout::pageColumns(int page) const {
    return columnBands_[static_cast<size_t>(page) / pages_.size()];
}

QRectF SheetLayout::pageRect(int page) const {
    if (page < 0 || page >= pageCount()) return {};
    const PageRows& p = pageRows(page);
    const Columns& c = pageColumns(page);
    return cellRect({p.firstRow, c.first, p.lastRow, c.last});
}

void SheetLayout::paginate(const sheet::Worksheet& sheet) {
    // Columns that do not fit across the paper go to pages of their own, each band holding at
    // least one column.
    columnBands_.clear();
    const double pageWidth = scale_ > 0 ? printable_.width() / scale_ : 0;
    for (int left = area_->left; left <= area_->right;) {
        int right = left;
        while (right < area_->right &&
               columnLeft(right + 2) - columnLeft(left) <= pageWidth + kTolerance)
            ++right;
        columnBands_.push_back({left, right});
        left = right + 1;
    }

    // Manual breaks cut the sheet into segments.
    const std::vector<int> starts = sheet.pageStarts(area_->top, area_->bottom);

    const double pageHeight = scale_ > 0 ? printable_.height() / scale_ : 0;
    for (size_t s = 0; s + 1 < starts.size(); ++s) {
        int top = starts[s];
        const int end = starts[s + 1];
        bool manual = s > 0;
        while (top < end) {
            // The first row that no longer fits below `top`.
            int next = top + 1;
            while (next < end && rowTop(next + 1) - rowTop(top) <= pageHeight + kTolerance) ++next;
            if (next < end) next = breakRowAvoidingMerges(top, next, pageHeight);
            pages_.push_back({top, next - 1, manual});
            manual = false;
            top = next;
        }
    }
}

int SheetLayout::breakRowAvoidingMerges(int pageTop, int candidate, double pageHeight) const {
    // Move the break up to the top of any merged range it would cut, as long as the page
    // keeps at least one row and the range fits on the next page; a range taller than a
    // page has to be cut wherever it is, so it is cut where the page is full.
    int row = candidate;
    bool moved = true;
    while (moved) {
        moved = false;
        for (const sheet::Area& m : merges_) {
            const bool fits = rowTop(m.bottom + 1) - rowTop(m.top) <= pageHeight + kTolerance;
            if (m.top < row && row <= m.bottom && m.top > pageTop && fits) {
                row = m.top;
                moved = true;
            }
        }
    }
    for (const sheet::Area& m : merges_)
        if (m.top < row && row <= m.bottom) return candidate;  // unavoidable: cut as planned
    return row;
}

}  // namespace tombra::render
