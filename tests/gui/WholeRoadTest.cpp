#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui/FormDialog.h"
#include "gui/GuiFixture.h"
#include "gui/SheetGridView.h"
#include "gui/WorkbookWindow.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "support/EntryWorkbook.h"

namespace tombra::test {
namespace {

// Answers every modal window while a menu command runs, as an official in a hurry would:
// OK in every dialog and message, the given file in a file dialog. Remembers what it saw.
class HurriedOfficial {
  public:
    explicit HurriedOfficial(std::filesystem::path file) : file_(std::move(file)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { answer(); });
        poll_.start(10);
    }
    const std::vector<std::string>& seen() const { return seen_; }

  private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == last_) return;
        last_ = modal;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen_.push_back("message:" + box->text().toStdString());
            box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->accept();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            seen_.push_back("file:" + dialog->windowTitle().toStdString());
            chooseFile(dialog, file_);
        } else if (auto* form = qobject_cast<gui::FormDialog*>(modal)) {
            seen_.push_back("form:" + form->objectName().toStdString());
            form->findChild<QPushButton*>(
                    QString::fromStdString(form->form().declaration().okButton))
                ->click();
        } else {
            seen_.push_back("other:" + modal->windowTitle().toStdString());
            modal->close();
        }
    }

    std::filesystem::path file_;
    QTimer poll_;
    QPointer<QWidget> last_;
    std::vector<std::string> seen_;
};

