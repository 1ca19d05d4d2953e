#include <gtest/gtest.h>

#include "sheet/Palette.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"
#include "sheet/Worksheet.h"
#include "sheet/ZipPackage.h"
#include "support/TestFiles.h"

namespace tombra::sheet {
namespace {

using test::blankWorkbook;

// Saves to bytes and opens again: what a later command (or another program) would see.
std::unique_ptr<Workbook> roundTrip(Workbook& wb) { return Workbook::fromBytes(wb.serialize()); }

TEST(WorksheetValues, EmptyCellsReadAsEmptyTextAndValuesSurviveASave) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    EXPECT_EQ(ws.text(5, 5), "");
    EXPECT_TRUE(ws.value(5, 5).isEmpty());
    ws.setText(1, 1, "山田　太郎");
    ws.setNumber(1, 2, 12.03);
    ws.setNumber(1, 3, -7);
    ws.setText(1, 4, " ");  // a lone blank is a value, not an empty cell
    ws.setText(1, 5, "名前\r\n(第1高校)");
    ws.setText(1, 6, "_x0041_ & <tag>");  // looks like an escape; must stay literal

    auto again = roundTrip(*wb);
    Worksheet& back = again->sheet("Sheet1");
    EXPECT_EQ(back.text(1, 1), "山田　太郎");
    EXPECT_EQ(back.value(1, 2), CellValue::number(12.03));
    EXPECT_EQ(back.text(1, 2), "12.03");
    EXPECT_EQ(back.text(1, 3), "-7");
    EXPECT_EQ(back.text(1, 4), " ");
    EXPECT_EQ(back.text(1, 5), "名前\r\n(第1高校)");
    EXPECT_TRUE(back.format(1, 5).wrapText) << "a text with a line break shows on several lines";
    EXPECT_FALSE(back.format(1, 1).wrapText);
    EXPECT_EQ(back.text(1, 6), "_x0041_ & <tag>");
}

TEST(WorksheetValues, WritingEmptyTextEmptiesTheCellButKeepsItsFormat) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setText(2, 2, "x");
    ws.setFont("B2", FontChange{.bold = true});
    ws.setText(2, 2, "");
    EXPECT_TRUE(ws.value(2, 2).isEmpty());
    EXPECT_TRUE(ws.format(2, 2).font.bold);
}

TEST(WorksheetValues, InvalidTextAndNumbersAreHandledWithoutDamagingTheFile) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setText(1, 1,
               std::string("a\xFF"
                           "b\x01"
                           "c"));  // invalid UTF-8 and a control character
    EXPECT_THROW(ws.setNumber(1, 2, std::numeric_limits<double>::infinity()), WorkbookError);
    EXPECT_THROW(ws.setText(0, 1, "x"), WorkbookError);
    EXPECT_THROW(ws.setText(1, kMaxColumn + 1, "x"), WorkbookError);
    auto again = roundTrip(*wb);
    EXPECT_EQ(again->sheet("Sheet1").text(1, 1),
              "a\xEF\xBF\xBD"
              "b\x01"
              "c");
}

TEST(WorksheetFormats, BorderEdgesFollowTheSpreadsheetsRules) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    // Only the line style: a thin line in the automatic colour.
    ws.setBorder("B2", xl::EdgeLeft, {.lineStyle = xl::Continuous});
    // A weight or a colour alone gives an edge without a line a continuous one.
    ws.setBorder("B2", xl::EdgeTop, {.weight = xl::Thick});
    ws.setBorder("B2", xl::EdgeBottom, {.colorIndex = 25});
    ws.setBorder("B2", xl::EdgeRight, {xl::Continuous, xl::Thin, 3});

    auto again = roundTrip(*wb);
    CellFormat f = again->sheet("Sheet1").format(2, 2);
    EXPECT_EQ(f.edge(xl::EdgeLeft).lineStyle, xl::Continuous);
    EXPECT_EQ(f.edge(xl::EdgeLeft).weight, xl::Thin);
    EXPECT_EQ(f.edge(xl::EdgeTop).weight, xl::Thick);
    EXPECT_EQ(f.edge(xl::EdgeBottom).weight, xl::Thin);
    EXPECT_EQ(f.edge(xl::EdgeBottom).colorIndex, 25);
    EXPECT_EQ(f.edge(xl::EdgeBottom).rgb, 0x000080u) << "25 is navy, not the plum of indexed 25";
    EXPECT_EQ(f.edge(xl::EdgeRight).colorIndex, 3);

    // Changing the weight keeps the colour; line style none removes the edge with its colour.
    ws.setBorder("B2", xl::EdgeRight, {.weight = xl::Thick});
    EXPECT_EQ(ws.format(2, 2).edge(xl::EdgeRight).colorIndex, 3);
    EXPECT_EQ(ws.format(2, 2).edge(xl::EdgeRight).weight, xl::Thick);
    ws.setBorder("B2", xl::EdgeRight, {.lineStyle = xl::LineStyleNone});
    EXPECT_FALSE(ws.format(2, 2).edge(xl::EdgeRight).present());
    EXPECT_TRUE(ws.format(2, 2).edge(xl::EdgeLeft).present());
}

