#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "render/BorderStroke.h"
#include "render/SheetRenderer.h"

namespace tombra::render {
namespace {

using sheet::Area;
namespace xl = sheet::xl;

constexpr double kDpi = 144;  // two pixels to the point

const sheet::BorderChange kThinBlack{xl::Continuous, xl::Thin, 1};
const sheet::BorderChange kThickNavy{xl::Continuous, xl::Thick, 25};
const sheet::BorderChange kThickRed{xl::Continuous, xl::Thick, 3};

class BorderPainting : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ensureGuiApplication();
        book = test::blankBook();
        ws = &book->sheet("Sheet1");
        ws->setColumnWidth("A:J", 8.43);
    }
    void outline(const char* range, const sheet::BorderChange& line) {
        for (int edge : {xl::EdgeLeft, xl::EdgeTop, xl::EdgeBottom, xl::EdgeRight})
            ws->setBorder(range, edge, line);
    }
    QImage render(const PageSettings& settings = test::unscaledA4()) {
        renderer = std::make_unique<SheetRenderer>(*ws, settings);
        return renderer->renderPage(0, kDpi);
    }
    QRectF cells(const char* range) {
        return test::pixelRectOfCells(*renderer, 0, sheet::parseCellReference(range), kDpi);
    }
    QRectF cells(const Area& area) { return test::pixelRectOfCells(*renderer, 0, area, kDpi); }
    // A band `half` pixels either side of a horizontal edge, not reaching the corners.
    static QRectF alongBottom(const QRectF& r, double half = 6) {
        return QRectF(r.left() + 6, r.bottom() - half, r.width() - 12, 2 * half);
    }
    static QRectF alongTop(const QRectF& r, double half = 6) {
        return QRectF(r.left() + 6, r.top() - half, r.width() - 12, 2 * half);
    }
    static QRectF alongLeft(const QRectF& r, double half = 6) {
        return QRectF(r.left() - half, r.top() + 6, 2 * half, r.height() - 12);
    }
    static QRectF inside(const QRectF& r) { return r.adjusted(6, 6, -6, -6); }

    std::unique_ptr<sheet::Workbook> book;
    sheet::Worksheet* ws = nullptr;
    std::unique_ptr<SheetRenderer> renderer;
};

TEST_F(BorderPainting, AThickNavyBottomEdgeIsANavyBandAlongTheCellsAndNothingElse) {
    ws->setBorder("B6:C6", xl::EdgeBottom, kThickNavy);
    outline("B2:D4", kThinBlack);
    ws->setText(8, 5, "end");  // print area B2:E8
    const QImage image = render();
    test::keepSample(image, "borders.png");

    const QRectF b6c6 = QRectF(cells("B6")).united(cells("C6"));
    const test::Ink navy = test::inkIn(image, alongBottom(b6c6), test::isNavy);
    ASSERT_GT(navy.count, 0);
    EXPECT_LE(navy.bounds.left(), b6c6.left() + 7) << "the line runs the whole width";
    EXPECT_GE(navy.bounds.right(), b6c6.right() - 7);
    const int thick = test::rowsWithInk(image, alongBottom(b6c6), test::isNavy);
    EXPECT_GE(thick, 4) << "2.25 points at 144 dpi";
    EXPECT_LE(thick, 6);
    EXPECT_EQ(test::inkIn(image, inside(b6c6)).count, 0) << "nothing inside the cells";
    EXPECT_EQ(test::inkIn(image, alongTop(b6c6)).count, 0) << "no top edge";
    EXPECT_EQ(test::inkIn(image, alongBottom(cells("D6"))).count, 0) << "D6 has no line";
    EXPECT_EQ(test::inkIn(image, alongLeft(b6c6)).count, 0) << "no left edge";

    // The thin black box: much thinner than the thick line, and black.
    const QRectF box = cells(Area{2, 2, 4, 4});
    const int thin = test::rowsWithInk(image, alongTop(box), test::isDark);
    EXPECT_GE(thin, 1);
    EXPECT_LE(thin, 3);
    EXPECT_GE(thick, thin + 2) << "thick must look clearly thicker than thin";
    EXPECT_EQ(test::inkIn(image, alongTop(box), test::isNavy).count, 0);
}

