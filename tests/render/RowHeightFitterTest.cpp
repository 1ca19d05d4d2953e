#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "render/RowHeightFitter.h"
#include "render/SheetLayout.h"

namespace tombra::render {
namespace {

namespace xl = sheet::xl;

class RowHeightFitting : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ensureGuiApplication();
        book = test::blankBook();
        ws = &book->sheet("Sheet1");
        ws->setColumnWidth("A:D", 8.43);
        for (int r = 1; r <= 8; ++r) ws->setText(r, 1, "x");
    }
    SheetLayout fitted() {
        RowHeightFitter fitter(*ws);
        return SheetLayout(*ws, test::unscaledA4().printableRectPoints().size(), &fitter);
    }
    std::unique_ptr<sheet::Workbook> book;
    sheet::Worksheet* ws = nullptr;
};

TEST_F(RowHeightFitting, RowsAtTheDefaultHeightGrowForLargeFontsLinesAndWrappedText) {
    ws->setText(2, 2, "大会");
    ws->setFont("B2", {.size = 22});
    ws->setText(3, 2, "一行目\n二行目\n三行目");
    ws->setText(4, 2, "山田 太郎 鈴木 一郎 佐藤 花子 高橋 健");
    ws->setAlignment("B4", {.wrapText = true});
    ws->setText(5, 2, "山田 太郎 鈴木 一郎 佐藤 花子 高橋 健");  // not wrapped: one line
    const SheetLayout layout = fitted();

    EXPECT_DOUBLE_EQ(layout.rowHeight(1), 15) << "an ordinary row keeps its height";
    EXPECT_GE(layout.rowHeight(2), 22 + 1.5);
    EXPECT_LE(layout.rowHeight(2), 22 * 1.5);
    EXPECT_GE(layout.rowHeight(3), 3 * 11);
    EXPECT_LE(layout.rowHeight(3), 3 * 15 + 3);
    EXPECT_GE(layout.rowHeight(4), 3 * 11) << "wrapped into several lines of a 48-point column";
    EXPECT_DOUBLE_EQ(layout.rowHeight(5), 15);
    EXPECT_DOUBLE_EQ(layout.rowHeight(2) * 4, std::round(layout.rowHeight(2) * 4))
        << "quarter points, like the spreadsheet";
}

TEST_F(RowHeightFitting, RowsGivenAHeightAndTallMergedRangesKeepTheirHeight) {
    ws->setRowHeight("2:2", 20);
    ws->setText(2, 2, "一行目\n二行目\n三行目");
    ws->setText(4, 2, "一行目\n二行目\n三行目");
    ws->merge("B4:B6");
    ws->setText(7, 2, "大会");
    ws->setFont("B7", {.size = 22});
    ws->merge("B7:D7");  // one row high: its font still counts
    const SheetLayout layout = fitted();

    EXPECT_DOUBLE_EQ(layout.rowHeight(2), 20);
    EXPECT_DOUBLE_EQ(layout.rowHeight(4), 15);
    EXPECT_DOUBLE_EQ(layout.rowHeight(5), 15);
    EXPECT_GE(layout.rowHeight(7), 22 + 1.5);
}

TEST_F(RowHeightFitting, GrownRowsPushLaterRowsToTheNextPage) {
    for (int r = 1; r <= 48; ++r) ws->setText(r, 1, "x");  // 48 rows fill a page exactly
    EXPECT_EQ(SheetLayout(*ws, test::unscaledA4().printableRectPoints().size()).pageCount(), 1);
    ws->setText(10, 2, "一行目\n二行目\n三行目");
    EXPECT_EQ(fitted().pageCount(), 2);
}

}  // namespace
}  // namespace tombra::render
