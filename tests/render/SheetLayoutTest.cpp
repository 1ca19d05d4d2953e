#include <gtest/gtest.h>

#include <cmath>

#include "RenderTestSupport.h"
#include "render/SheetLayout.h"

namespace tombra::render {
namespace {

using sheet::Area;
namespace xl = sheet::xl;

QSizeF printable(const PageSettings& settings) { return settings.printableRectPoints().size(); }

// Rows 1..n of column A hold a text: a sheet n default rows tall (15 pt in Calibri 11).
void fillRows(sheet::Worksheet& ws, int n) {
    for (int r = 1; r <= n; ++r) ws.setText(r, 1, "row " + std::to_string(r));
}

TEST(SheetLayoutGrid, ColumnWidthsAndRowHeightsFollowTheSheetAndHiddenOnesTakeNoSpace) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    ws.setText(2, 2, "top left");
    ws.setText(6, 6, "bottom right");
    ws.setColumnWidth("B:B", 3);     // 26 px
    ws.setColumnWidth("C:C", 8.43);  // 64 px
    ws.setColumnWidth("D:D", 0);     // hidden
    ws.setColumnWidth("E:E", 20);    // 145 px
    ws.setColumnWidth("F:F", 8.43);
    ws.setRowHeight("3:3", 27);
    ws.setRowHeight("4:4", 0);  // hidden
    ws.setRowHeight("6:6", 40.5);

    const SheetLayout layout(ws, printable(test::unscaledA4()));
    ASSERT_FALSE(layout.empty());
    EXPECT_EQ(layout.printArea(), (Area{2, 2, 6, 6})) << "the used area, not from A1";

    EXPECT_DOUBLE_EQ(layout.columnLeft(2), 0);
    EXPECT_DOUBLE_EQ(layout.columnWidth(2), 19.5);
    EXPECT_DOUBLE_EQ(layout.columnWidth(3), 48);
    EXPECT_DOUBLE_EQ(layout.columnWidth(4), 0);
    EXPECT_DOUBLE_EQ(layout.columnLeft(5), 67.5);
    EXPECT_DOUBLE_EQ(layout.columnWidth(5), 108.75);
    EXPECT_DOUBLE_EQ(layout.totalWidth(), 19.5 + 48 + 108.75 + 48);
    EXPECT_DOUBLE_EQ(layout.columnWidth(1), 0) << "left of the print area";
    EXPECT_DOUBLE_EQ(layout.columnWidth(7), 0) << "right of the print area";

    EXPECT_DOUBLE_EQ(layout.rowTop(2), 0);
    EXPECT_DOUBLE_EQ(layout.rowHeight(2), 15);
    EXPECT_DOUBLE_EQ(layout.rowHeight(3), 27);
    EXPECT_DOUBLE_EQ(layout.rowHeight(4), 0);
    EXPECT_DOUBLE_EQ(layout.rowTop(5), 42);
    EXPECT_DOUBLE_EQ(layout.rowHeight(6), 40.5);
    EXPECT_EQ(layout.cellRect(Area{3, 3, 5, 5}), QRectF(19.5, 15, 48 + 108.75, 27 + 15));
    EXPECT_EQ(layout.pageCount(), 1);
}

// Without a scale of its own a sheet prints at 100 %, as spreadsheet programs print it: a
// narrow sheet is not enlarged, a wide one goes on pages of further columns.
TEST(SheetLayoutScale, ASheetWithoutAScaleOfItsOwnPrintsAtFullSize) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    ws.setText(1, 1, "a");
    ws.setText(1, 25, "y");  // A..Y: 25 columns of 8.43 characters, 1200 points
    ws.setColumnWidth("A:Y", 8.43);

    const PageSettings a4;  // portrait, 0.7" side margins
    const SheetLayout wide(ws, printable(a4));
    EXPECT_DOUBLE_EQ(wide.scale(), 1.0);
    EXPECT_EQ(wide.columnBands().size(), 3u) << "494.6 points hold ten columns of 48";

