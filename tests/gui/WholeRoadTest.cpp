#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "gui/FormDialog.h"
#include "gui/GuiFixture.h"
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
    p.session.random.setFixedSeed(7);  // the draw of the example script
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
