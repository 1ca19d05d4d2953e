#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>
#include <filesystem>
#include <regex>

#include "RenderTestSupport.h"
#include "SampleSheets.h"
#include "render/SheetRenderer.h"
#include "support/TestFiles.h"

namespace tombra::render {
namespace {

namespace fs = std::filesystem;
using tombra::test::quoted;
using tombra::test::runCommand;
using tombra::test::TempDir;

class PdfOutput : public ::testing::Test {
  protected:
    void SetUp() override { test::ensureGuiApplication(); }
};

int pdfPages(const fs::path& pdf) {
    const std::string info = runCommand("pdfinfo " + quoted(pdf) + " 2>/dev/null");
    std::smatch m;
    if (!std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)"))) return -1;
    return std::stoi(m[1]);
}

// pdftoppm's pages, in order.
std::vector<QImage> pdfImages(const fs::path& pdf, const fs::path& dir, int dpi) {
    runCommand("pdftoppm -r " + std::to_string(dpi) + " -png " + quoted(pdf) + " " +
               quoted(dir / "page"));
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<QImage> images;
    for (const fs::path& f : files) images.emplace_back(QString::fromStdString(f.string()));
    return images;
}

TEST_F(PdfOutput, APdfHasThePagesOfTheSheetAndLooksLikeItsImages) {
    auto book = test::blankBook();
    auto& ws = book->addSheet("男子Ｓ");
    test::drawBracketAndLeague(ws);
    const SheetRenderer renderer(ws);
    ASSERT_EQ(renderer.pageCount(), 2);

    TempDir dir;
    const fs::path pdf = dir / "男子Ｓ.pdf";
    std::string error;
    ASSERT_TRUE(renderer.writePdf(pdf, error)) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(tombra::test::readFile(pdf).substr(0, 5), "%PDF-");
    EXPECT_EQ(pdfPages(pdf), 2);

    fs::create_directories(dir / "png");
    const std::vector<QImage> pages = pdfImages(pdf, dir / "png", 50);
    ASSERT_EQ(pages.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const QImage& fromPdf = pages[static_cast<size_t>(i)];
        const QImage direct = renderer.renderPage(i, 50);
        test::keepSample(fromPdf, i == 0 ? "bracket-pdf-page1.png" : "bracket-pdf-page2.png");
        test::keepSample(renderer.renderPage(i, 110),
                         i == 0 ? "bracket-page1.png" : "bracket-page2.png");
        EXPECT_NEAR(fromPdf.width(), 413, 1) << "A4 at 50 dpi";
        EXPECT_NEAR(fromPdf.height(), 585, 1);
        const int ink = test::inkIn(fromPdf, fromPdf.rect()).count;
        EXPECT_GT(ink, 500) << "page " << i + 1 << " is not blank";
        // The PDF and the image come from the same painting: same place, same size of text
        // (a font scaled twice in the PDF would differ everywhere).
        const int inkDirect = test::inkIn(direct, direct.rect()).count;
        EXPECT_LT(test::differingPixels(fromPdf, direct), (ink + inkDirect) / 4)
            << "page " << i + 1;
    }

    // The winner's line is thick navy in the PDF too.
    const QRectF line = test::pixelRectOfCells(renderer, 0, sheet::Area::cell(3, 4), 50);
    const QRectF band(line.left() + 2, line.bottom() - 3, line.width() - 4, 6);
    EXPECT_GT(test::inkIn(pages[0], band, test::isNavy).count, 5);
}

TEST_F(PdfOutput, APdfThatCannotBeWrittenIsReportedInJapaneseAndLeavesNothingBehind) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    ws.setText(1, 1, "x");
    TempDir dir;

    std::string error;
    const fs::path missingFolder = dir / "no-such-folder" / "out.pdf";
    EXPECT_FALSE(writeSheetPdf(ws, missingFolder, error));
    EXPECT_NE(error.find("書き込めません"), std::string::npos) << error;
    EXPECT_NE(error.find("out.pdf"), std::string::npos) << "names the file: " << error;
    EXPECT_FALSE(fs::exists(missingFolder));

