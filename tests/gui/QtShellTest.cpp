#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

#include "app/FileCommands.h"
#include "gui/FileFilter.h"
#include "gui/GuiFixture.h"
#include "gui/MessageBox.h"
#include "gui/PrintBridge.h"
#include "sheet/Workbook.h"
#include "support/FakeShell.h"

namespace tombra::test {
namespace {

std::string str(const QString& s) { return s.toStdString(); }

QStringList buttonTexts(const QMessageBox& box) {
    QStringList out;
    for (QAbstractButton* b : box.buttons()) out << b->text();
    out.sort();
    return out;
}

QAbstractButton* buttonNamed(QMessageBox& box, const QString& text) {
    for (QAbstractButton* b : box.buttons())
        if (b->text() == text) return b;
    return nullptr;
}

TEST(QtShellMessages, BoxShowsTheExactTextTitledTombraWithJapaneseButtons) {
    GuiProgram p;
    const std::string text = " '太字' ﾎﾞﾀﾝのｺｰﾄﾞを追加します。 <b>";
    onNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(str(box->windowTitle()), "Tombra");
        EXPECT_EQ(str(box->text()), text);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(buttonTexts(*box), QStringList({"いいえ", "はい"}));
        buttonNamed(*box, "いいえ")->click();
    });
    EXPECT_EQ(p.shell.message(text, ui::Buttons::YesNo), ui::Answer::No);

    onNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(buttonTexts(*box), QStringList({"OK", "キャンセル"}));
        buttonNamed(*box, "OK")->click();
    });
    EXPECT_EQ(p.shell.message("保存しますか", ui::Buttons::OkCancel), ui::Answer::Ok);
}

TEST(QtShellMessages, EscapeAnswersCancelOrNo) {
    GuiProgram p;
    for (auto [buttons, expected] : {std::pair{ui::Buttons::OkCancel, ui::Answer::Cancel},
                                     std::pair{ui::Buttons::YesNo, ui::Answer::No},
                                     std::pair{ui::Buttons::Ok, ui::Answer::Ok}}) {
        onNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        EXPECT_EQ(p.shell.message("投入済みです", buttons), expected) << ui::buttonsText(buttons);
    }
}

TEST(QtShellFiles, FilterBecomesQtFilter) {
    EXPECT_EQ(str(gui::qtFileFilter("説明|*.xlsx|すべて|*.*")), "説明 (*.xlsx);;すべて (*.*)");
    EXPECT_EQ(str(gui::qtFileFilter("すべてのﾌｧｲﾙ (*.*)|*.*")), "すべてのﾌｧｲﾙ (*.*)");
    EXPECT_EQ(str(gui::qtFileFilter("Excel|*.xls;*.xlsx")), "Excel (*.xls *.xlsx)");
    EXPECT_EQ(str(gui::qtFileFilter("ブック")), "ブック (*)");
    EXPECT_EQ(str(gui::qtFileFilter("")), "");
}

TEST(QtShellFiles, OpenDialogIsTitledFilteredAndGivesThePath) {
    GuiProgram p;
    const std::filesystem::path file = p.folder / "大会.xlsx";
    std::ofstream(file) << "x";
    onNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(str(dialog->windowTitle()), "DATAを開く");
        EXPECT_EQ(dialog->nameFilters(), QStringList({"ブック (*.xlsx)", "すべて (*.*)"}));
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        chooseFile(dialog, file);
    });
    EXPECT_EQ(p.shell.openFileName({"DATAを開く", "ブック|*.xlsx|すべて|*.*", {}}), file.string());
}

TEST(QtShellFiles, CancelledDialogsGiveEmptyText) {
    GuiProgram p;
    onNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(p.shell.openFileName({"DATAを開く", "ブック|*.xlsx", {}}), "");
    onNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        dialog->reject();
    });
    EXPECT_EQ(p.shell.saveFileName({"名前を付けて保存", "すべてのﾌｧｲﾙ (*.*)|*.*", {}}), "");
}

TEST(QtShellFiles, SaveAsCancelledKeepsTheWorkbookPath) {
    GuiProgram p;
    p.session.state.WorkbookPath = (p.folder / "大会.xlsx").string();
    onNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    p.window.menuAction("mnuFileSaveAs")->trigger();
    EXPECT_EQ(p.session.state.WorkbookPath, (p.folder / "大会.xlsx").string());
}

TEST(QtShellPrinting, PageSetupIsTitledAndFalseWhenCancelled) {
    GuiProgram p;
    onNextModal([](QWidget* modal) {
        EXPECT_EQ(str(modal->windowTitle()), "ﾍﾟｰｼﾞ設定");
        qobject_cast<QDialog*>(modal)->reject();
    });
    EXPECT_FALSE(p.shell.pageSetup("ﾍﾟｰｼﾞ設定"));
    onNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
    EXPECT_TRUE(p.shell.pageSetup("ﾍﾟｰｼﾞ設定"));
}

