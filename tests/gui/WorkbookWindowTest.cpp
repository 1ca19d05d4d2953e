#include <gtest/gtest.h>

#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <map>

#include "app/FileCommands.h"
#include "gui/GuiFixture.h"
#include "gui/SheetPagesView.h"
#include "gui/SheetTab.h"
#include "gui/WorkbookWindow.h"
#include "render/SheetRenderer.h"
#include "sheet/Constants.h"
#include "sheet/ZipPackage.h"

namespace tombra::test {
namespace {

namespace xl = sheet::xl;

const sheet::Area kFirstBox = sheet::Area::cell(3, 2);    // B3, page 1
const sheet::Area kSecondBox = sheet::Area::cell(12, 3);  // C12, page 2

// A title, a boxed cell, a manual page break and another boxed cell: two pages.
void drawTwoPages(sheet::Worksheet& ws) {
    const sheet::BorderChange medium{xl::Continuous, xl::Medium, 1};
    ws.setColumnWidth("A:H", 10);
    ws.setText(1, 1, "男子シングルス 組合せ");
    ws.setFont("A1", {.name = "ＭＳ Ｐゴシック", .size = 14, .bold = true});
    ws.setRowHeight("3:3", 30);
    ws.setAllBorders(kFirstBox, medium);
    ws.addPageBreakBefore(10);
    ws.setText(10, 1, "予選リーグ");
    ws.setRowHeight("12:12", 30);
    ws.setAllBorders(kSecondBox, medium);
    ws.setText(20, 8, "以上");
}

// The program with the test workbook attached: its own "Sheet1" and "別シート", then the
// event sheets "男子Ｓ" (active, two pages) and "女子Ｄ".
struct WorkbookProgram : GuiProgram {
    WorkbookProgram() {
        std::filesystem::copy_file(testData("blank.xlsx"), book);
        session.state.WorkbookPath = book.string();
        wb = session.attachWorkbook();
        drawTwoPages(wb->addSheet("男子Ｓ"));
        wb->addSheet("女子Ｄ").setText(1, 1, "女子ダブルス");
        wb->activate("男子Ｓ");
    }
    // As the commands make the workbook visible.
    void showWorkbook() { session.host.setVisible(true); }
    void hideWorkbook() { session.host.setVisible(false); }
    gui::WorkbookWindow* window() const { return shell.workbookWindow(); }
    QStringList tabTexts() const {
        QStringList out;
        for (int i = 0; i < window()->tabs()->count(); ++i) out << window()->tabs()->tabText(i);
        return out;
    }
    gui::SheetPagesView* view(int tab) const {
        return window()->sheetTab(tab) ? window()->sheetTab(tab)->pages() : nullptr;
    }
    render::PageSettings paper() {
        return render::PageSettings::fromPageLayout(shell.printer().pageLayout());
    }

    std::filesystem::path book = folder / "大会.xlsx";
    sheet::Workbook* wb = nullptr;
};

// The parts of a package by name: what it holds, whatever time its zip entries carry (a part
// written again a second later is stamped anew).
std::map<std::string, std::string> partsOf(std::string package) {
    sheet::ZipPackage zip(std::move(package));
    std::map<std::string, std::string> parts;
    for (const std::string& name : zip.partNames()) parts[name] = zip.read(name);
    return parts;
}

QImage rgb(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_RGB32); }

// Where a cell lands on the image of a page rendered at `dpi`.
QRect cellOnPage(const render::SheetRenderer& renderer, int page, const sheet::Area& cell,
                 double dpi) {
    const render::SheetLayout& layout = renderer.layout();
    const QRectF onSheet = layout.cellRect(cell);
    const QPointF onPaper = renderer.settings().printableRectPoints().topLeft() +
                            (onSheet.topLeft() - layout.pageRect(page).topLeft()) * layout.scale();
    const double k = dpi / 72.0;
    return QRectF(onPaper * k, onSheet.size() * layout.scale() * k).toAlignedRect();
}

int darkPixels(const QImage& image, const QRect& area) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += qGray(image.pixel(x, y)) < 100;
    return n;
}