// The road a user walks on the sample in the window: open, draw, build. Every dialog on the
// way is a real one, answered with its defaults.
TEST(WholeRoad, TheSamplesMensSinglesGoFromOpenToBracketInTheWindow) {
    GuiProgram p;
    p.session.random.setFixedSeed(4);  // the draw of the example script
    const auto workbook = p.folder / "大会.xlsx";
    std::filesystem::copy_file(testData("../../examples/sample.xlsx"), workbook);
    HurriedOfficial official(workbook);

    p.window.menuAction("mnuFileOpen")->trigger();
    p.window.menuAction("投入")->trigger();
    p.window.menuAction("ヤグラ作成")->trigger();

    EXPECT_EQ(official.seen(),
              (std::vector<std::string>{"form:Form1", "file:DATAを開く",
                                        "message:エントリー数\n155名  <30校>\nシード数＝12",
                                        "form:Form3", "message:投入終了", "form:Form4",
                                        "form:Form12", "message:組合せ作成終了"}));
    auto* log = p.window.findChild<QPlainTextEdit*>("RichTextBox1");
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->toPlainText().startsWith(QStringLiteral("エントリー数\n県立北高：")));
    // The progress window is gone once the commands end.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "Form2") {
            EXPECT_FALSE(w->isVisible());
        }

    sheet::Workbook* wb = p.session.host.activeWorkbook();
    ASSERT_NE(wb, nullptr);
    EXPECT_FALSE(wb->sheet("男子Ｓ").pageBreakRows().empty());
    EXPECT_NE(wb->findSheet("男子ＳＴＢ"), nullptr);

    // The office shows the workbook, types a result into the time table beside a match label
    // and saves: the file holds it.
    p.window.menuAction("mnuViewRefresh")->trigger();
    gui::WorkbookWindow* shown = p.shell.workbookWindow();
    ASSERT_TRUE(shown && shown->isVisible());
    shown->selectSheet("男子Ｓ");
    QCoreApplication::processEvents();
    shown->grab().save("/tmp/bracket-grid.png");
    ASSERT_TRUE(shown->selectSheet("男子ＳＴＢ"));
    gui::SheetGridView* grid = shown->currentGrid();
    const sheet::Worksheet& table = wb->sheet("男子ＳＴＢ");
    int labelRow = 0, labelColumn = 0;
    for (int r = 1; r <= 40 && !labelRow; ++r)
        for (int c = 1; c <= 20 && !labelRow; ++c)
            if (table.text(r, c) == "1-1") labelRow = r, labelColumn = c;
    ASSERT_GT(labelRow, 0);
    grid->setCurrentIndex(grid->model()->index(labelRow - 1, labelColumn));
    QApplication::setActiveWindow(shown);
    grid->setFocus();
    typeText(grid, QStringLiteral("3"));
    ASSERT_NE(QApplication::focusWidget(), grid) << "typing opened the cell";
    typeText(QApplication::focusWidget(), QStringLiteral("-1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(shown->isWindowModified());
    p.window.menuAction("mnuFileSave")->trigger();
    EXPECT_FALSE(shown->isWindowModified());
    EXPECT_EQ(sheet::Workbook::open(workbook)->sheet("男子ＳＴＢ").text(labelRow, labelColumn + 1),
              "3-1");
}

// The workbooks opened are offered under ﾌｧｲﾙ in the next run, and open through the road of
// 開く: the settings, then the workbook, no file dialog. One gone from disk is said and dropped.
TEST(WholeRoad, RecentWorkbooksAreOfferedInTheNextRunAndOpenThroughOpen) {
    TempDir kept;  // the user's configuration folder and workbooks, across both runs
    const auto workbook = kept / "大会.xlsx", gone = kept / "去年.xlsx";
    std::filesystem::copy_file(testData("../../examples/sample.xlsx"), workbook);
    std::filesystem::copy_file(testData("blank.xlsx"), gone);
    {
        GuiProgram first(kept.path());
        EXPECT_FALSE(first.window.menuAction("mnuFileMRU(1)")->isVisible());
        for (const auto& book : {gone, workbook}) {
            HurriedOfficial official(book);
            first.window.menuAction("mnuFileOpen")->trigger();
        }
        EXPECT_EQ(first.window.menuAction("mnuFileMRU(1)")->text(), "&1 大会.xlsx");
        EXPECT_EQ(first.window.menuAction("mnuFileMRU(2)")->text(), "&2 去年.xlsx");
    }
    std::filesystem::remove(gone);
    GuiProgram second(kept.path());
    QAction* latest = second.window.menuAction("mnuFileMRU(1)");
    ASSERT_TRUE(latest->isVisible());
    EXPECT_EQ(latest->statusTip().toStdString(), workbook.string());
    EXPECT_FALSE(second.window.menuAction("mnuFileMRU(3)")->isVisible());

    HurriedOfficial official(kept / "別の.xlsx");
    latest->trigger();
    EXPECT_EQ(official.seen(),
              (std::vector<std::string>{"form:Form1",
                                        "message:エントリー数\n155名  <30校>\nシード数＝12"}));
    EXPECT_EQ(second.session.state.WorkbookPath, workbook.string());

    second.window.menuAction("mnuFileMRU(2)")->trigger();
    EXPECT_EQ(official.seen().back(), "message:「" + gone.string() + "」が見つかりません");
    EXPECT_FALSE(second.window.menuAction("mnuFileMRU(2)")->isVisible());
}

// A workbook whose "集計" cannot be read, opened from the toolbar and from the menu: each
// ends in one message naming the command and the sheet, and the progress window is gone.
TEST(WholeRoad, ADamagedWorkbookEndsTheOpenInOneMessageFromToolbarAndMenu) {
    GuiProgram p;
    const auto workbook = p.folder / "壊れた.xlsx";
    writeEntryWorkbook(workbook, {{"男子", {{"1", "北高", "山田"}}, 5}, tallySheet(2)});
    damageLastSheet(workbook);
    HurriedOfficial official(workbook);

    p.window.toolbarAction("開く")->trigger();
    p.window.menuAction("mnuFileOpen")->trigger();

    const std::string told =
        "message:「開く」を中断しました。\nブック「壊れた.xlsx」の部品 xl/worksheets/sheet4.xml "
        "(シート「集計」) が壊れています: 行番号 0 が範囲外です";
    EXPECT_EQ(official.seen(), (std::vector<std::string>{"form:Form1", "file:DATAを開く", told,
                                                         "form:Form1", "file:DATAを開く", told}));
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "Form2") {
            EXPECT_FALSE(w->isVisible());
        }
}

}  // namespace
}  // namespace tombra::test
