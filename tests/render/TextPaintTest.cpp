#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "render/SheetRenderer.h"

namespace tombra::render {
namespace {

using sheet::Area;
namespace xl = sheet::xl;

constexpr double kDpi = 144;  // two pixels to the point
const std::string kGothic = "ＭＳ Ｐゴシック";

class TextPainting : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ensureGuiApplication();
        book = test::blankBook();
        ws = &book->sheet("Sheet1");
        ws->setColumnWidth("A:Z", 10);
    }
    QImage render() {
        renderer = std::make_unique<SheetRenderer>(*ws, test::unscaledA4());
        return renderer->renderPage(0, kDpi);
    }
    QRectF cells(const char* range) {
        return test::pixelRectOfCells(*renderer, 0, sheet::parseCellReference(range), kDpi);
    }
    QRectF cells(const Area& area) { return test::pixelRectOfCells(*renderer, 0, area, kDpi); }
    // Ink strictly inside a cell, clear of its edges.
    test::Ink inkOf(const QImage& image, const QRectF& cell,
                    const test::PixelTest& t = test::isInk) {
        return test::inkIn(image, cell.adjusted(1, 1, -1, -1), t);
    }

    std::unique_ptr<sheet::Workbook> book;
    sheet::Worksheet* ws = nullptr;
    std::unique_ptr<SheetRenderer> renderer;
};

// Runs of rows holding ink: the lines of text in a cell.
int textLines(const QImage& image, const QRectF& area) {
    int lines = 0;
    bool previous = false;
    for (int y = static_cast<int>(area.top()); y < static_cast<int>(area.bottom()); ++y) {
        const bool ink = test::inkIn(image, QRectF(area.left(), y, area.width(), 1)).count > 0;
        if (ink && !previous) ++lines;
        previous = ink;
    }
    return lines;
}

TEST_F(TextPainting, AMergedRangeShowsItsTextOnceCentredAcrossTheWholeRange) {
    ws->setText(2, 2, "ABC");
    ws->merge("B2:E2");
    ws->setHorizontalAlignment("B2", xl::HAlignCenter);
    ws->setText(4, 2, "ABC");  // the same text in one cell, for comparison
    ws->setHorizontalAlignment("B4", xl::HAlignCenter);
    const QImage image = render();

    const QRectF merged = cells(Area{2, 2, 2, 5});
    const test::Ink ink = inkOf(image, merged);
    const test::Ink single = inkOf(image, cells("B4"));
    ASSERT_GT(single.count, 20);
    EXPECT_NEAR(ink.bounds.center().x(), merged.center().x(), 3) << "centred on the range";
    EXPECT_NEAR(ink.count, single.count, single.count / 10) << "painted once";
    EXPECT_NEAR(ink.bounds.width(), single.bounds.width(), 1);
}

TEST_F(TextPainting, HorizontalAlignmentPutsTextWhereTheSpreadsheetDoes) {
    ws->setNumber(2, 2, 123);  // general number: right
    ws->setText(2, 3, "abc");  // general text: left
    ws->setText(2, 4, "abc");
    ws->setHorizontalAlignment("D2", xl::HAlignRight);
    ws->setText(2, 5, "abc");
    ws->setHorizontalAlignment("E2", xl::HAlignCenter);
    ws->setNumber(2, 6, 7);
    ws->setHorizontalAlignment("F2", xl::HAlignLeft);
    const QImage image = render();

    const QRectF b2 = cells("B2"), c2 = cells("C2"), d2 = cells("D2"), e2 = cells("E2"),
                 f2 = cells("F2");
    const test::Ink number = inkOf(image, b2), text = inkOf(image, c2), right = inkOf(image, d2),
                    centre = inkOf(image, e2), leftNumber = inkOf(image, f2);
    ASSERT_GT(number.count, 0);
    ASSERT_GT(text.count, 0);
    EXPECT_NEAR(number.bounds.right(), b2.right() - 3, 3);
    EXPECT_GT(number.bounds.left(), b2.center().x());
    EXPECT_NEAR(text.bounds.left(), c2.left() + 3, 3);
    EXPECT_LT(text.bounds.right(), c2.center().x());
    EXPECT_NEAR(right.bounds.right(), d2.right() - 3, 3);
    EXPECT_NEAR(centre.bounds.center().x(), e2.center().x(), 2);
    EXPECT_NEAR(leftNumber.bounds.left(), f2.left() + 3, 3);
}

