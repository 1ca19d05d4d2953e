#include "records/BracketMatches.h"

#include <algorithm>

#include "bracket/RoundConnector.h"
#include "records/TimeTableResults.h"
#include "sheet/Constants.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::records {

namespace xl = sheet::xl;

int HalfView::column(int leftColumn) const {
    return right_ ? 2 * layout_.centre - leftColumn : leftColumn;
}

int HalfView::edge(int leftEdge) const {
    if (!right_) return leftEdge;
    if (leftEdge == xl::EdgeRight) return xl::EdgeLeft;
    if (leftEdge == xl::EdgeLeft) return xl::EdgeRight;
    return leftEdge;
}

bool HalfView::line(int row, int leftColumn, int leftEdge) const {
    if (row < 1) return false;
    const int c = column(leftColumn);
    if (sheet_.format(row, c).edge(edge(leftEdge)).present()) return true;
    // A horizontal edge is drawn on one cell or on the one below; either shows the line.
    switch (leftEdge) {
        case xl::EdgeBottom:
            return sheet_.format(row + 1, c).edge(xl::EdgeTop).present();
        case xl::EdgeTop:
            return row > 1 && sheet_.format(row - 1, c).edge(xl::EdgeBottom).present();
        default:
            // Vertical lines stand on their own column's cell: the neighbour's edge may be
            // the other half's line, across the centre column.
            return false;
    }
}

void HalfView::draw(int row, int leftColumn, int leftEdge, const sheet::BorderChange& line) {
    sheet_.setBorder(sheet::Area::cell(row, column(leftColumn)), edge(leftEdge), line);
}

const BracketMatch* BracketMatches::at(int row, int sheetColumn) const {
    auto it = atCell.find({row, sheetColumn});
    return it == atCell.end() ? nullptr : &matches[it->second];
}

namespace {

// The rows of the vertical line through `row` in the label's column: its incoming lines lie
// just above its top and on its bottom row.
void readVertical(const HalfView& half, BracketMatch& m) {
    for (int start : {m.row, m.row + 1, m.row - 1}) {
        if (!half.line(start, m.column, xl::EdgeRight)) continue;
        int top = start, bottom = start;
        while (half.line(top - 1, m.column, xl::EdgeRight)) --top;
        while (half.line(bottom + 1, m.column, xl::EdgeRight)) ++bottom;
        m.m1 = top - 1;
        m.m2 = bottom;
        return;
    }
}

// The centre column holds both halves' last matches, the left half's vertical line on its
// right edge and the right half's on its left edge. Where both lines pass the label, their
// finals share the column's rows: the left half's label was set first, at its line's
// midpoint, and the right half's moved two rows off it.
bool leftHalfsCentreMatch(sheet::Worksheet& sheet, const BracketLayout& layout,
                          const BracketMatch& label) {
    BracketMatch left = label, right = label;
    left.column = right.column = layout.centre;
    readVertical(HalfView(sheet, layout, false), left);
    readVertical(HalfView(sheet, layout, true), right);
    if (!left.found() || !right.found()) return left.found();
    return label.row == bracket::midpointRow(left.m1, left.m2);
}

}  // namespace

std::vector<int> pageFooterRows(const sheet::Worksheet& sheet, const BracketLayout& layout) {
    std::vector<int> rows;
    const std::optional<sheet::Area> used = sheet.usedArea();
    if (!used) return rows;
    for (int r = 1; r <= used->bottom; ++r)
        if (sheet.text(r, layout.centre).starts_with("─")) rows.push_back(r);
    return rows;
}

BracketMatches findMatches(sheet::Worksheet& sheet, const BracketLayout& layout) {
    BracketMatches out;
    const std::optional<sheet::Area> used = sheet.usedArea();
    if (!used) return out;
    const int lastLine = 2 * layout.centre - layout.firstLine;
    const std::vector<int> footers = pageFooterRows(sheet, layout);
    int page = 1;
    for (int r = 1; r <= used->bottom; ++r) {
        if (r > 1 && std::binary_search(footers.begin(), footers.end(), r - 1)) ++page;
        for (int c = layout.firstLine; c <= lastLine; ++c) {
            const std::string text = sheet.text(r, c);
            if (!isMatchLabel(text)) continue;
            BracketMatch m;
            m.label = text;
            m.ordinal = static_cast<int>(readNumber(text));
            m.row = r;
            m.page = page;
            m.right = c > layout.centre ||
                      (c == layout.centre && !leftHalfsCentreMatch(sheet, layout, m));
            const HalfView half(sheet, layout, m.right);
            m.column = m.right ? 2 * layout.centre - c : c;
            readVertical(half, m);
            out.atCell[{r, c}] = out.matches.size();
            out.matches.push_back(m);
        }
    }
    return out;
}

std::optional<size_t> feederOf(const BracketMatches& matches, sheet::Worksheet& sheet,
                               const BracketLayout& layout, const BracketMatch& match, int row) {
    const HalfView half(sheet, layout, match.right);
    for (int c = match.column - 1; c >= layout.firstLine; --c) {
        if (auto it = matches.atCell.find({row, half.column(c)}); it != matches.atCell.end())
            return it->second;
        if (!half.line(row, c, xl::EdgeBottom)) break;
    }
    return std::nullopt;
}

}  // namespace tombra::records