TEST(WorksheetFormats, ARangeEdgeIsItsOuterLineOnly) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setBorder("B2:D4", xl::EdgeBottom, {xl::Continuous, xl::Thin, 1});
    ws.setBorder("B2:D4", xl::EdgeLeft, {xl::Continuous, xl::Thin, 1});
    for (int c = 2; c <= 4; ++c) {
        EXPECT_TRUE(ws.format(4, c).edge(xl::EdgeBottom).present());
        EXPECT_FALSE(ws.format(3, c).edge(xl::EdgeBottom).present());
    }
    for (int r = 2; r <= 4; ++r) {
        EXPECT_TRUE(ws.format(r, 2).edge(xl::EdgeLeft).present());
        EXPECT_FALSE(ws.format(r, 3).edge(xl::EdgeLeft).present());
    }
}

TEST(WorksheetFormats, UnknownConstantsAreRefused) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    EXPECT_THROW(ws.setBorder("A1", 11, {.lineStyle = xl::Continuous}), WorkbookError);
    EXPECT_THROW(ws.setBorder("A1", xl::EdgeTop, {.weight = 3}), WorkbookError);
    EXPECT_THROW(ws.setBorder("A1", xl::EdgeTop, {.colorIndex = 57}), WorkbookError);
    EXPECT_THROW(ws.setHorizontalAlignment("A1", 12345), WorkbookError);
    EXPECT_THROW(ws.setFont("A1", FontChange{.size = 0.0}), WorkbookError);
    EXPECT_THROW(ws.setColumnWidth("A:A", 300), WorkbookError);
}

TEST(WorksheetFormats, FontsAndAlignmentCombineOnOneCell) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setFont("C3", {.name = "MS P明朝", .size = 14.0});
    ws.setFont("C3", {.bold = true, .colorIndex = 5});
    ws.setHorizontalAlignment("C3", xl::HAlignDistributed);
    ws.setVerticalAlignment("C3", xl::VAlignCenter);
    auto again = roundTrip(*wb);
    CellFormat f = again->sheet("Sheet1").format(3, 3);
    EXPECT_EQ(f.font.name, "MS P明朝");
    EXPECT_EQ(f.font.size, 14);
    EXPECT_TRUE(f.font.bold);
    EXPECT_EQ(f.font.colorIndex, 5);
    EXPECT_EQ(f.font.rgb, colorIndexRgb(5));
    EXPECT_EQ(f.horizontal, xl::HAlignDistributed);
    EXPECT_EQ(f.vertical, xl::VAlignCenter);
    ws.setFont("C3", {.bold = false});
    EXPECT_FALSE(ws.format(3, 3).font.bold);
    EXPECT_EQ(ws.format(3, 3).font.name, "MS P明朝");
}

TEST(WorksheetFormats, EqualFormatsShareOneStyleEntry) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setFont("A1:J100", {.name = "MS P明朝", .bold = true});
    std::string once = wb->serialize();
    // Formatting another cell the same way, later, adds no entry.
    ws.setText(1, 12, "x");
    ws.setFont("L1", {.name = "MS P明朝", .bold = true});
    std::string twice = wb->serialize();
    auto countXfs = [](const std::string& package) {
        sheet::ZipPackage p(package);
        std::string styles = p.read("xl/styles.xml");
        size_t at = styles.find("<cellXfs");
        size_t end = styles.find("</cellXfs>");
        size_t n = 0;
        for (size_t i = styles.find("<xf ", at); i < end; i = styles.find("<xf ", i + 1)) ++n;
        return n;
    };
    EXPECT_EQ(countXfs(once), countXfs(twice));
    EXPECT_EQ(countXfs(once), 2u) << "the default and one shared by a thousand cells";
}

TEST(WorksheetFormats, WholeColumnFormatsReachCellsWrittenLater) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setText(4, 14, "before");
    ws.setHorizontalAlignment("n:n", xl::HAlignCenter);
    ws.setText(900, 14, "after");
    auto again = roundTrip(*wb);
    Worksheet& back = again->sheet("Sheet1");
    EXPECT_EQ(back.format(4, 14).horizontal, xl::HAlignCenter);
    EXPECT_EQ(back.format(900, 14).horizontal, xl::HAlignCenter);
    EXPECT_EQ(back.format(50000, 14).horizontal, xl::HAlignCenter) << "an empty cell of the column";
    EXPECT_EQ(back.format(4, 13).horizontal, xl::HAlignGeneral);
}

