#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include "app/CommandMap.h"
#include "gui/CellEditor.h"
#include "gui/FrozenPanes.h"
#include "gui/GuiFixture.h"
#include "gui/SheetGridView.h"
#include "gui/SheetPagesView.h"
#include "gui/SheetTab.h"
#include "gui/WorkbookWindow.h"
#include "session/CommandGuard.h"
#include "sheet/CellAddress.h"
#include "sheet/Workbook.h"

// Typing into the workbook window as the office does, keys and input method included.

namespace tombra::test {
namespace {

struct EditingProgram : GuiProgram {
    EditingProgram() {
        std::filesystem::copy_file(testData("blank.xlsx"), book);
        session.state.WorkbookPath = book.string();
        wb = session.attachWorkbook();
        wb->sheet("Sheet1").setText(1, 1, "見出し");
        wb->save();
        session.host.setVisible(true);
        window()->activateWindow();
        QApplication::setActiveWindow(window());
        grid()->setFocus();
        QCoreApplication::processEvents();
    }
    gui::WorkbookWindow* window() const { return shell.workbookWindow(); }
    gui::MainWindow& mainWindow() { return GuiProgram::window; }
    gui::SheetGridView* grid() const { return window()->currentGrid(); }
    sheet::Worksheet& sheet1() { return wb->sheet("Sheet1"); }
    void at(const char* reference) {
        const sheet::Area cell = sheet::parseCellReference(reference);
        grid()->setCurrentIndex(grid()->model()->index(cell.top - 1, cell.left - 1));
        grid()->setFocus();
    }
    QString current() const {
        const QModelIndex i = grid()->currentIndex();
        return QString::fromStdString(sheet::cellReference(i.row() + 1, i.column() + 1));
    }
    // Keys go where the keyboard's would: to the widget that has the focus.
    static QWidget* focused() { return QApplication::focusWidget(); }
    void type(const QString& text) {
        for (char32_t c : text.toUcs4())
            typeText(focused() ? focused() : grid(), QString::fromUcs4(&c, 1));
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focused() ? focused() : grid(), k, modifiers);
    }

    std::filesystem::path book = folder / "大会.xlsx";
    sheet::Workbook* wb = nullptr;
};

// Typing over a cell, Enter, Tab and the arrows move as in a spreadsheet; numbers are stored
// as numbers; each typing is one undo step; the title marks the unsaved workbook.
TEST(WorkbookEditing, TypingMovesLikeASpreadsheetAndUndoesStepByStep) {
    EditingProgram p;
    ASSERT_NE(p.grid(), nullptr);
    EXPECT_FALSE(p.window()->isWindowModified());
    p.at("B3");
    p.type("3-1");
    p.key(Qt::Key_Return);
    EXPECT_EQ(p.sheet1().value(3, 2), sheet::CellValue::text("3-1"));
    EXPECT_EQ(p.current(), "B4");
    p.type("１２");
    p.key(Qt::Key_Tab);
    EXPECT_EQ(p.sheet1().value(4, 2), sheet::CellValue::number(12));
    EXPECT_EQ(p.current(), "C4");
    p.type("x");
    p.key(Qt::Key_Up);  // typing over: the arrow ends it and moves
    EXPECT_EQ(p.sheet1().text(4, 3), "x");
    EXPECT_EQ(p.current(), "C3");
    EXPECT_TRUE(p.window()->isWindowModified());

    // F2 edits the text in place: the arrows move the caret, Escape gives up.
    p.at("A1");
    p.key(Qt::Key_F2);
    p.key(Qt::Key_Left);
    p.type("の");
    p.key(Qt::Key_Escape);
    EXPECT_EQ(p.sheet1().text(1, 1), "見出し");
    p.key(Qt::Key_F2);
    p.type("２");
    p.key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(p.sheet1().text(1, 1), "見出し２");

    p.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(p.sheet1().text(1, 1), "見出し");
    p.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(p.sheet1().value(4, 3).isEmpty());
    EXPECT_EQ(p.current(), "C4") << "the undone cell is selected";
    p.key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(p.sheet1().text(4, 3), "x");

    // The input method's text starts the typing just as keys do.
    p.at("D5");
    QInputMethodEvent compose;
    compose.setCommitString(QStringLiteral("山田"));
    QApplication::sendEvent(p.grid(), &compose);
    p.key(Qt::Key_Return);
    EXPECT_EQ(p.sheet1().text(5, 4), "山田");
}

// Ranges copy and paste as tab-separated text; one value fills a selection; Delete empties;
// the formula bar shows and takes the current cell.
TEST(WorkbookEditing, CopyPasteDeleteAndTheFormulaBar) {
    EditingProgram p;
    p.sheet1().setText(2, 1, "a");
    p.sheet1().setNumber(2, 2, 5);
    p.sheet1().setText(3, 1, "b\nc");
    p.window()->refresh();
    p.grid()->selectArea({2, 1, 3, 2});
    p.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "a\t5\n\"b\nc\"\t\n");
    p.at("E10");
    p.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(p.sheet1().text(10, 5), "a");
    EXPECT_EQ(p.sheet1().value(10, 6), sheet::CellValue::number(5));
    EXPECT_EQ(p.sheet1().text(11, 5), "b\nc");
    EXPECT_EQ(p.grid()->selectedArea(), (sheet::Area{10, 5, 11, 6}));

