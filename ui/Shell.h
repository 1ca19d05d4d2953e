#pragma once

#include <string>

namespace tombra::sheet {
class Workbook;
class Worksheet;
}  // namespace tombra::sheet

namespace tombra::ui {

class Form;
class ProgressDialog;
class LogPane;
class CommandMarks;

// YesNoCancel is for questions where only キャンセル is safe when nobody answers (a batch
// script without an answer, a closed window).
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// "OK", "キャンセル", "はい", "いいえ": how answers are named to the user and in scripts.
const char* answerText(Answer answer);
const char* buttonsText(Buttons buttons);

struct FileDialogRequest {
    std::string title;
    // "説明|パターン|説明|パターン", as the common dialog takes it.
    std::string filter;
    std::string initialName;
};

// One print-out of a sheet. Where a sheet is printed again and again with other contents (the
// entry form of each school), `document` names each print-out: the PDF file it becomes where
// there is no printer, the job on the printer. `followsPrevious` continues a run the user was
// already asked about (the printer dialog, where the PDF files go): it goes the same way
// without asking again, and nowhere when the run's first print-out was cancelled.
struct PrintJob {
    std::string document;  // "": the sheet's name
    bool followsPrevious = false;
};

// What a command may ask of whoever shows the program: the window, or the batch runner.
// A command never knows which one it runs in.
class Shell {
  public:
    virtual ~Shell() = default;

    virtual Answer message(const std::string& text, Buttons buttons) = 0;
    // A message with only OK: how the program tells the user something.
    void tell(const std::string& text) { message(text, Buttons::Ok); }
    // Shows the dialog modally until one of its buttons closes it; returns that button's
    // name, or the form's cancel button when the window was closed.
    virtual std::string showForm(Form& form) = 0;
    // The chosen path, or "" when the dialog was cancelled.
    virtual std::string openFileName(const FileDialogRequest& request) = 0;
    virtual std::string saveFileName(const FileDialogRequest& request) = 0;
    // The printer dialog; false when cancelled.
    virtual bool pageSetup(const std::string& title) = 0;
    // Prints the sheet as it stands now.
    virtual void printSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet,
                            const PrintJob& job) = 0;
    void printSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet) {
        printSheet(workbook, sheet, PrintJob{});
    }
    virtual void previewSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet) = 0;
    // Shows the workbook (the spreadsheet application made visible) or hides it again.
    virtual void showWorkbook(sheet::Workbook* workbook, bool visible) = 0;
    // The workbook is let go (its changes saved or given up): nothing shown may keep it.
    virtual void forgetWorkbook(const sheet::Workbook& /*workbook*/) {}
    // Opens a help file in the desktop's viewer; `search` opens its search.
    virtual void openHelp(const std::string& path, bool search) = 0;
    // Ends the program at once, without closing the windows one by one.
    virtual void endProgram() = 0;
    // Closes the main window as its close box does: the other windows close first, last opened
    // first, and the window's closing steps run (app::mainWindowClosing); then the program ends.
    virtual void closeMainWindow() = 0;

    // Changes the shell shows as they happen.
    virtual void progressChanged(const ProgressDialog& progress) = 0;
    virtual void logChanged(const LogPane& log) = 0;
    virtual void marksChanged(const CommandMarks& marks) = 0;
};

}  // namespace tombra::ui