TEST_F(BorderPainting, AnOutlineHasNoInnerLinesAndNoGridlinesArePrinted) {
    outline("B2:D4", kThinBlack);
    ws->setText(6, 2, "a");
    ws->setText(6, 3, "b");
    ws->setText(7, 2, "c");
    ws->setText(7, 3, "d");
    const QImage image = render();

    const QRectF box = cells(Area{2, 2, 4, 4});
    for (const QRectF& edge : {alongTop(box), alongBottom(box), alongLeft(box),
                               QRectF(box.right() - 6, box.top() + 6, 12, box.height() - 12)}) {
        const QRectF line = edge.adjusted(0, 0, 0, 0);
        const bool horizontal = line.width() > line.height();
        const int covered = horizontal ? test::inkIn(image, line, test::isDark).bounds.width()
                                       : test::inkIn(image, line, test::isDark).bounds.height();
        EXPECT_GE(covered, (horizontal ? line.width() : line.height()) - 2)
            << "an outline edge runs its whole length";
    }
    // Inside the box: no line between B and C, nor between rows 2 and 3.
    const QRectF b2 = cells("B2");
    EXPECT_EQ(test::inkIn(image, QRectF(b2.right() - 3, box.top() + 6, 6, box.height() - 12)).count,
              0);
    EXPECT_EQ(
        test::inkIn(image, QRectF(box.left() + 6, b2.bottom() - 3, box.width() - 12, 6)).count, 0);

    // Cells with values and no borders: no line between them.
    const QRectF b6 = cells("B6"), c6 = cells("C6");
    EXPECT_EQ(test::inkIn(image, QRectF(b6.right() - 1, b6.top(), 2, 2 * b6.height())).count, 0);
    EXPECT_EQ(
        test::inkIn(image, QRectF(b6.left(), b6.bottom() - 1, b6.width() + c6.width(), 2)).count,
        0);
}

TEST_F(BorderPainting, WhereTwoCellsShareAnEdgeTheHeavierLineWins) {
    ws->setBorder("F2", xl::EdgeBottom, kThinBlack);
    ws->setBorder("F3", xl::EdgeTop, kThickNavy);
    ws->setBorder("F5", xl::EdgeBottom, kThickRed);
    ws->setBorder("F6", xl::EdgeTop, kThinBlack);
    ws->setBorder("H3", xl::EdgeRight, kThickNavy);
    ws->setBorder("I3", xl::EdgeLeft, kThinBlack);
    const QImage image = render();

    const QRectF f2 = cells("F2");
    EXPECT_GE(test::rowsWithInk(image, alongBottom(f2), test::isNavy), 4) << "F3's thick top";
    const QRectF f5 = cells("F5");
    EXPECT_GE(test::rowsWithInk(image, alongBottom(f5), test::isRed), 4) << "F5's thick bottom";
    const QRectF h3 = cells("H3");
    const QRectF between(h3.right() - 6, h3.top() + 3, 12, h3.height() - 6);
    EXPECT_GE(test::inkIn(image, between, test::isNavy).bounds.width() + 1, 4);
    EXPECT_EQ(
        test::inkIn(image, between, [](QRgb p) { return test::isDark(p) && !test::isNavy(p); })
            .count,
        0)
        << "the thin black line is not drawn over the navy one";

    EXPECT_EQ(BorderStroke::heavier({xl::Continuous, xl::Thin, 1, 0},
                                    {xl::Continuous, xl::Medium, 3, 0xFF0000})
                  .weight,
              xl::Medium);
    EXPECT_EQ(
        BorderStroke::heavier({xl::Dot, xl::Thin, 1, 0}, {xl::Continuous, xl::Thin, 3, 0xFF0000})
            .lineStyle,
        xl::Continuous);
    EXPECT_EQ(BorderStroke::heavier({}, {xl::Continuous, xl::Hairline, 1, 0}).lineStyle,
              xl::Continuous);
}

