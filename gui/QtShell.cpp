#include "gui/QtShell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QUrl>
#include <utility>

#include "gui/FileFilter.h"
#include "gui/FormDialog.h"
#include "gui/MainWindow.h"
#include "gui/MessageBox.h"
#include "gui/PrintBridge.h"
#include "gui/ProgressWindow.h"
#include "gui/WorkbookWindow.h"
#include "render/SheetRenderer.h"
#include "sheet/Workbook.h"

namespace tombra::gui {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }

// How often a long command lets the progress dialog paint, at most.
constexpr qint64 kPaintIntervalMs = 40;
}  // namespace

QtShell::QtShell() : printerCheck_(printerInstalled) {}

QtShell::~QtShell() {
    for (const QPointer<QWidget>& w : unowned_) delete w.data();
}

void QtShell::setMainWindow(MainWindow* window) { window_ = window; }
MainWindow* QtShell::mainWindow() const { return window_; }
QWidget* QtShell::dialogParent() const { return window_.data(); }

template <class Dialog, class... Args>
Dialog* QtShell::makeDialog(Args&&... args) {
    auto* d = new Dialog(std::forward<Args>(args)..., dialogParent());
    if (!d->parent()) unowned_.emplace_back(d);
    return d;
}

ui::Answer QtShell::message(const std::string& text, ui::Buttons buttons) {
    if (messageHook_) return messageHook_(text, buttons);
    return askUser(text, buttons, dialogParent());
}

std::string QtShell::showForm(ui::Form& form) {
    QPointer<FormDialog>& dialog = forms_[form.name()];
    if (!dialog || &dialog->form() != &form)
        dialog = makeDialog<FormDialog>(
            form, [this](const std::string& text) { message(text, ui::Buttons::Ok); });
    return dialog->run();
}

FormDialog* QtShell::formDialog(const std::string& formName) const {
    auto it = forms_.find(formName);
    return it == forms_.end() ? nullptr : it->second.data();
}

ProgressWindow* QtShell::progressWindow() const { return progress_.data(); }

std::string QtShell::askFileName(const ui::FileDialogRequest& request, bool save) {
    QFileDialog dialog(dialogParent(), qs(request.title), QString(), qtFileFilter(request.filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.initialName.empty()) dialog.selectFile(qs(request.initialName));
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? std::string() : files.first().toStdString();
}

std::string QtShell::openFileName(const ui::FileDialogRequest& request) {
    if (!chosenFile_.empty()) return std::exchange(chosenFile_, std::string());
    return askFileName(request, false);
}
std::string QtShell::saveFileName(const ui::FileDialogRequest& request) {
    return askFileName(request, true);
}

QPrinter& QtShell::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Start from the paper the sheets are laid out for; page setup changes it from there.
        render::applyPageSettings(*printer_);
        appliedLayout_ = printer_->pageLayout();
    }
    return *printer_;
}

bool QtShell::pageSetup(const std::string& title) {
    QPageSetupDialog dialog(&printer(), dialogParent());
    dialog.setWindowTitle(qs(title));
    if (dialog.exec() != QDialog::Accepted) return false;
    // Other paper changes the pages the workbook window shows.
    if (workbookWindow_) refreshWorkbookWindow(workbookWindow_->workbook());
    return true;
}

void QtShell::followSheetPaper(const sheet::Worksheet& sheet) {
    if (chosenPaper()) return;
    render::applyPageSettings(printer(), render::PageSettings::fromPageSetup(sheet.pageSetup()));
    appliedLayout_ = printer().pageLayout();
}

std::optional<render::PageSettings> QtShell::chosenPaper() {
    const QPageLayout now = printer().pageLayout();
    if (now.isEquivalentTo(appliedLayout_)) return std::nullopt;
    return render::PageSettings::fromPageLayout(now);
}

void QtShell::printSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet,
                         const ui::PrintJob& job) {
    refreshWorkbookWindow(&workbook);
    followSheetPaper(sheet);
    if (job.followsPrevious) {
        continuePrintRun(sheet, job.document);
        return;
    }
    printRun_ = {};
    if (printerCheck_ && !printerCheck_()) {
        if (const auto written = saveWorksheetAsPdf(*this, printer(), workbook.path().parent_path(),
                                                    sheet, job.document))
            printRun_.folder = written->parent_path();
    } else {
        printRun_.printer = printWorksheet(*this, printer(), dialogParent(), sheet, job.document);
    }
}