TEST_F(TextPainting, VerticalAlignmentAndLineBreaks) {
    ws->setRowHeight("2:2", 60);
    const std::vector<std::pair<int, int>> vertical{{2, xl::VAlignTop},
                                                    {3, xl::VAlignCenter},
                                                    {4, xl::VAlignBottom},
                                                    {5, xl::VAlignDistributed}};
    for (auto [column, v] : vertical) {
        ws->setText(2, column, "Ab");
        ws->setVerticalAlignment(Area::cell(2, column), v);
    }
    ws->setText(2, 6, "Ab\nCd");
    ws->setVerticalAlignment("F2", xl::VAlignDistributed);
    // One column, rows of whole pixels: the cells' images can be compared pixel by pixel.
    ws->setRowHeight("4:7", 45);
    ws->setText(4, 2, "AB\r\nCD");
    ws->setText(5, 2, "AB\nCD");
    ws->setText(6, 2, "AB\rCD");
    ws->setText(7, 2, "ABCD");
    const QImage image = render();

    const QRectF top = cells("B2"), middle = cells("C2"), bottom = cells("D2");
    const double third = top.height() / 3;
    EXPECT_LT(inkOf(image, top).bounds.bottom(), top.top() + third);
    EXPECT_NEAR(inkOf(image, middle).bounds.center().y(), middle.center().y(), 4);
    EXPECT_GT(inkOf(image, bottom).bounds.top(), bottom.bottom() - third);
    const QRectF single = cells("E2"), spread = cells("F2");
    EXPECT_NEAR(inkOf(image, single).bounds.center().y(), single.center().y(), 4)
        << "one distributed line sits in the middle";
    const test::Ink lines = inkOf(image, spread);
    EXPECT_LT(lines.bounds.top(), spread.top() + third) << "distributed lines reach the top";
    EXPECT_GT(lines.bounds.bottom(), spread.bottom() - third) << "and the bottom";
    EXPECT_EQ(textLines(image, spread), 2);

    // A CR LF breaks the line like a LF, and a CR never paints as a box.
    const QRectF crlf = cells("B4"), lf = cells("B5"), cr = cells("B6"), one = cells("B7");
    EXPECT_EQ(textLines(image, crlf), 2);
    EXPECT_EQ(textLines(image, one), 1);
    const QImage withCrLf = test::inkMask(image, crlf.toRect());
    EXPECT_EQ(test::differingPixels(withCrLf, test::inkMask(image, lf.toRect())), 0);
    EXPECT_EQ(test::differingPixels(withCrLf, test::inkMask(image, cr.toRect())), 0);
}

TEST_F(TextPainting, WrappedTextStaysInItsCellAndLongTextRunsOverEmptyNeighboursOnly) {
    const std::string longText = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    ws->setRowHeight("2:5", 60);
    ws->setText(2, 2, "山田 太郎 鈴木 一郎 佐藤 花子");
    ws->setAlignment("B2", {.wrapText = true});
    ws->setText(3, 2, longText);  // C3 is empty: runs over it
    ws->setText(4, 2, longText);  // C4 holds a value: stops at the edge
    ws->setText(4, 3, "x");
    ws->setHorizontalAlignment("C4", xl::HAlignRight);
    ws->setText(5, 5, longText);  // right-aligned: runs over D5 to the left
    ws->setHorizontalAlignment("E5", xl::HAlignRight);
    const QImage image = render();
    test::keepSample(image, "wrapping.png");

    const QRectF b2 = cells("B2"), c2 = cells("C2");
    EXPECT_GE(textLines(image, b2), 2) << "wrapped to the cell's width";
    EXPECT_EQ(inkOf(image, c2).count, 0) << "wrapped text never runs over";

    const QRectF c3 = cells("C3"), c4 = cells("C4"), d5 = cells("D5");
    EXPECT_GT(inkOf(image, c3).count, 50) << "into the empty neighbour";
    EXPECT_EQ(test::inkIn(image, QRectF(c4.left(), c4.top(), c4.width() / 2, c4.height())).count, 0)
        << "clipped at a neighbour with a value";
    EXPECT_GT(inkOf(image, d5).count, 50) << "right-aligned text runs to the left";
}