TEST_F(BorderPainting, MergedRangesHaveNoInnerEdgesAndDashedLinesAreBroken) {
    ws->setText(8, 2, "merged");
    ws->merge("B8:D8");
    ws->setAllBorders("B8:D8", kThinBlack);
    ws->setColumnWidth("F:F", 30);
    ws->setBorder("F8", xl::EdgeBottom, {xl::Dash, xl::Thin, 1});
    ws->setBorder("F10", xl::EdgeBottom, kThinBlack);
    const QImage image = render();

    const QRectF merged = cells(Area{8, 2, 8, 4});
    const QRectF b8 = cells("B8"), c8 = cells("C8");
    EXPECT_EQ(test::inkIn(image, QRectF(b8.right() - 2, b8.top() + 3, 4, b8.height() - 6)).count, 0)
        << "no line between B8 and C8 inside the merge";
    EXPECT_EQ(test::inkIn(image, QRectF(c8.right() - 2, c8.top() + 3, 4, c8.height() - 6)).count,
              0);
    EXPECT_GT(test::inkIn(image, alongLeft(merged), test::isDark).count, 10);
    EXPECT_GT(test::inkIn(image, alongBottom(merged), test::isDark).count, 10);
    EXPECT_GT(
        test::inkIn(image, QRectF(merged.right() - 3, merged.top() + 6, 6, merged.height() - 12),
                    test::isDark)
            .count,
        10);

    // Along the middle of a line: a solid one is ink all the way, a dashed one keeps breaking.
    auto breaks = [&](const QRectF& cell) {
        int best = 0;
        for (int y = static_cast<int>(cell.bottom()) - 2; y <= static_cast<int>(cell.bottom()) + 2;
             ++y) {
            int changes = 0;
            bool was = false;
            for (int x = static_cast<int>(cell.left()) + 4; x < static_cast<int>(cell.right()) - 4;
                 ++x) {
                const bool ink = test::isInk(image.pixel(x, y));
                if (ink != was) ++changes;
                was = ink;
            }
            if (test::inkIn(image, QRectF(cell.left() + 4, y, cell.width() - 8, 1)).count > 0)
                best = best == 0 ? changes : std::min(best, changes);
        }
        return best;
    };
    EXPECT_GE(breaks(cells("F8")), 20) << "dashes";
    EXPECT_LE(breaks(cells("F10")), 2) << "solid";
}

// A league table crosses out each member's own cell from top left to bottom right, once
// across a merged range.
TEST_F(BorderPainting, TheDownDiagonalCrossesTheCellFromTopLeftToBottomRight) {
    ws->setRowHeight("2:3", 30);
    ws->setText(5, 5, "x");
    ws->setBorder("B2", xl::DiagonalDown, kThinBlack);
    ws->merge("C2:D3");
    ws->setBorder("C2:D3", xl::DiagonalDown, kThinBlack);
    const QImage image = render();
    for (const QRectF cell : {cells("B2"), cells(Area{2, 3, 3, 4})}) {
        auto inkAt = [&](double fx, double fy) {
            const QPointF p(cell.left() + fx * cell.width(), cell.top() + fy * cell.height());
            return test::inkIn(image, QRectF(p - QPointF(3, 3), QSizeF(6, 6)), test::isDark).count;
        };
        EXPECT_GT(inkAt(0.25, 0.25), 0);
        EXPECT_GT(inkAt(0.5, 0.5), 0);
        EXPECT_GT(inkAt(0.75, 0.75), 0);
        EXPECT_EQ(inkAt(0.75, 0.25), 0) << "not the other diagonal";
        EXPECT_EQ(inkAt(0.25, 0.75), 0);
    }
}

TEST_F(BorderPainting, LinesKeepTheirWidthOnPaperWhenTheSheetIsScaled) {
    ws->setBorder("B3:C3", xl::EdgeBottom, kThickNavy);
    ws->setBorder("B5:C5", xl::EdgeBottom, kThinBlack);
    ws->setText(6, 4, "x");            // B3:D6
    ws->setPageSetup({.scale = 250});  // enlarged well over twice on paper
    const QImage image = render(PageSettings{});
    ASSERT_GT(renderer->layout().scale(), 2.0);

    const QRectF b3c3 = QRectF(cells("B3")).united(cells("C3"));
    const int thick = test::rowsWithInk(image, alongBottom(b3c3, 10), test::isNavy);
    EXPECT_GE(thick, 4);
    EXPECT_LE(thick, 6) << "2.25 points on paper, not 2.25 points of the sheet";
    const test::Ink navy = test::inkIn(image, alongBottom(b3c3, 10), test::isNavy);
    EXPECT_LE(navy.bounds.left(), b3c3.left() + 7) << "the line follows the scaled cells";
    EXPECT_GE(navy.bounds.right(), b3c3.right() - 7);
    const QRectF b5 = cells("B5");
    EXPECT_LE(test::rowsWithInk(image, alongBottom(b5, 10), test::isDark), 3);
}

}  // namespace
}  // namespace tombra::render