TEST(WorkbookWindow, ShowsOneTabPerSheetInOrderOpenOnTheActiveSheet) {
    WorkbookProgram p;
    const auto before = partsOf(p.wb->serialize());
    EXPECT_EQ(p.window(), nullptr) << "made before the workbook was shown";
    p.showWorkbook();
    ASSERT_NE(p.window(), nullptr);
    EXPECT_TRUE(p.window()->isVisible());
    // Marked as the workbook holds unsaved sheets (added by the fixture).
    EXPECT_EQ(p.window()->windowTitle().toStdString(), "大会.xlsx[*]");
    EXPECT_TRUE(p.window()->isWindowModified());
    EXPECT_EQ(p.tabTexts(), QStringList({"Sheet1", "別シート", "男子Ｓ", "女子Ｄ"}));
    EXPECT_EQ(p.window()->tabs()->currentIndex(), 2);
    // Only the sheet in front has been painted.
    for (int tab = 0; tab < 4; ++tab) EXPECT_EQ(p.view(tab)->rendered(), tab == 2) << tab;

    // Looking at another sheet paints it, and changes nothing in the workbook.
    QTest::mouseClick(p.window()->tabs()->tabBar(), Qt::LeftButton, {},
                      p.window()->tabs()->tabBar()->tabRect(3).center());
    EXPECT_EQ(p.window()->tabs()->currentIndex(), 3);
    EXPECT_TRUE(p.view(3)->rendered());
    EXPECT_FALSE(p.view(0)->rendered());
    EXPECT_EQ(p.wb->activeSheetName(), "男子Ｓ");
    EXPECT_EQ(partsOf(p.wb->serialize()), before);

    EXPECT_TRUE(p.window()->selectSheet("Sheet1"));
    EXPECT_EQ(p.window()->tabs()->currentIndex(), 0);
    EXPECT_TRUE(p.view(0)->rendered());
    EXPECT_FALSE(p.window()->selectSheet("男子Ｄ"));
    EXPECT_EQ(p.window()->tabs()->currentIndex(), 0);
}

TEST(WorkbookWindow, ShowsThePagesExactlyAsTheyPrint) {
    WorkbookProgram p;
    p.showWorkbook();
    QCoreApplication::processEvents();  // the pages show and are laid out
    gui::SheetPagesView* shown = p.window()->currentSheetView();
    ASSERT_NE(shown, nullptr);
    const render::SheetRenderer renderer(p.wb->sheet("男子Ｓ"), p.paper());
    ASSERT_EQ(renderer.pageCount(), 2);
    ASSERT_EQ(shown->pageCount(), 2);
    const double dpi = gui::SheetPagesView::kDpi * shown->devicePixelRatioF();
    for (int page = 0; page < 2; ++page)
        EXPECT_EQ(shown->pageImage(page).convertToFormat(QImage::Format_RGB32),
                  renderer.renderPage(page, dpi).convertToFormat(QImage::Format_RGB32))
            << "page " << page + 1;
    // Stacked top to bottom, apart.
    EXPECT_GE(shown->pageRect(1).top() - shown->pageRect(0).bottom(), gui::SheetPagesView::kGap);

    // On screen: the box's lines in ink, its inside and the paper white, grey around the paper.
    const QPixmap shot = p.window()->grab();
    const QImage screen = rgb(shot);
    const double ratio = shot.devicePixelRatio();
    const QPoint paperCorner =
        shown->viewport()->mapTo(p.window(), shown->pageRect(0).topLeft()) * ratio;
    const QRect box = cellOnPage(renderer, 0, kFirstBox, dpi).translated(paperCorner);
    ASSERT_TRUE(screen.rect().contains(box)) << "the box is not in view";
    const int midX = box.center().x();
    EXPECT_GT(darkPixels(screen, QRect(midX - 5, box.top() - 3, 10, 6)), 0) << "top edge";
    EXPECT_GT(darkPixels(screen, QRect(midX - 5, box.bottom() - 3, 10, 6)), 0) << "bottom edge";
    EXPECT_GT(darkPixels(screen, QRect(box.left() - 3, box.center().y() - 3, 6, 6)), 0) << "left";
    EXPECT_EQ(screen.pixel(box.center()), qRgb(255, 255, 255)) << "inside the box";
    EXPECT_EQ(screen.pixel(paperCorner + QPoint(5, 5)), qRgb(255, 255, 255)) << "paper";
    const QRgb desk = screen.pixel(paperCorner + QPoint(-gui::SheetPagesView::kGap / 2, 20));
    EXPECT_NE(desk, qRgb(255, 255, 255));
    EXPECT_EQ(qRed(desk), qBlue(desk)) << "grey";
    EXPECT_GT(qGray(desk), 100) << "grey, not ink";

    expectJapaneseGlyphs(p.window()->tabs()->tabBar()->font(),
                         QStringLiteral("別シート男子Ｓ女子Ｄ"), "sheet tabs");
    ASSERT_TRUE(shot.save(QStringLiteral("/tmp/tombra-workbook-window.png")));
}