void QtShell::continuePrintRun(const sheet::Worksheet& sheet, const std::string& document) {
    // A print-out that fails ends the run: the user hears of it once, not once for each.
    if (printRun_.printer) {
        printRun_.printer = printWorksheetAgain(*this, printer(), sheet, document);
    } else if (printRun_.folder) {
        const std::string name = (document.empty() ? sheet.name() : document) + ".pdf";
        if (!writeWorksheetPdf(*this, printer(), sheet, *printRun_.folder / name))
            printRun_.folder.reset();
    }
}

void QtShell::previewSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet) {
    // The visible preview command activates the sheet first; the window follows.
    refreshWorkbookWindow(&workbook);
    followSheetPaper(sheet);
    previewWorksheet(printer(), dialogParent(), sheet);
}

WorkbookWindow* QtShell::workbookWindow() const { return workbookWindow_.data(); }

void QtShell::showWorkbook(sheet::Workbook* workbook, bool visible) {
    workbook_ = workbook;
    workbookVisible_ = visible;
    // The window the user is typing in stays while commands attach to its workbook (which
    // makes the spreadsheet host invisible); it goes for another workbook, or none.
    if (!visible && workbook && workbookWindow_ && workbookWindow_->isVisible() &&
        workbookWindow_->workbook() == workbook)
        return;
    if (!workbook || !visible) {
        if (workbookWindow_) {
            workbookWindow_->hide();
            workbookWindow_->setWorkbook(workbook);
        }
        return;
    }
    if (!workbookWindow_) {
        // A window of its own, like the spreadsheet program's, not one over the main window.
        workbookWindow_ = new WorkbookWindow;
        unowned_.emplace_back(workbookWindow_.data());
    }
    if (window_) workbookWindow_->setSession(&window_->session());
    workbookWindow_->setWorkbook(workbook);
    workbookWindow_->setPaper(chosenPaper());
    if (workbookWindow_->isVisible())
        workbookWindow_->refresh();
    else
        workbookWindow_->show();  // which shows the workbook as it is now
    workbookWindow_->raise();
}

void QtShell::forgetWorkbook(const sheet::Workbook& workbook) {
    if (workbook_ == &workbook) workbook_ = nullptr;
    if (workbookWindow_ && workbookWindow_->workbook() == &workbook) {
        workbookWindow_->hide();
        workbookWindow_->setWorkbook(nullptr);
    }
}

void QtShell::followWorkbook() {
    if (workbookWindow_) workbookWindow_->followWorkbook();
}

void QtShell::refreshWorkbookWindow(const sheet::Workbook* workbook) {
    if (!workbookWindow_ || !workbookWindow_->isVisible() || !workbook ||
        workbookWindow_->workbook() != workbook)
        return;
    workbookWindow_->setPaper(chosenPaper());
    workbookWindow_->refresh();
}

void QtShell::openHelp(const std::string& path, bool /*search*/) {
    // The desktop's viewer opens the file; a search entry point is not something it offers,
    // so both help items open the file. Failures are ignored like the other help errors.
    QDesktopServices::openUrl(QUrl::fromLocalFile(qs(path)));
}

void QtShell::endProgram() { QCoreApplication::exit(0); }

void QtShell::closeMainWindow() {
    if (window_)
        window_->close();
    else
        QCoreApplication::quit();
}

void QtShell::progressChanged(const ui::ProgressDialog& progress) {
    if (!progress_) progress_ = makeDialog<ProgressWindow>();
    const bool appearing = progress.visible() != progress_->isVisible();
    const QString caption = qs(progress.caption());
    const bool captionChanged = caption != progress_->windowTitle();
    progress_->showProgress(progress);
    // The command holds the thread until it ends, so the dialog paints only when we let it.
    // User input stays queued: nothing else may run while a command runs.
    if (appearing || captionChanged || !sincePaint_.isValid() ||
        sincePaint_.elapsed() >= kPaintIntervalMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sincePaint_.start();
    }
}

void QtShell::logChanged(const ui::LogPane& log) {
    if (window_) window_->showLog(log);
}

void QtShell::marksChanged(const ui::CommandMarks& marks) {
    if (window_) window_->showMarks(marks);
}

}  // namespace tombra::gui
