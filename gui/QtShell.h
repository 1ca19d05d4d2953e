#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "ui/Shell.h"

class QPrinter;
class QWidget;

namespace tombra::gui {

class FormDialog;
class MainWindow;
class ProgressWindow;

// The shell port as the desktop shows it: message boxes, the form dialogs, file and printer
// dialogs, the progress dialog, and the main window's log pane and check marks.
class QtShell : public ui::Shell {
  public:
    QtShell();
    ~QtShell() override;
    QtShell(const QtShell&) = delete;
    QtShell& operator=(const QtShell&) = delete;

    // The window registers itself once built; dialogs open over it.
    void setMainWindow(MainWindow* window);
    MainWindow* mainWindow() const;

    ui::Answer message(const std::string& text, ui::Buttons buttons) override;
    std::string showForm(ui::Form& form) override;
    std::string openFileName(const ui::FileDialogRequest& request) override;
    std::string saveFileName(const ui::FileDialogRequest& request) override;
    bool pageSetup(const std::string& title) override;
    void printSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet) override;
    void previewSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet) override;
    void showWorkbook(sheet::Workbook* workbook, bool visible) override;
    void openHelp(const std::string& path, bool search) override;
    void endProgram() override;
    void closeMainWindow() override;
    void progressChanged(const ui::ProgressDialog& progress) override;
    void logChanged(const ui::LogPane& log) override;
    void marksChanged(const ui::CommandMarks& marks) override;

    // Answers messages without showing a box, for runs nobody watches; an empty hook shows
    // boxes again.
    using MessageHook = std::function<ui::Answer(const std::string& text, ui::Buttons buttons)>;
    void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }

    // The dialog of a form once it has been shown, nullptr before.
    FormDialog* formDialog(const std::string& formName) const;
    // The progress dialog once a command used it, nullptr before.
    ProgressWindow* progressWindow() const;
    // The workbook the commands asked to show, until a viewer shows it.
    sheet::Workbook* shownWorkbook() const { return workbook_; }
    bool workbookVisible() const { return workbookVisible_; }
    // The printer that page setup configures and printing and the preview use.
    QPrinter& printer();

  private:
    QWidget* dialogParent() const;
    std::string askFileName(const ui::FileDialogRequest& request, bool save);
    template <class Dialog, class... Args>
    Dialog* makeDialog(Args&&... args);

    QPointer<MainWindow> window_;
    std::map<std::string, QPointer<FormDialog>> forms_;
    QPointer<ProgressWindow> progress_;
    // Dialogs made before there was a window to own them.
    std::vector<QPointer<QWidget>> unowned_;
    std::unique_ptr<QPrinter> printer_;
    MessageHook messageHook_;
    sheet::Workbook* workbook_ = nullptr;
    bool workbookVisible_ = false;
    QElapsedTimer sincePaint_;
};

}  // namespace tombra::gui
