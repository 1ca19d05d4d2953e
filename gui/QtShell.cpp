#include "gui/QtShell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QUrl>

#include "gui/FileFilter.h"
#include "gui/FormDialog.h"
#include "gui/MainWindow.h"
#include "gui/MessageBox.h"
#include "gui/PrintBridge.h"
#include "gui/ProgressWindow.h"
#include "render/SheetRenderer.h"

namespace tombra::gui {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }

// How often a long command lets the progress dialog paint, at most.
constexpr qint64 kPaintIntervalMs = 40;
}  // namespace

QtShell::QtShell() = default;

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
    }
    return *printer_;
}

bool QtShell::pageSetup(const std::string& title) {
    QPageSetupDialog dialog(&printer(), dialogParent());
    dialog.setWindowTitle(qs(title));
    return dialog.exec() == QDialog::Accepted;
}

void QtShell::printSheet(sheet::Workbook&, sheet::Worksheet& sheet) {
    printWorksheet(*this, printer(), dialogParent(), sheet);
}

void QtShell::previewSheet(sheet::Workbook&, sheet::Worksheet& sheet) {
    previewWorksheet(printer(), dialogParent(), sheet);
}

void QtShell::showWorkbook(sheet::Workbook* workbook, bool visible) {
    workbook_ = workbook;
    workbookVisible_ = visible;
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
