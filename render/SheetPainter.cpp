#include "render/SheetPainter.h"

#include <QPainter>
#include <algorithm>
#include <vector>

#include "render/BorderStroke.h"
#include "render/CellTextPainter.h"
#include "sheet/Worksheet.h"

namespace tombra::render {

namespace xl = sheet::xl;

// The cells a page needs, read from the sheet once: the page's rows plus one row on either
// side (their shared edges print on both pages), every column of the print area.
struct SheetPainter::PageGrid {
    struct Cell {
        sheet::CellFormat format;
        sheet::CellValue value;
        int merge = -1;  // index into merges
    };
    int firstRow = 0, lastRow = 0;  // the page's rows
    int top = 0, bottom = 0;        // the rows held
    int left = 0, right = 0;
    std::vector<Cell> cells;
    std::vector<sheet::Area> merges;  // those touching the held rows

    size_t index(int row, int column) const {
        return static_cast<size_t>((row - top) * (right - left + 1) + (column - left));
    }
    const Cell& at(int row, int column) const { return cells[index(row, column)]; }
    Cell& at(int row, int column) { return cells[index(row, column)]; }
    bool holds(int row, int column) const {
        return row >= top && row <= bottom && column >= left && column <= right;
    }
    bool sameMerge(int r1, int c1, int r2, int c2) const {
        const int m = at(r1, c1).merge;
        return m >= 0 && m == at(r2, c2).merge;
    }
    // Empty and not part of a merged range: text from a neighbour may run over it.
    bool free(int row, int column) const {
        const Cell& c = at(row, column);
        return c.merge < 0 && c.value.isEmpty();
    }
};

SheetPainter::SheetPainter(const sheet::Worksheet& sheet, const SheetLayout& layout)
    : sheet_(sheet), layout_(layout) {}

void SheetPainter::paintPage(QPainter& painter, int page, double devicePerPoint) const {
    if (page < 0 || page >= layout_.pageCount()) return;
    const PageRows& rows = layout_.pageRows(page);
    const SheetLayout::Columns& columns = layout_.pageColumns(page);
    const sheet::Area& area = layout_.printArea();

    PageGrid grid;
    grid.firstRow = rows.firstRow;
    grid.lastRow = rows.lastRow;
    grid.top = std::max(area.top, rows.firstRow - 1);
    grid.bottom = std::min(area.bottom, rows.lastRow + 1);
    grid.left = columns.first;
    grid.right = columns.last;
    const sheet::Area held{grid.top, grid.left, grid.bottom, grid.right};
    for (const sheet::Area& m : sheet_.mergedAreas())
        if (m.intersects(held)) grid.merges.push_back(m);
    grid.cells.resize(static_cast<size_t>(held.cellCount()));
    for (int r = grid.top; r <= grid.bottom; ++r) {
        for (int c = grid.left; c <= grid.right; ++c) {
            PageGrid::Cell& cell = grid.at(r, c);
            cell.format = sheet_.format(r, c);
            cell.value = sheet_.value(r, c);
        }
    }
    for (size_t i = 0; i < grid.merges.size(); ++i) {
        const sheet::Area& m = grid.merges[i];
        for (int r = std::max(m.top, grid.top); r <= std::min(m.bottom, grid.bottom); ++r)
            for (int c = std::max(m.left, grid.left); c <= std::min(m.right, grid.right); ++c)
                grid.at(r, c).merge = static_cast<int>(i);
    }

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF pageRect = layout_.pageRect(page);
    painter.scale(devicePerPoint * layout_.scale(), devicePerPoint * layout_.scale());
    painter.translate(-pageRect.topLeft());
    paintTexts(painter, grid);
    paintBorders(painter, grid);
    painter.restore();
}

void SheetPainter::paintTexts(QPainter& painter, const PageGrid& grid) const {
    const QRectF pageRect = layout_.cellRect({grid.firstRow, grid.left, grid.lastRow, grid.right});
    CellTextPainter text(painter);

    // A merged range shows its top-left cell over its whole area, even when that cell lies
    // on the page before.
    for (const sheet::Area& m : grid.merges) {
        if (m.bottom < grid.firstRow || m.top > grid.lastRow) continue;
        const sheet::CellValue value = sheet_.value(m.top, m.left);
        if (value.isEmpty()) continue;
        const QRectF rect = layout_.cellRect(m);
        const sheet::CellFormat format = sheet_.format(m.top, m.left);
        QString shown = CellTextLayout::displayText(value.asText());
        if (value.isNumber()) shown = text.layout().fitNumber(shown, format.font, rect.width());
        text.paint(shown, format, value.kind(), rect, rect.intersected(pageRect));
    }

    for (int r = grid.firstRow; r <= grid.lastRow; ++r) {
        if (layout_.rowHeight(r) <= 0) continue;
        for (int c = grid.left; c <= grid.right; ++c) {
            const PageGrid::Cell& cell = grid.at(r, c);
            if (cell.merge >= 0 || cell.value.isEmpty() || layout_.columnWidth(c) <= 0) continue;
            QString shown = CellTextLayout::displayText(cell.value.asText());
            const QRectF rect = layout_.cellRect(sheet::Area::cell(r, c));
            if (cell.value.isNumber())
                shown = text.layout().fitNumber(shown, cell.format.font, rect.width());
            QRectF clip = rect;

            // An unwrapped text too wide for its cell runs over empty neighbours, as on
            // screen; numbers never do.
            const int h =
                CellTextLayout::effectiveHorizontal(cell.format.horizontal, cell.value.kind());
            const bool mayOverflow =
                cell.value.isText() && !cell.format.wrapText &&
                (h == xl::HAlignLeft || h == xl::HAlignRight || h == xl::HAlignCenter) &&
                cell.format.vertical != xl::VAlignDistributed;
            if (mayOverflow) {
                const double needed = text.layout().naturalWidth(shown, cell.format.font);
                const double extra = needed - rect.width();
                if (extra > 0) {
                    const bool right = h == xl::HAlignLeft || h == xl::HAlignCenter;
                    const bool left = h == xl::HAlignRight || h == xl::HAlignCenter;
                    const double wanted = h == xl::HAlignCenter ? extra / 2 : extra;
                    if (right) {
                        double got = 0;
                        for (int n = c + 1; n <= grid.right && got < wanted && grid.free(r, n); ++n)
                            got += layout_.columnWidth(n);
                        clip.setRight(rect.right() + got);
                    }
                    if (left) {
                        double got = 0;
                        for (int n = c - 1; n >= grid.left && got < wanted && grid.free(r, n); --n)
                            got += layout_.columnWidth(n);
                        clip.setLeft(rect.left() - got);
                    }
                }
            }
            text.paint(shown, cell.format, cell.value.kind(), rect, clip.intersected(pageRect));
        }
    }
}

void SheetPainter::paintBorders(QPainter& painter, const PageGrid& grid) const {
    // Border widths are set on paper, whatever the scale of the sheet.
    const double paperPerUnit = layout_.scale();
    const sheet::BorderLine none{};

    auto stroke = [&](const sheet::BorderLine& line, QPointF from, QPointF to) {
        if (line.present() && from != to) BorderStroke(line).draw(painter, from, to, paperPerUnit);
    };

    // Horizontal edges: the top of each page row and the bottom of the last. Runs of equal
    // lines are drawn as one so that dashes flow across cells.
    for (int r = grid.firstRow; r <= grid.lastRow + 1; ++r) {
        const double y = layout_.rowTop(r);
        sheet::BorderLine run = none;
        double runStart = 0;
        for (int c = grid.left; c <= grid.right + 1; ++c) {
            sheet::BorderLine line = none;
            if (c <= grid.right) {
                const bool above = grid.holds(r - 1, c);
                const bool below = grid.holds(r, c) && r <= grid.lastRow + 1;
                const bool inside = above && below && grid.sameMerge(r - 1, c, r, c);
                if (!inside) {
                    const sheet::BorderLine& a =
                        above ? grid.at(r - 1, c).format.edge(xl::EdgeBottom) : none;
                    const sheet::BorderLine& b =
                        below ? grid.at(r, c).format.edge(xl::EdgeTop) : none;
                    line = BorderStroke::heavier(a, b);
                }
            }
            const double x = layout_.columnLeft(c);
            if (!(line == run)) {
                stroke(run, {runStart, y}, {x, y});
                run = line;
                runStart = x;
            }
        }
    }

    // Diagonals from top left to bottom right, across a merged range when the range has one.
    for (int r = grid.firstRow; r <= grid.lastRow; ++r) {
        for (int c = grid.left; c <= grid.right; ++c) {
            const PageGrid::Cell& cell = grid.at(r, c);
            const sheet::BorderLine& line = cell.format.edge(xl::DiagonalDown);
            if (!line.present()) continue;
            sheet::Area area = sheet::Area::cell(r, c);
            if (cell.merge >= 0) {
                area = grid.merges[static_cast<size_t>(cell.merge)];
                if (area.top != r || area.left != c) continue;  // drawn from its first cell
            }
            const QRectF rect = layout_.cellRect(area);
            stroke(line, rect.topLeft(), rect.bottomRight());
        }
    }

    // Vertical edges: the left of each column and the right of the last, along page rows.
    for (int c = grid.left; c <= grid.right + 1; ++c) {
        const double x = layout_.columnLeft(c);
        sheet::BorderLine run = none;
        double runStart = 0;
        for (int r = grid.firstRow; r <= grid.lastRow + 1; ++r) {
            sheet::BorderLine line = none;
            if (r <= grid.lastRow) {
                const bool before = c - 1 >= grid.left;
                const bool after = c <= grid.right;
                const bool inside = before && after && grid.sameMerge(r, c - 1, r, c);
                if (!inside) {
                    const sheet::BorderLine& a =
                        before ? grid.at(r, c - 1).format.edge(xl::EdgeRight) : none;
                    const sheet::BorderLine& b =
                        after ? grid.at(r, c).format.edge(xl::EdgeLeft) : none;
                    line = BorderStroke::heavier(a, b);
                }
            }
            const double y = layout_.rowTop(r);
            if (!(line == run)) {
                stroke(run, {x, runStart}, {x, y});
                run = line;
                runStart = y;
            }
        }
    }
}

}  // namespace tombra::render