// A program with the test workbook open whose "別シート" stands for the event's bracket sheet
// (GenderName & EventCode), printing to a PDF file instead of a printer. Questions are
// answered from `answers` (OK when it runs out) and remembered.
struct PrintingProgram : GuiProgram {
    PrintingProgram() {
        std::filesystem::copy_file(testData("blank.xlsx"), book);
        session.state.WorkbookPath = book.string();
        session.state.GenderName = "別";
        session.state.EventCode = "シート";
        shell.printer().setOutputFormat(QPrinter::PdfFormat);
        shell.printer().setOutputFileName(QString::fromStdString(pdf.string()));
        shell.setPrinterCheck([] { return true; });
        shell.setMessageHook([this](const std::string& text, ui::Buttons buttons) {
            said.push_back(text);
            asked.push_back(buttons);
            if (answers.empty()) return ui::Answer::Ok;
            const ui::Answer answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    std::filesystem::path book = folder / "大会.xlsx";
    std::filesystem::path pdf = folder / "印刷.pdf";
    std::vector<std::string> said;
    std::vector<ui::Buttons> asked;
    std::deque<ui::Answer> answers;
};

// The same on a machine with no printer at all.
struct NoPrinterProgram : PrintingProgram {
    NoPrinterProgram() {
        shell.setPrinterCheck([] { return false; });
    }
    std::vector<std::filesystem::path> pdfsWritten() const {
        std::vector<std::filesystem::path> out;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path()))
            if (entry.path().extension() == ".pdf") out.push_back(entry.path());
        return out;
    }
};

// Rejects every modal window that shows while it lives, and remembers their titles.
class ModalWatch {
  public:
    ModalWatch() {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                titles << dialog->windowTitle();
                dialog->reject();
            }
        });
        poll_.start(10);
    }
    QStringList titles;

  private:
    QTimer poll_;
};

TEST(QtShellPrinting, PrintOffersThePrinterDialogThenPrintsTheBracketSheet) {
    PrintingProgram p;
    onNextModal([](QWidget* modal) {
        ASSERT_NE(qobject_cast<QPrintDialog*>(modal), nullptr);
        EXPECT_EQ(str(modal->windowTitle()), gui::kPrintTitle);
        qobject_cast<QDialog*>(modal)->reject();
    });
    p.window.menuAction("mnuFilePrint")->trigger();
    EXPECT_FALSE(std::filesystem::exists(p.pdf)) << "printed although the dialog was cancelled";

    onNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
    p.window.menuAction("mnuFilePrint")->trigger();
    ASSERT_TRUE(std::filesystem::exists(p.pdf));
    EXPECT_EQ(readFile(p.pdf).substr(0, 5), "%PDF-");
    EXPECT_TRUE(p.said.empty());
}

TEST(QtShellPrinting, PreviewShowsTheBracketSheetsPages) {
    PrintingProgram p;
    onNextModal([](QWidget* modal) {
        ASSERT_NE(qobject_cast<QPrintPreviewDialog*>(modal), nullptr);
        EXPECT_EQ(str(modal->windowTitle()), std::string(gui::kPreviewTitle) + " - 別シート");
        auto* pages = modal->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(pages, nullptr);
        EXPECT_GE(pages->pageCount(), 1);
        qobject_cast<QDialog*>(modal)->reject();
    });
    p.window.menuAction("mnuFilePrintPreview")->trigger();
    EXPECT_TRUE(p.said.empty());
}

TEST(QtShellPrinting, WithoutTheBracketSheetNothingHappens) {
    PrintingProgram p;
    p.session.state.EventCode = "Ｓ";
    p.window.menuAction("mnuFilePrint")->trigger();
    p.window.menuAction("mnuFilePrintPreview")->trigger();
    EXPECT_FALSE(std::filesystem::exists(p.pdf));
    EXPECT_TRUE(p.said.empty());
}

TEST(QtShellPrinting, WithoutAPrinterThePagesGoToThePdfFileTheUserNames) {
    NoPrinterProgram p;
    p.answers = {ui::Answer::Yes};
    // The paper page setup chose is the PDF's paper.
    p.shell.printer().setPageOrientation(QPageLayout::Landscape);
    const std::filesystem::path target = p.folder / "男子 組合せ.pdf";
    onNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr) << str(modal->windowTitle());
        EXPECT_EQ(str(dialog->windowTitle()), gui::kPdfSaveTitle);
        EXPECT_EQ(dialog->nameFilters(), QStringList({"PDFﾌｧｲﾙ (*.pdf)"}));
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        // Offered beside the workbook, named after the sheet.
        EXPECT_EQ(dialog->selectedFiles(),
                  QStringList({QString::fromStdString((p.folder / "別シート.pdf").string())}));
        chooseFile(dialog, target);
    });
    p.window.menuAction("mnuFilePrint")->trigger();

    EXPECT_EQ(p.said, std::vector<std::string>({gui::kNoPrinterQuestion}));
    EXPECT_EQ(p.asked, std::vector<ui::Buttons>({ui::Buttons::YesNo}));
    EXPECT_EQ(p.pdfsWritten(), std::vector<std::filesystem::path>({target}));
    ASSERT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(readFile(target).substr(0, 5), "%PDF-");

    if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftoppm";
    runCommand("pdftoppm -png -r 50 " + quoted(target) + " " + quoted(p.folder / "page"));
    const QImage page(QString::fromStdString((p.folder / "page-1.png").string()));
    ASSERT_FALSE(page.isNull()) << "pdftoppm made no page";
    EXPECT_FALSE(std::filesystem::exists(p.folder / "page-2.png"));
    EXPECT_GT(page.width(), page.height()) << "not on the landscape paper";
    EXPECT_TRUE(hasInk(page)) << "the sheet's text is missing";
}

