#pragma once

#include <QElapsedTimer>
#include <QPageLayout>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "render/PageSettings.h"
#include "ui/Shell.h"

class QPrinter;
class QWidget;

namespace tombra::gui {

class FormDialog;
class MainWindow;
class ProgressWindow;
class WorkbookWindow;

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
    using ui::Shell::printSheet;
    void printSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet,
                    const ui::PrintJob& job) override;
    void previewSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet) override;
    void showWorkbook(sheet::Workbook* workbook, bool visible) override;
    void forgetWorkbook(const sheet::Workbook& workbook) override;
    // After each command: the workbook window shows what the command changed.
    void followWorkbook();
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

    // Whether there is a printer to print on; without one printing offers a PDF file. Tests
    // replace the system's answer.
    using PrinterCheck = std::function<bool()>;
    void setPrinterCheck(PrinterCheck check) { printerCheck_ = std::move(check); }

    // The next file-open dialog is answered with this path without showing (a recent file
    // chosen from the menu).
    void chooseNextFile(const std::string& path) { chosenFile_ = path; }

    // The dialog of a form once it has been shown, nullptr before.
    FormDialog* formDialog(const std::string& formName) const;
    // The progress dialog once a command used it, nullptr before.
    ProgressWindow* progressWindow() const;
    // The workbook the commands last asked to show or hide, and whether to show it.
    sheet::Workbook* shownWorkbook() const { return workbook_; }
    bool workbookVisible() const { return workbookVisible_; }
    // The window that shows the workbook once it was shown, nullptr before.
    WorkbookWindow* workbookWindow() const;
    // The printer that page setup configures and printing and the preview use.
    QPrinter& printer();

  private:
    QWidget* dialogParent() const;
    std::string askFileName(const ui::FileDialogRequest& request, bool save);
    template <class Dialog, class... Args>
    Dialog* makeDialog(Args&&... args);
    // Shows the workbook window anew if it shows this workbook (the sheets may have changed).
    void refreshWorkbookWindow(const sheet::Workbook* workbook);
    // Until the user chooses other paper (page setup, the printer dialog), each sheet prints on
    // the paper its own page setup names; after that, on the paper chosen.
    void followSheetPaper(const sheet::Worksheet& sheet);
    std::optional<render::PageSettings> chosenPaper();
    // The next print-out of a run, where the run's first went.
    void continuePrintRun(const sheet::Worksheet& sheet, const std::string& document);

    QPointer<MainWindow> window_;
    std::map<std::string, QPointer<FormDialog>> forms_;
    QPointer<ProgressWindow> progress_;
    QPointer<WorkbookWindow> workbookWindow_;
    // Dialogs made before there was a window to own them.
    std::vector<QPointer<QWidget>> unowned_;
    std::unique_ptr<QPrinter> printer_;
    QPageLayout appliedLayout_;  // what the program last set the printer to
    // Where the print-outs of a run go: the printer as its dialog set it up, or the folder of
    // the run's first PDF; neither when the first was cancelled.
    struct PrintRun {
        bool printer = false;
        std::optional<std::filesystem::path> folder;
    };
    PrintRun printRun_;
    MessageHook messageHook_;
    PrinterCheck printerCheck_;
    sheet::Workbook* workbook_ = nullptr;
    bool workbookVisible_ = false;
    std::string chosenFile_;
    QElapsedTimer sincePaint_;
};

}  // namespace tombra::gui