// Commands show it; a command that only attaches (which hides the spreadsheet host) leaves
// the window the user is typing in; its close box hides it, dropping its pages.
TEST(WorkbookWindow, CommandsShowItAndItsCloseBoxOnlyHidesIt) {
    WorkbookProgram p;
    p.showWorkbook();
    const QPointer<gui::WorkbookWindow> window = p.window();
    p.hideWorkbook();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->tabs()->count(), 4);
    p.showWorkbook();

    EXPECT_TRUE(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window.isNull()) << "closing deleted it";
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->tabs()->count(), 0) << "keeps pages while hidden";
    EXPECT_TRUE(p.shell.workbookVisible()) << "the host's own state is the commands' business";
    // The next command that makes the workbook visible brings it back.
    p.session.attachWorkbook();
    p.showWorkbook();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->tabs()->count(), 4);

    // Without a workbook there is nothing to show.
    p.shell.showWorkbook(nullptr, true);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->workbook(), nullptr);
    EXPECT_EQ(window->tabs()->count(), 0);
}

TEST(WorkbookWindow, ShownAgainItShowsTheWorkbookAsItIsNow) {
    WorkbookProgram p;
    p.showWorkbook();
    const QImage firstPage = p.window()->currentSheetView()->pageImage(0);
    p.hideWorkbook();
    p.wb->addSheet("追加");
    p.wb->sheet("男子Ｓ").setText(3, 2, "山田 太郎");
    p.showWorkbook();
    EXPECT_EQ(p.tabTexts(), QStringList({"Sheet1", "別シート", "男子Ｓ", "女子Ｄ", "追加"}));
    const QImage again = p.window()->currentSheetView()->pageImage(0);
    EXPECT_EQ(again.size(), firstPage.size());
    EXPECT_NE(again, firstPage) << "the new name is not on the page";
}

TEST(WorkbookWindow, TheVisiblePreviewBringsItsSheetToTheFront) {
    WorkbookProgram p;
    p.session.state.GenderName = "女子";
    p.session.state.EventCode = "Ｄ";
    bool previewed = false;
    onNextModal([&](QWidget* modal) {
        ASSERT_NE(qobject_cast<QPrintPreviewDialog*>(modal), nullptr);
        previewed = true;
        ASSERT_NE(p.window(), nullptr);
        EXPECT_TRUE(p.window()->isVisible());
        gui::SheetPagesView* front = p.window()->currentSheetView();
        ASSERT_NE(front, nullptr);
        EXPECT_EQ(front->sheetName(), "女子Ｄ");
        EXPECT_EQ(front->pageCount(), 1);
        qobject_cast<QDialog*>(modal)->reject();
    });
    app::previewBracketSheetVisibly(p.session);
    EXPECT_TRUE(previewed);
}