    error.clear();
    fs::create_directories(dir / "a-folder.pdf");
    EXPECT_FALSE(writeSheetPdf(ws, dir / "a-folder.pdf", error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(dir / "a-folder.pdf"));

    error.clear();
    const fs::path ok = dir / "ok.pdf";
    EXPECT_TRUE(writeSheetPdf(ws, ok, error)) << error;
    EXPECT_EQ(pdfPages(ok), 1);
}

TEST_F(PdfOutput, AnEmptySheetPrintsOneBlankPage) {
    auto book = test::blankBook();
    TempDir dir;
    std::string error;
    ASSERT_TRUE(writeSheetPdf(book->sheet("Sheet1"), dir / "empty.pdf", error)) << error;
    EXPECT_EQ(pdfPages(dir / "empty.pdf"), 1);
    fs::create_directories(dir / "png");
    const auto pages = pdfImages(dir / "empty.pdf", dir / "png", 20);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(test::inkIn(pages[0], pages[0].rect()).count, 0);
}

TEST_F(PdfOutput, APrinterPrintsAllPagesOrTheRangeTheUserChose) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    for (int r = 1; r <= 30; ++r) ws.setText(r, 1, "行 " + std::to_string(r));
    ws.addPageBreakBefore(11);
    ws.addPageBreakBefore(21);
    ws.setPageSetup({.scale = 300});  // lines large enough to tell apart at 50 dpi
    TempDir dir;

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    applyPageSettings(printer);
    printer.setOutputFileName(QString::fromStdString((dir / "all.pdf").string()));
    ASSERT_TRUE(printSheet(ws, printer));
    EXPECT_EQ(pdfPages(dir / "all.pdf"), 3);

    QPrinter some(QPrinter::HighResolution);
    some.setOutputFormat(QPrinter::PdfFormat);
    applyPageSettings(some);
    some.setOutputFileName(QString::fromStdString((dir / "some.pdf").string()));
    some.setPrintRange(QPrinter::PageRange);
    some.setFromTo(2, 3);
    ASSERT_TRUE(printSheet(ws, some));
    EXPECT_EQ(pdfPages(dir / "some.pdf"), 2);

    // The printed page 2 shows rows 11..20: its first line reads "行 11", like the image.
    fs::create_directories(dir / "png");
    const auto pages = pdfImages(dir / "some.pdf", dir / "png", 50);
    ASSERT_EQ(pages.size(), 2u);
    const QImage expected = SheetRenderer(ws).renderPage(1, 50);
    const QImage other = SheetRenderer(ws).renderPage(2, 50);
    EXPECT_LT(test::differingPixels(pages[0], expected), test::differingPixels(pages[0], other));
}

TEST_F(PdfOutput, APrinterIsLaidOutForItsOwnPaperAndFullPageModeChangesNothing) {
    auto book = test::blankBook();
    auto& ws = book->sheet("Sheet1");
    for (int r = 1; r <= 120; ++r) ws.setText(r, 1, "行 " + std::to_string(r));
    ws.setText(1, 4, "右端");  // A..D: enlarged to the paper's width, many pages
    ws.setBorder("A1:D1", sheet::xl::EdgeBottom, {sheet::xl::Continuous, sheet::xl::Thick, 25});
    PageSettings landscape;
    landscape.orientation = QPageLayout::Landscape;
    const int portraitPages = SheetRenderer(ws).pageCount();
    const int landscapePages = SheetRenderer(ws, landscape).pageCount();
    ASSERT_NE(portraitPages, landscapePages);
    TempDir dir;

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    applyPageSettings(printer, landscape);
    printer.setOutputFileName(QString::fromStdString((dir / "landscape.pdf").string()));
    ASSERT_TRUE(printSheet(ws, printer));
    EXPECT_EQ(pdfPages(dir / "landscape.pdf"), landscapePages);

    QPrinter full(QPrinter::HighResolution);
    full.setOutputFormat(QPrinter::PdfFormat);
    applyPageSettings(full);
    full.setFullPage(true);
    full.setOutputFileName(QString::fromStdString((dir / "full.pdf").string()));
    ASSERT_TRUE(printSheet(ws, full));
    EXPECT_EQ(pdfPages(dir / "full.pdf"), portraitPages);
    fs::create_directories(dir / "png");
    const auto pages = pdfImages(dir / "full.pdf", dir / "png", 50);
    ASSERT_FALSE(pages.empty());
    const QImage expected = SheetRenderer(ws).renderPage(0, 50);
    const QRect printed = test::inkIn(pages[0], pages[0].rect()).bounds;
    const QRect painted = test::inkIn(expected, expected.rect()).bounds;
    ASSERT_FALSE(painted.isEmpty());
    EXPECT_NEAR(printed.left(), painted.left(), 2) << "the sheet starts at the margins";
    EXPECT_NEAR(printed.top(), painted.top(), 2) << "not at the paper's corner";
    EXPECT_NEAR(printed.right(), painted.right(), 2);
    EXPECT_NEAR(printed.bottom(), painted.bottom(), 2);
}

}  // namespace
}  // namespace tombra::render
