#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "batch/Script.h"
#include "batch/Transcript.h"
#include "ui/Shell.h"

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::app {}

namespace tombra::batch {

// The shell of a scripted run: answers what commands ask with the current step's scripted
// answers and writes everything the program shows into the transcript.
class BatchShell : public ui::Shell {
  public:
    struct Settings {
        std::filesystem::path scriptFolder;           // relative file answers start here
        std::optional<std::filesystem::path> pdfDir;  // else beside the workbook
    };

    // Thrown through a running command when the program ends or the script proves wrong. Not a
    // std::exception, so that a command's own error handling lets it pass; and once halted,
    // every further question throws again, should a command swallow it anyway.
    struct Halt {};

    BatchShell(Transcript& transcript, Settings settings);
    // The session whose main window closeMainWindow closes.
    void attach(Session& session) { session_ = &session; }

    void beginStep(const Step& step);
    // Ends the step; returns notes on what the step gave that nothing asked for.
    std::vector<std::string> endStep();

    bool ended() const { return ended_; }
    // The script error that stopped the run, without the "スクリプトの誤り: " prefix.
    const std::optional<std::string>& scriptError() const { return error_; }
    bool halted() const { return ended_ || error_.has_value(); }

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
    void openHelp(const std::string& path, bool search) override;
    void endProgram() override;
    void closeMainWindow() override;
    void progressChanged(const ui::ProgressDialog& progress) override;
    // The log and the marks go into the transcript once, at the end of the run.
    void logChanged(const ui::LogPane&) override {}
    void marksChanged(const ui::CommandMarks&) override {}

  private:
    void record(const char* event,
                nlohmann::ordered_json fields = nlohmann::ordered_json::object());
    [[noreturn]] void fail(const std::string& message);
    void throwIfHalted() const;
    std::string at() const;
    std::string chooseFile(const ui::FileDialogRequest& request);
    void setControl(ui::Form& form, const std::string& control, const ControlValue& value);
    bool pressable(const ui::Form& form, const std::string& button, bool named);
    void exportPdf(sheet::Workbook& workbook, sheet::Worksheet& sheet,
                   const std::string& document = {});

    Transcript& transcript_;
    Settings settings_;
    Session* session_ = nullptr;
    std::optional<Step> step_;  // a copy: the shell never depends on how long the script lives
    size_t nextAnswer_ = 0;
    size_t nextFile_ = 0;
    std::set<std::string> shownForms_;
    std::string progressCaption_;
    bool progressShown_ = false;
    bool ended_ = false;
    std::optional<std::string> error_;
};

}  // namespace tombra::batch