TEST_F(TextPainting, ANumberTooWideForItsCellShowsHashesNotCutOffDigits) {
    ws->setColumnWidth("B:B", 5);
    ws->setRowHeight("2:3", 30);  // whole pixels: the two cells compare pixel by pixel
    ws->setNumber(2, 2, 123456789012);
    ws->setText(3, 2, "123456789012");  // what cut-off digits would look like
    ws->setHorizontalAlignment("B3", xl::HAlignRight);
    ws->setNumber(4, 2, 42);
    const QImage image = render();

    const QRectF number = cells("B2"), digits = cells("B3"), fits = cells("B4");
    EXPECT_EQ(test::inkIn(image, cells("C2")).count, 0) << "numbers never run over";
    const QImage shown = test::inkMask(image, number.toRect());
    const int ink = test::inkIn(shown, shown.rect()).count;
    EXPECT_GT(ink, 30);
    EXPECT_GT(test::differingPixels(shown, test::inkMask(image, digits.toRect())), ink / 3);
    EXPECT_NEAR(inkOf(image, fits).bounds.right(), fits.right() - 3, 3) << "42 fits: as it is";
}

TEST_F(TextPainting, DistributedTextSpreadsItsCharactersAcrossTheCell) {
    ws->setColumnWidth("B:B", 20);
    ws->setFont("B2:B5", {.name = kGothic});
    ws->setText(2, 2, "山田");
    ws->setHorizontalAlignment("B2", xl::HAlignDistributed);
    ws->setText(3, 2, "山田");
    ws->setText(4, 2, "山");
    ws->setHorizontalAlignment("B4", xl::HAlignDistributed);
    ws->setText(5, 2, "山田太");
    ws->setHorizontalAlignment("B5", xl::HAlignDistributed);
    const QImage image = render();

    const QRectF spread = cells("B2"), left = cells("B3"), alone = cells("B4"), three = cells("B5");
    const test::Ink s = inkOf(image, spread), l = inkOf(image, left);
    EXPECT_NEAR(s.bounds.left(), spread.left() + 3, 4) << "first character at the left";
    EXPECT_NEAR(s.bounds.right(), spread.right() - 3, 4) << "last character at the right";
    EXPECT_EQ(
        test::inkIn(image, QRectF(spread.center().x() - 20, spread.top(), 40, spread.height()))
            .count,
        0)
        << "a gap between the two";
    EXPECT_LT(l.bounds.right(), left.center().x()) << "unlike a left-aligned text";
    EXPECT_NEAR(s.count, l.count, l.count / 10) << "the same two characters";
    EXPECT_NEAR(inkOf(image, alone).bounds.center().x(), alone.center().x(), 3)
        << "a single character sits in the middle";
    const test::Ink t = inkOf(image, three);
    const test::Ink middle = test::inkIn(
        image, QRectF(three.center().x() - 15, three.top() + 1, 30, three.height() - 2));
    EXPECT_NEAR(middle.bounds.center().x(), three.center().x(), 3)
        << "the middle one in the centre";
    EXPECT_NEAR(t.bounds.right(), three.right() - 3, 4);
}

// A number or a mark such as "S1" is not spread apart: it stands whole in the middle, as
// LibreOffice prints it, and keeps its gap from a neighbour.
TEST_F(TextPainting, DistributedNumbersAndMarksStandWholeInTheMiddle) {
    ws->setColumnWidth("B:C", 12);
    const char* texts[] = {"10", "S12", "116"};
    for (int i = 0; i < 3; ++i) {
        ws->setText(2 + 2 * i, 2, texts[i]);
        ws->setText(2 + 2 * i, 3, texts[i]);
        ws->setHorizontalAlignment(sheet::Area::cell(2 + 2 * i, 2), xl::HAlignDistributed);
        ws->setHorizontalAlignment(sheet::Area::cell(2 + 2 * i, 3), xl::HAlignCenter);
    }
    const QImage image = render();
    for (int i = 0; i < 3; ++i) {
        const QRectF distributed = cells(Area::cell(2 + 2 * i, 2));
        const QRectF centred = cells(Area::cell(2 + 2 * i, 3));
        const QRect d = inkOf(image, distributed).bounds, c = inkOf(image, centred).bounds;
        EXPECT_NEAR(d.width(), c.width(), 1) << texts[i];
        EXPECT_NEAR(d.center().x() - distributed.left(), c.center().x() - centred.left(), 1)
            << texts[i];
    }
}