TEST(WorksheetRanges, ClearRemovesFormatsAndMergesWhileClearContentsKeepsFormats) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setText(1, 1, "a");
    ws.setText(1, 3, "c");
    ws.setFont("A1:C1", {.bold = true});
    ws.merge("D1:E2");
    ws.setText(1, 4, "merged");

    ws.clearContents("C1");
    EXPECT_TRUE(ws.value(1, 3).isEmpty());
    EXPECT_TRUE(ws.format(1, 3).font.bold);
    // Clearing the contents of a part of a merged area clears the area's value.
    ws.clearContents("E2");
    EXPECT_TRUE(ws.value(1, 4).isEmpty());
    EXPECT_EQ(ws.mergedAreas().size(), 1u);

    ws.clear("A:E");
    EXPECT_TRUE(ws.value(1, 1).isEmpty());
    EXPECT_FALSE(ws.format(1, 1).font.bold);
    EXPECT_TRUE(ws.mergedAreas().empty());
}

TEST(WorksheetRanges, ClearingPartOfAFormattedColumnLeavesThoseCellsUnformatted) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setFont("B:B", {.bold = true});
    ws.clear("B2:B3");
    auto again = roundTrip(*wb);
    Worksheet& back = again->sheet("Sheet1");
    EXPECT_TRUE(back.format(1, 2).font.bold);
    EXPECT_FALSE(back.format(2, 2).font.bold);
    EXPECT_FALSE(back.format(3, 2).font.bold);
    EXPECT_TRUE(back.format(4, 2).font.bold);
}

TEST(WorksheetRanges, MergeKeepsTheUpperLeftValueAndAbsorbsOverlappingMerges) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setText(1, 1, "keep");
    ws.setText(2, 2, "dropped");
    ws.merge("A1:B2");
    EXPECT_EQ(ws.text(1, 1), "keep");
    EXPECT_TRUE(ws.value(2, 2).isEmpty());
    ws.merge("B2:C3");  // overlaps: the spreadsheet widens it over the whole merged area
    ASSERT_EQ(ws.mergedAreas().size(), 1u);
    EXPECT_EQ(ws.mergedAreas()[0], (Area{1, 1, 3, 3}));
    ws.merge("E5");  // a single cell is no merge
    EXPECT_EQ(ws.mergedAreas().size(), 1u);
    ws.setMergeCells("C3", false);
    EXPECT_TRUE(ws.mergedAreas().empty());
    ws.setMergeCells("A1:A2,C1:C2", true);
    EXPECT_EQ(ws.mergedAreas().size(), 2u);
}

TEST(WorksheetRanges, DeletingColumnsMovesEverythingToTheRightLeft) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    for (int c = 1; c <= 8; ++c) ws.setText(1, c, std::string(1, static_cast<char>('A' + c - 1)));
    ws.setFont("F1", {.bold = true});
    ws.setColumnWidth("F:F", 3);
    ws.setColumnWidth("G:G", 7);
    ws.merge("F2:G3");  // right of the deletion: moves
    ws.merge("B4:E4");  // spans it: shrinks
    ws.merge("C5:D6");  // inside it: goes
    ws.merge("A7:B7");  // left of it: stays
    ws.deleteColumns("C:D");

    EXPECT_EQ(ws.text(1, 2), "B");
    EXPECT_EQ(ws.text(1, 3), "E");
    EXPECT_EQ(ws.text(1, 4), "F");
    EXPECT_EQ(ws.text(1, 6), "H");
    EXPECT_TRUE(ws.value(1, 7).isEmpty());
    EXPECT_TRUE(ws.format(1, 4).font.bold);
    EXPECT_NEAR(ws.columnWidth(4), 3, 0.01);
    EXPECT_NEAR(ws.columnWidth(5), 7, 0.01);
    std::vector<Area> merges = ws.mergedAreas();
    std::sort(merges.begin(), merges.end(),
              [](const Area& a, const Area& b) { return a.top < b.top; });
    ASSERT_EQ(merges.size(), 3u);
    EXPECT_EQ(merges[0], (Area{2, 4, 3, 5}));
    EXPECT_EQ(merges[1], (Area{4, 2, 4, 3}));
    EXPECT_EQ(merges[2], (Area{7, 1, 7, 2}));

    // Deleting the same column three times, as the bracket writer does.
    ws.deleteColumns("B:B");
    ws.deleteColumns("B:B");
    EXPECT_EQ(ws.text(1, 2), "F");
}