    QApplication::clipboard()->setText(QStringLiteral("済"));
    p.grid()->selectArea({1, 8, 3, 8});
    p.window()->paste();
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(p.sheet1().text(r, 8), "済") << r;
    p.key(Qt::Key_Delete);
    for (int r = 1; r <= 3; ++r) EXPECT_TRUE(p.sheet1().value(r, 8).isEmpty()) << r;
    p.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(p.sheet1().text(2, 8), "済") << "a deletion is one step";

    p.at("F10");
    EXPECT_EQ(p.window()->findChild<QLabel*>("CellAddress")->text(), "F10");
    EXPECT_EQ(p.window()->formulaBar()->text(), "5");
    p.window()->formulaBar()->setFocus();
    p.window()->formulaBar()->setText(QStringLiteral("'007"));
    p.key(Qt::Key_Return);
    EXPECT_EQ(p.sheet1().value(10, 6), sheet::CellValue::text("007"));
    EXPECT_EQ(p.current(), "F11");

    // The pages beside the grid follow the typing.
    ASSERT_TRUE(waitUntil([&] { return p.window()->currentSheetView()->rendered(); }));
    const QPixmap shot = p.window()->grab();
    EXPECT_TRUE(shot.save(QStringLiteral("/tmp/tombra-workbook-window.png")));
}

// The window's typing is what the file gets: saved through the menu, read back from disk.
TEST(WorkbookEditing, TypedValuesAreSavedAndTheMarkGoes) {
    EditingProgram p;
    const std::string untouched = packagePart(p.book, "xl/worksheets/sheet2.xml");
    p.at("C7");
    p.type("3-1");
    p.key(Qt::Key_Return);
    ASSERT_TRUE(p.window()->isWindowModified());
    p.mainWindow().menuAction("mnuFileSave")->trigger();
    EXPECT_FALSE(p.window()->isWindowModified());
    EXPECT_EQ(sheet::Workbook::open(p.book)->sheet("Sheet1").text(7, 3), "3-1");
    EXPECT_EQ(packagePart(p.book, "xl/worksheets/sheet2.xml"), untouched)
        << "a sheet nobody typed into is written back byte for byte";
}

// Closing the program with typing unsaved asks; キャンセル keeps the window and the typing,
// いいえ lets both go, the file as it was.
TEST(WorkbookEditing, ClosingWithUnsavedTypingAsksFirst) {
    EditingProgram p;
    p.mainWindow().show();
    p.at("B2");
    p.type("未保存");
    p.key(Qt::Key_Return);
    for (auto [button, closes] : {std::pair{"キャンセル", false}, {"いいえ", true}}) {
        std::string asked;
        onNextModal([&asked, button](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            asked = box->text().toStdString();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QString::fromUtf8(button)) b->click();
        });
        EXPECT_EQ(p.mainWindow().close(), closes);
        EXPECT_EQ(asked, "「大会.xlsx」への変更を保存しますか");
        EXPECT_EQ(p.mainWindow().isVisible(), !closes);
    }
    EXPECT_EQ(sheet::Workbook::open(p.book)->sheet("Sheet1").text(2, 2), "");
}