// Names merged over two rows, their column fitted to them up to a cap: a name or a school
// prints on one line; a text beyond the cap takes the two lines its cell has, none clipped.
TEST_F(TextPainting, AFittedNameColumnHoldsANameOnOneLineAndALongerTextOnTwo) {
    struct Case {
        std::string text;
        int lines;
    };
    const Case cases[] = {{"伊藤　莉子", 1},
                          {"県立富士見", 1},
                          {"今井・金子", 1},
                          {"私立清風・私立双葉女子・私立桜ヶ丘", 2}};
    int row = 2;
    for (const Case& c : cases) {
        ws->setText(row, 2, c.text);
        ws->merge(Area{row, 2, row + 1, 2});
        ws->setFont(Area{row, 2, row + 1, 2}, {.name = kGothic});
        ws->setAlignment(Area{row, 2, row + 1, 2}, {xl::HAlignDistributed, xl::VAlignCenter});
        row += 2;
    }
    ws->autoFitColumns("B:B", true, 24);
    const QImage image = render();
    row = 2;
    for (const Case& c : cases) {
        const QRectF cell = cells(Area{row, 2, row + 1, 2});
        EXPECT_EQ(textLines(image, cell.adjusted(1, 1, -1, -1)), c.lines) << c.text;
        // Nothing cut at the cell's edges: no ink on its border rows and columns.
        const test::Ink all = test::inkIn(image, cell.adjusted(-3, 0, 3, 0));
        EXPECT_EQ(all.count, inkOf(image, cell).count) << c.text;
        row += 2;
    }
}

TEST_F(TextPainting, FontSizeColourAndBoldShowOnTheImage) {
    ws->setRowHeight("2:2", 40);
    ws->setFont("B2:E2", {.name = kGothic});
    ws->setText(2, 2, "田");
    ws->setText(2, 3, "田");
    ws->setFont("C2", {.size = 22});
    ws->setText(2, 4, "田田");
    ws->setFont("D2", {.colorIndex = 3});
    ws->setText(2, 5, "田田");
    ws->setFont("E2", {.bold = true});
    const QImage image = render();

    const test::Ink small = inkOf(image, cells("B2")), large = inkOf(image, cells("C2"));
    // 11 points at 144 dpi: the glyph is most of 22 pixels tall. A font whose size was
    // applied twice (points scaled to points) would be far off.
    EXPECT_GE(small.bounds.height(), 14);
    EXPECT_LE(small.bounds.height(), 22);
    EXPECT_NEAR(static_cast<double>(large.bounds.height()) / small.bounds.height(), 2.0, 0.25);
    EXPECT_GT(inkOf(image, cells("D2"), test::isRed).count, 30) << "colour index 3";
    EXPECT_EQ(inkOf(image, cells("B2"), test::isRed).count, 0);
    EXPECT_GT(inkOf(image, cells("E2")).count, inkOf(image, cells("D2")).count * 1.15) << "bold";
}

TEST_F(TextPainting, JapaneseTextPaintsRealGlyphsInTheMappedFonts) {
    ws->setColumnWidth("B:D", 12);
    ws->setRowHeight("2:4", 40);
    ws->setFont("B2:D4", {.name = kGothic, .size = 20});
    ws->setText(2, 2, "山");
    ws->setText(2, 3, "田");
    ws->setText(2, 4, "\xEE\x80\x80");  // U+E000: no font has a glyph for it
    ws->setText(3, 2, "大会");
    ws->setFont("B3", {.name = "ＭＳ 明朝"});
    ws->setText(3, 3, "大会");
    ws->setFont("C3", {.name = "ＭＳ ゴシック"});
    ws->setText(4, 2, "大会");
    ws->setFont("B4", {.name = "Calibri"});  // a Latin font still shows Japanese
    const QImage image = render();

    const QImage yama = test::inkMask(image, cells("B2").toRect());
    const QImage ta = test::inkMask(image, cells("C2").toRect());
    const QImage missing = test::inkMask(image, cells("D2").toRect());
    const int yamaInk = test::inkIn(yama, yama.rect()).count;
    EXPECT_GT(yamaInk, 60);
    EXPECT_GT(test::differingPixels(yama, ta), yamaInk / 3) << "two characters, two shapes";
    EXPECT_GT(test::differingPixels(yama, missing), yamaInk / 3) << "not a missing-glyph box";
    EXPECT_GT(test::differingPixels(ta, missing), yamaInk / 3);

    const QImage mincho = test::inkMask(image, cells("B3").toRect());
    const QImage gothic = test::inkMask(image, cells("C3").toRect());
    const QImage latin = test::inkMask(image, cells("B4").toRect());
    EXPECT_GT(test::inkIn(mincho, mincho.rect()).count, 60);
    EXPECT_GT(test::differingPixels(mincho, gothic), 40) << "明朝 and ゴシック are different fonts";
    EXPECT_GT(test::inkIn(latin, latin.rect()).count, 60);
    test::keepSample(image, "japanese.png");
}

}  // namespace
}  // namespace tombra::render