    PageSettings landscape;
    landscape.orientation = QPageLayout::Landscape;
    EXPECT_EQ(SheetLayout(ws, printable(landscape)).columnBands().size(), 2u);

    ws.clear("C1:Y1");
    ws.setText(1, 2, "b");  // A..B: 96 points
    const SheetLayout narrow(ws, printable(a4));
    EXPECT_DOUBLE_EQ(narrow.scale(), 1.0) << "a narrow sheet is not enlarged";
    EXPECT_EQ(narrow.pageCount(), 1);
}

// What the sheet's own page setup asks for: a scale of its own, or fit to pages as
// spreadsheet programs fit (never enlarged, the largest scale that takes no more pages).
TEST(SheetLayoutScale, TheSheetsOwnScaleAndFitToPagesAreHonoured) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    fillRows(ws, 200);  // 3,000 points tall, 48 wide
    ws.setColumnWidth("A:A", 8.43);
    const QSizeF a4 = printable(test::unscaledA4());
    struct Case {
        sheet::PageSetup setup;
        double scale;  // 0: checked by pages only
        int pages;
    };
    const Case cases[] = {
        {{.scale = 50}, 0.5, static_cast<int>(std::ceil(1500 / a4.height()))},
        {{.fitToPage = true, .fitToWidth = 1, .fitToHeight = 0},
         1.0,
         static_cast<int>(std::ceil(3000 / a4.height()))},
        {{.fitToPage = true, .fitToWidth = 1, .fitToHeight = 2}, 0, 2},
        {{.fitToPage = true, .fitToWidth = 1, .fitToHeight = 1}, 0, 1},
    };
    for (const Case& c : cases) {
        ws.setPageSetup(c.setup);
        const SheetLayout layout(ws, a4);
        EXPECT_EQ(layout.pageCount(), c.pages) << c.setup.scale << " " << c.setup.fitToHeight;
        if (c.scale > 0) EXPECT_DOUBLE_EQ(layout.scale(), c.scale);
        // Fitting into fewer pages shrinks no more than it must.
        if (c.scale == 0)
            EXPECT_GT(layout.scale(), 0.99 * c.pages * a4.height() / 3000 - 0.02)
                << c.setup.fitToHeight;
    }
}

// A sheet wider than the paper at its own scale is split into bands of whole columns, printed
// down the sheet first and then over; fitting to two pages across scales it into two bands.
TEST(SheetLayoutPages, ColumnsBeyondThePaperGoToPagesOfTheirOwnDownThenOver) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    for (int c = 1; c <= 25; ++c) ws.setText(1, c, "x");  // 25 columns of 48 points
    ws.setText(80, 1, "x");                               // 80 rows of 15 points
    ws.setColumnWidth("A:Y", 8.43);
    const QSizeF a4 = printable(test::unscaledA4());  // 494.6 by 733.9 points
    using Columns = SheetLayout::Columns;

    ws.setPageSetup({.scale = 99});
    const SheetLayout own(ws, a4);
    const int across = static_cast<int>(a4.width() / (48 * 0.99));  // whole columns a page holds
    ASSERT_EQ(own.columnBands().front(), (Columns{1, across}));
    EXPECT_EQ(own.columnBands().size(), static_cast<size_t>((25 + across - 1) / across));
    EXPECT_EQ(own.pageCount(), static_cast<int>(own.pages().size() * own.columnBands().size()));
    EXPECT_EQ(own.pageColumns(1), (Columns{1, across})) << "down first";
    EXPECT_EQ(own.pageRows(static_cast<int>(own.pages().size())).firstRow, 1) << "then over";

    ws.setPageSetup({.fitToPage = true, .fitToWidth = 2, .fitToHeight = 0});
    const SheetLayout two(ws, a4);
    EXPECT_EQ(two.columnBands().size(), 2u);
    EXPECT_LE(two.scale(), 2 * a4.width() / 1200);
    EXPECT_GT(two.scale(), 2 * a4.width() / 1200 - 0.05) << "no smaller than it must be";
}