TEST(WorksheetLayout, WidthsHeightsAndPageBreaksSurviveASave) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setColumnWidth("A:B,Z:AA", 5);
    ws.setColumnWidth("C:F", 6);
    ws.setRowHeight("3:4", 27);
    ws.setRowHeight("5:5", 16);
    ws.addPageBreakBefore(40);
    ws.addPageBreakBefore(80);
    ws.addPageBreakBefore(40);  // twice is once
    ws.addPageBreakBefore(1);   // nothing lies before the first row

    auto again = roundTrip(*wb);
    Worksheet& back = again->sheet("Sheet1");
    for (int c : {1, 2, 26, 27}) EXPECT_NEAR(back.columnWidth(c), 5, 0.01) << c;
    for (int c = 3; c <= 6; ++c) EXPECT_NEAR(back.columnWidth(c), 6, 0.01) << c;
    EXPECT_EQ(back.columnFileWidth(3), back.columnFileWidth(6));
    EXPECT_EQ(back.rowHeight(3), 27);
    EXPECT_EQ(back.rowHeight(5), 16);
    EXPECT_EQ(back.pageBreakRows(), (std::vector<int>{40, 80}));
}

TEST(WorksheetLayout, AutoFitFollowsTheWidestTextAndIgnoresMergedCells) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setText(1, 1, "短い");
    ws.setText(2, 2, "とても長い学校の名前です");
    ws.setText(3, 3, "とても長い学校の名前です");
    ws.merge("C3:D3");
    ws.setColumnWidth("D:D", 20);
    ws.autoFitColumns("a:d");
    EXPECT_GT(ws.columnWidth(2), ws.columnWidth(1));
    EXPECT_GT(ws.columnWidth(2), 20);
    EXPECT_LT(ws.columnWidth(3), ws.columnWidth(2)) << "merged cells do not widen a column";
    EXPECT_NEAR(ws.columnWidth(4), ws.columnWidth(5), 0.01)
        << "an empty column returns to the default";
}

TEST(WorksheetRanges, BadRangesAreRefusedWithAMessage) {
    for (const char* bad : {"", "A0", "1A", "A1:", "XFE1", "A1048577", "A1:B2,,C3", "B:3", "あ1"}) {
        try {
            Range r(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const WorkbookError& e) {
            EXPECT_NE(std::string(e.what()).find("範囲"), std::string::npos);
        }
    }
    Range ok("a:f,v:aa");
    ASSERT_EQ(ok.areas().size(), 2u);
    EXPECT_EQ(ok.areas()[1], Area::columns(22, 27));
    EXPECT_EQ(Range("$D$4:d200").areas()[0], (Area{4, 4, 200, 4}));
    EXPECT_EQ(Range("3:5").areas()[0], Area::rows(3, 5));
    for (int c : {1, 26, 27, 52, 53, 702, 703, kMaxColumn})
        EXPECT_EQ(columnNumber(columnName(c)), c);
}

}  // namespace
}  // namespace tombra::sheet

namespace tombra::sheet {
namespace {

TEST(WorksheetFormats, WholeSheetBordersReachEveryCellAndGoAllAtOnce) {
    auto wb = test::blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setText(3, 3, "x");
    ws.setBorder("C3", xl::EdgeTop, {xl::Continuous, xl::Thick, 25});
    ws.setAllBorders(Area::wholeSheet(), {.lineStyle = xl::LineStyleNone});
    for (int edge : {xl::EdgeLeft, xl::EdgeTop, xl::EdgeBottom, xl::EdgeRight})
        EXPECT_FALSE(ws.format(3, 3).edge(edge).present());
    EXPECT_EQ(ws.text(3, 3), "x");

    ws.setAllBorders("B2:C3", {xl::Continuous, xl::Thin, 1});
    for (int r = 2; r <= 3; ++r)
        for (int c = 2; c <= 3; ++c)
            for (int edge : {xl::EdgeLeft, xl::EdgeTop, xl::EdgeBottom, xl::EdgeRight})
                EXPECT_TRUE(ws.format(r, c).edge(edge).present()) << r << "," << c << ":" << edge;
    EXPECT_FALSE(ws.format(4, 2).edge(xl::EdgeTop).present());
}

}  // namespace
}  // namespace tombra::sheet

namespace tombra::sheet {
namespace {

// The page setup a sheet is given reads back after a save.
TEST(WorksheetPageSetup, WhatIsSetReadsBackAfterASave) {
    auto wb = test::blankWorkbook();
    Worksheet& ws = wb->addSheet("ヤグラ");
    EXPECT_EQ(ws.pageSetup(), PageSetup{.paperSize = 9});  // a new sheet's own
    PageSetup setup{.paperSize = 8,
                    .landscape = true,
                    .scale = 57,
                    .fitToPage = true,
                    .fitToWidth = 1,
                    .fitToHeight = 0,
                    .margins = {0.5, 0.5, 0.6, 0.6, 0.2, 0.2}};
    ws.setPageSetup(setup);
    auto again = Workbook::fromBytes(wb->serialize());
    EXPECT_EQ(again->sheet("ヤグラ").pageSetup(), setup);
}

}  // namespace
}  // namespace tombra::sheet