TEST(WorkbookWindow, PageSetupChangesThePaperOfThePagesShown) {
    WorkbookProgram p;
    p.showWorkbook();
    const QSize portrait = p.window()->currentSheetView()->pageImage(0).size();
    EXPECT_LT(portrait.width(), portrait.height());
    p.shell.printer().setPageOrientation(QPageLayout::Landscape);  // as the dialog will show it
    onNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
    ASSERT_TRUE(p.shell.pageSetup("ﾍﾟｰｼﾞ設定"));
    const QSize landscape = p.window()->currentSheetView()->pageImage(0).size();
    EXPECT_EQ(landscape, portrait.transposed());
}

// Until the user chooses paper, a sheet shows and prints on the paper its own page setup names.
TEST(WorkbookWindow, ASheetsOwnPaperIsUsedUntilTheUserChoosesOther) {
    WorkbookProgram p;
    p.wb->sheet("男子Ｓ").setPageSetup({.paperSize = 9, .landscape = true});
    p.showWorkbook();
    const QSize shown = p.window()->currentSheetView()->pageImage(0).size();
    EXPECT_GT(shown.width(), shown.height()) << "the sheet asks for landscape";
    onNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    p.shell.previewSheet(*p.wb, p.wb->sheet("男子Ｓ"));
    EXPECT_EQ(p.shell.printer().pageLayout().orientation(), QPageLayout::Landscape);
}

TEST(WorkbookWindow, ASheetThatCannotBeShownSaysSoInItsTab) {
    auto wb = blankWorkbook();
    gui::SheetPagesView view(*wb, "無いシート", {});
    view.show();
    EXPECT_TRUE(view.rendered());
    EXPECT_EQ(view.pageCount(), 0);
    bool said = false;
    for (QLabel* label : view.findChildren<QLabel*>())
        said |= label->text().contains(QStringLiteral("無いシート"));
    EXPECT_TRUE(said);
}

}  // namespace
}  // namespace tombra::test

namespace tombra::test {
namespace {

// Forty pages: only those in sight are painted, what is kept stays within the budget, and the
// zoom follows Ctrl + wheel, the keys and "fit to width".
TEST(SheetPagesView, PaintsOnlyThePagesInSightAndZooms) {
    auto wb = blankWorkbook();
    sheet::Worksheet& ws = wb->sheet("Sheet1");
    for (int page = 0; page < 40; ++page) {
        ws.setText(1 + 3 * page, 1, "頁 " + std::to_string(page + 1));
        if (page > 0) ws.addPageBreakBefore(1 + 3 * page);
    }
    gui::SheetPagesView view(*wb, "Sheet1", {});
    view.resize(700, 900);
    view.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(view.pageCount(), 40);
    const std::size_t onePage = static_cast<std::size_t>(view.pageImage(0).sizeInBytes());
    EXPECT_LE(view.cachedBytes(), 2 * onePage) << "a page and the top of the next";

    for (int value = 0; value <= view.verticalScrollBar()->maximum();
         value += view.verticalScrollBar()->pageStep()) {
        view.verticalScrollBar()->setValue(value);
        view.viewport()->repaint();
    }
    EXPECT_LE(view.cachedBytes(), gui::SheetPagesView::kCacheBudget);
    EXPECT_GT(view.cachedBytes(), 2 * onePage);

    const int width = view.pageRect(0).width();
    QWheelEvent wheel(QPointF(100, 100), view.mapToGlobal(QPointF(100, 100)), {}, {0, 120},
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &wheel);
    EXPECT_DOUBLE_EQ(view.zoom(), 1.25);
    EXPECT_NEAR(view.pageRect(0).width(), width * 1.25, 1);
    QTest::keyClick(&view, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view.zoom(), 1.0);
    view.fitWidth();
    EXPECT_NEAR(view.pageRect(0).width(), view.viewport()->width() - 2 * gui::SheetPagesView::kGap,
                1);
    view.setZoom(100);
    EXPECT_DOUBLE_EQ(view.zoom(), gui::SheetPagesView::kMostZoom);
}

}  // namespace
}  // namespace tombra::test
