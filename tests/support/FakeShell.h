#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/LogPane.h"
#include "ui/ProgressDialog.h"
#include "ui/Shell.h"

namespace tombra::test {

// A shell that answers from prepared lists and remembers what it was asked.
class FakeShell : public ui::Shell {
  public:
    std::deque<ui::Answer> answers;
    std::deque<std::string> files;
    std::vector<std::string> messages, fileTitles, printed, previewed, helpOpened;
    std::vector<ui::PrintJob> printJobs;  // beside `printed`, one for each
    // Sees each printed sheet as it stands when printed.
    std::function<void(const sheet::Worksheet&)> onPrint;
    std::vector<bool> workbookShown;
    bool ended = false, windowClosed = false;
    int marksChanges = 0;
    std::string lastLog;
    // What the user does in a dialog before pressing a button: fill in controls, and press
    // another button than OK.
    std::map<std::string, std::function<void(ui::Form&)>> fill;
    std::map<std::string, std::string> press;
    std::vector<std::string> formsShown;

    ui::Answer message(const std::string& text, ui::Buttons buttons) override {
        messages.push_back(text);
        if (!answers.empty()) {
            ui::Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        if (buttons == ui::Buttons::YesNoCancel) return ui::Answer::Cancel;
        return buttons == ui::Buttons::YesNo ? ui::Answer::Yes : ui::Answer::Ok;
    }
    std::string showForm(ui::Form& form) override {
        form.aboutToShow();
        formsShown.push_back(form.name());
        if (auto f = fill.find(form.name()); f != fill.end()) f->second(form);
        auto p = press.find(form.name());
        form.press(p != press.end() ? p->second : form.declaration().okButton);
        return form.pressedButton();
    }
    std::string openFileName(const ui::FileDialogRequest& r) override { return nextFile(r); }
    std::string saveFileName(const ui::FileDialogRequest& r) override { return nextFile(r); }
    bool pageSetup(const std::string&) override { return true; }
    using ui::Shell::printSheet;
    void printSheet(sheet::Workbook&, sheet::Worksheet& ws, const ui::PrintJob& job) override;
    void previewSheet(sheet::Workbook&, sheet::Worksheet& ws) override;
    void showWorkbook(sheet::Workbook*, bool visible) override { workbookShown.push_back(visible); }
    void openHelp(const std::string& path, bool) override { helpOpened.push_back(path); }
    void endProgram() override { ended = true; }
    void closeMainWindow() override { windowClosed = true; }
    void progressChanged(const ui::ProgressDialog&) override {}
    void logChanged(const ui::LogPane& log) override { lastLog = log.text(); }
    void marksChanged(const ui::CommandMarks&) override { ++marksChanges; }

  private:
    std::string nextFile(const ui::FileDialogRequest& r) {
        fileTitles.push_back(r.title);
        if (files.empty()) return {};
        std::string f = files.front();
        files.pop_front();
        return f;
    }
};

}  // namespace tombra::test