TEST(SheetLayoutPages, ManualBreaksStartNewPagesAndBreaksOutsideThePrintAreaDoNothing) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    fillRows(ws, 30);
    ws.setColumnWidth("A:A", 8.43);  // 48 points
    ws.addPageBreakBefore(10);
    ws.addPageBreakBefore(20);
    ws.addPageBreakBefore(45);

    const SheetLayout layout(ws, printable(test::unscaledA4()));
    const std::vector<PageRows> expected{{1, 9, false}, {10, 19, true}, {20, 30, true}};
    EXPECT_EQ(layout.pages(), expected);
    EXPECT_EQ(layout.pageRect(1), QRectF(0, 9 * 15, 48, 10 * 15)) << "rows 10..19";
}

TEST(SheetLayoutPages, SegmentsTallerThanThePaperBreakAtRowBoundaries) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    fillRows(ws, 100);
    ws.addPageBreakBefore(60);

    // Unscaled, 733.9 points of paper hold 48 rows of 15 points.
    const SheetLayout unscaled(ws, printable(test::unscaledA4()));
    const std::vector<PageRows> expected{{1, 48, false}, {49, 59, false}, {60, 100, true}};
    EXPECT_EQ(unscaled.pages(), expected);

    // Enlarged by the sheet's own scale, fewer rows fit; every page is as full as it can be.
    const PageSettings a4;
    ws.setPageSetup({.scale = 170});
    const SheetLayout scaled(ws, printable(a4));
    ASSERT_GT(scaled.scale(), 1.5);
    const double paperHeight = printable(a4).height();
    int expectedFirst = 1;
    for (int i = 0; i < scaled.pageCount(); ++i) {
        const PageRows& p = scaled.pages()[static_cast<size_t>(i)];
        EXPECT_EQ(p.firstRow, expectedFirst) << "page " << i;
        EXPECT_EQ(p.manualBreakBefore, p.firstRow == 60) << "page " << i;
        const double height = scaled.pageRect(i).height() * scaled.scale();
        EXPECT_LE(height, paperHeight + 1e-6) << "page " << i;
        const bool segmentEnds = p.lastRow == 59 || p.lastRow == 100;
        if (!segmentEnds) {
            EXPECT_GT(height + scaled.rowHeight(p.lastRow + 1) * scaled.scale(), paperHeight)
                << "page " << i << " could have held another row";
        }
        expectedFirst = p.lastRow + 1;
    }
    EXPECT_EQ(expectedFirst, 101) << "every row is on a page";
    EXPECT_GT(scaled.pageCount(), 3);
}

TEST(SheetLayoutPages, AutomaticBreaksMoveAboveMergedRangesUnlessARangeIsTallerThanAPage) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    fillRows(ws, 100);
    ws.merge("B47:B50");  // the break before row 49 would cut it

    const SheetLayout layout(ws, printable(test::unscaledA4()));
    ASSERT_GE(layout.pageCount(), 2);
    EXPECT_EQ(layout.pages()[0], (PageRows{1, 46, false}));
    EXPECT_EQ(layout.pages()[1].firstRow, 47);
    EXPECT_EQ(layout.pages()[1].lastRow, 94);

    auto other = test::blankBook();
    auto& tall = other->sheet("Sheet1");
    fillRows(tall, 100);
    tall.merge("B2:B80");
    const SheetLayout cut(tall, printable(test::unscaledA4()));
    ASSERT_GE(cut.pageCount(), 2);
    EXPECT_EQ(cut.pages()[0], (PageRows{1, 48, false})) << "no way around it: cut the range";
}

TEST(SheetLayoutPages, AnEmptySheetHasNoPagesAndHiddenRowsTakeNoPaper) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    EXPECT_TRUE(SheetLayout(ws, printable(test::unscaledA4())).empty());
    EXPECT_EQ(SheetLayout(ws, printable(test::unscaledA4())).pageCount(), 0);

    fillRows(ws, 60);
    ws.setRowHeight("10:21", 0);  // 12 hidden rows: 48 visible ones fill one page
    const SheetLayout layout(ws, printable(test::unscaledA4()));
    EXPECT_EQ(layout.pageCount(), 1);
}

}  // namespace
}  // namespace tombra::render