TEST(QtShellPrinting, WithoutAPrinterSayingNoOrCancellingWritesNothing) {
    NoPrinterProgram p;
    p.answers = {ui::Answer::No};
    {
        ModalWatch watch;
        p.window.menuAction("mnuFilePrint")->trigger();
        EXPECT_TRUE(watch.titles.isEmpty()) << str(watch.titles.join(u','));
    }
    EXPECT_EQ(p.said, std::vector<std::string>({gui::kNoPrinterQuestion}));

    p.answers = {ui::Answer::Yes};
    onNextModal([](QWidget* modal) {
        ASSERT_NE(qobject_cast<QFileDialog*>(modal), nullptr);
        qobject_cast<QDialog*>(modal)->reject();
    });
    p.window.menuAction("mnuFilePrint")->trigger();
    EXPECT_EQ(p.said.size(), 2u) << "an error for a cancelled dialog";
    EXPECT_TRUE(p.pdfsWritten().empty());
    EXPECT_FALSE(std::filesystem::exists(p.pdf)) << "printed on the printer";
}

// A run of named print-outs (the entry form of each school) asks once: the later ones go
// into the folder the first PDF went to, each under its own name; after a cancelled first one
// they go nowhere.
TEST(QtShellPrinting, WithoutAPrinterARunOfPrintOutsAsksOnceAndKeepsTheFolder) {
    NoPrinterProgram p;
    sheet::Workbook& wb = *p.session.attachWorkbook();
    sheet::Worksheet& ws = wb.sheet("別シート");
    std::filesystem::create_directory(p.folder / "申込書");
    p.answers = {ui::Answer::Yes};
    onNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->selectedFiles(),
                  QStringList({QString::fromStdString((p.folder / "申込書1.pdf").string())}));
        chooseFile(dialog, p.folder / "申込書" / "申込書1.pdf");
    });
    for (const char* name : {"申込書1", "申込書2", "申込書2-2"})
        p.shell.printSheet(wb, ws, {name, std::string(name) != "申込書1"});
    EXPECT_EQ(p.said, std::vector<std::string>({gui::kNoPrinterQuestion}));
    std::vector<std::filesystem::path> written = p.pdfsWritten();
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::filesystem::path>{p.folder / "申込書" / "申込書1.pdf",
                                                           p.folder / "申込書" / "申込書2-2.pdf",
                                                           p.folder / "申込書" / "申込書2.pdf"}));

    p.answers = {ui::Answer::No};
    p.shell.printSheet(wb, ws, {"申込書3", false});
    p.shell.printSheet(wb, ws, {"申込書4", true});
    EXPECT_EQ(p.said.size(), 2u);
    EXPECT_EQ(p.pdfsWritten().size(), 3u);
}

TEST(QtShellPrinting, APdfThatCannotBeWrittenIsReportedAndANameGetsItsEnding) {
    TempDir folder;
    auto wb = blankWorkbook();
    const sheet::Worksheet& sheet = wb->sheet("別シート");
    QPrinter printer;
    FakeShell shell;
    shell.files = {(folder / "無いフォルダ" / "控え.pdf").string(), (folder / "控え").string()};
    gui::saveWorksheetAsPdf(shell, printer, folder.path(), sheet);
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[0], gui::kNoPrinterQuestion);
    EXPECT_NE(shell.messages[1].find("無いフォルダ"), std::string::npos) << shell.messages[1];
    EXPECT_FALSE(std::filesystem::exists(folder / "無いフォルダ"));

    gui::saveWorksheetAsPdf(shell, printer, folder.path(), sheet);
    EXPECT_EQ(shell.messages.size(), 3u) << shell.messages.back();
    EXPECT_EQ(readFile(folder / "控え.pdf").substr(0, 5), "%PDF-");
    EXPECT_FALSE(std::filesystem::exists(folder / "控え"));
    EXPECT_EQ(shell.fileTitles, std::vector<std::string>(2, gui::kPdfSaveTitle));
}

TEST(QtShellWorkbook, RemembersWhetherTheWorkbookShows) {
    GuiProgram p;
    const std::filesystem::path book = p.folder / "大会.xlsx";
    std::filesystem::copy_file(testData("blank.xlsx"), book);
    p.session.state.WorkbookPath = book.string();
    sheet::Workbook* wb = p.session.attachWorkbook();
    ASSERT_NE(wb, nullptr);
    p.session.host.setVisible(true);
    EXPECT_TRUE(p.shell.workbookVisible());
    EXPECT_EQ(p.shell.shownWorkbook(), wb);
    p.session.host.setVisible(false);
    EXPECT_FALSE(p.shell.workbookVisible());
}

}  // namespace
}  // namespace tombra::test