// A sheet with frozen panes keeps its header rows and first column in view while the rest
// scrolls beneath them, and its frozen cells take typing like any other.
TEST(WorkbookEditing, FrozenRowsAndColumnsStayInViewAndTakeTyping) {
    GuiProgram p;
    const auto book = p.folder / "名簿.xlsx";
    runPython("freeze_panes.py", quoted(book) + " B3");
    p.session.state.WorkbookPath = book.string();
    sheet::Workbook* wb = p.session.attachWorkbook();
    EXPECT_EQ(wb->sheet("名簿").frozenCells(), (sheet::Worksheet::FrozenCells{2, 1}));
    p.session.host.setVisible(true);
    gui::WorkbookWindow* window = p.shell.workbookWindow();
    QApplication::setActiveWindow(window);
    QCoreApplication::processEvents();
    gui::SheetTab* tab = window->sheetTab(0);
    ASSERT_NE(tab->frozen(), nullptr);
    ASSERT_EQ(tab->frozen()->overlays().size(), 3u);
    gui::SheetGridView* main = tab->grid();
    gui::SheetGridView* rows = window->findChild<gui::SheetGridView*>("FrozenRows");
    gui::SheetGridView* columns = window->findChild<gui::SheetGridView*>("FrozenColumns");
    ASSERT_TRUE(rows && columns);
    EXPECT_EQ(rows->height(),
              main->horizontalHeader()->height() + main->rowHeight(0) + main->rowHeight(1));

    main->setFocus();
    main->setCurrentIndex(main->model()->index(45, 1));
    main->scrollTo(main->currentIndex());
    EXPECT_GT(main->verticalScrollBar()->value(), 0);
    EXPECT_EQ(rows->verticalScrollBar()->value(), 0) << "the header rows stay";
    EXPECT_EQ(columns->verticalScrollBar()->value(), main->verticalScrollBar()->value());
    // Back to the first row under the frozen ones: it comes out from beneath them.
    main->setCurrentIndex(main->model()->index(2, 1));
    EXPECT_EQ(main->verticalScrollBar()->value(), 0);

    // Into the header: the keyboard follows to the frozen rows' grid, and typing lands there.
    main->setCurrentIndex(main->model()->index(0, 1));
    EXPECT_EQ(QApplication::focusWidget(), rows);
    typeText(rows, QStringLiteral("氏"));
    typeText(QApplication::focusWidget(), QStringLiteral("名"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(wb->sheet("名簿").text(1, 2), "氏名");
    EXPECT_EQ(main->currentIndex().row(), 1);
}

// 元に戻す from the menu takes back the typing newer than the last command in the window, then
// the command: the window follows the workbook put back (the command's sheet gone, its cells
// empty, nothing unsaved) and says when there is nothing more.
TEST(WorkbookEditing, UndoFromTheMenuTakesBackTypingThenTheCommandAndTheWindowFollows) {
    EditingProgram p;
    std::vector<std::string> told;
    p.shell.setMessageHook([&](const std::string& text, ui::Buttons) {
        told.push_back(text);
        return ui::Answer::Ok;
    });
    const std::string before = p.wb->serialize();
    const int tabs = p.window()->tabs()->count();
    runCommand(
        p.session, "ヤグラ作成",
        [](Session& s) {
            sheet::Workbook* wb = s.attachWorkbook();
            wb->addSheet("男子Ｓ").setText(1, 1, "組合せ");
            wb->sheet("Sheet1").setText(2, 1, "書いた");
        },
        UndoRole::Step);
    p.shell.followWorkbook();
    ASSERT_EQ(p.window()->tabs()->count(), tabs + 1);
    p.window()->selectSheet("Sheet1");
    p.at("B3");
    p.type("x");
    p.key(Qt::Key_Return);
    QAction* undo = p.mainWindow().menuAction("mnuEditUndo");

    undo->trigger();
    EXPECT_TRUE(p.sheet1().value(3, 2).isEmpty());
    EXPECT_EQ(p.current(), "B3") << "the window took back its own typing";
    EXPECT_EQ(p.sheet1().text(2, 1), "書いた");

    undo->trigger();
    EXPECT_TRUE(p.wb->serialize() == before);
    EXPECT_EQ(p.window()->tabs()->count(), tabs);
    EXPECT_EQ(p.grid()->model()->index(1, 0).data().toString(), QString());
    EXPECT_FALSE(p.window()->isWindowModified());
    EXPECT_TRUE(hasInk(p.window()->currentSheetView()->pageImage(0)));

    undo->trigger();
    EXPECT_EQ(told, std::vector<std::string>{"元に戻せる操作はありません"});
}

}  // namespace
}  // namespace tombra::test
