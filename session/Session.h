#pragma once

#include <filesystem>
#include <memory>

#include "session/CommandHistory.h"
#include "sheet/EditHistory.h"
#include "sheet/SpreadsheetHost.h"
#include "state/RandomSource.h"
#include "state/TournamentState.h"
#include "ui/CommandMarks.h"
#include "ui/Form.h"
#include "ui/LogPane.h"
#include "ui/ProgressDialog.h"
#include "ui/Shell.h"

namespace tombra {

// Everything a command may touch. One session lives as long as the program.
class Session {
  public:
    Session(ui::Shell& shell, std::filesystem::path programFolder);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ui::Shell& shell;
    TournamentState state;
    RandomSource random;
    sheet::SpreadsheetHost host;
    ui::Forms forms;
    ui::CommandMarks marks;
    ui::LogPane log;
    ui::ProgressDialog progress;
    // What the user typed into the workbook (the window, a script's "cells"), to undo.
    sheet::EditHistory edits;
    // The commands since File > Open, to take back (元に戻す).
    CommandHistory history;
    // The folder the program runs from (the help file is named after it).
    std::filesystem::path programFolder;

    // Shows a message with only OK.
    void tell(const std::string& text) { shell.tell(text); }

    // The workbook at WorkbookPath, attached anew; nullptr when there is none to attach to
    // (commands that ignore host errors go on without it).
    sheet::Workbook* attachWorkbook();
    // The same, for a command that needs the workbook: when there is none the user is told to
    // open one first.
    sheet::Workbook* workbookOrTell();
    // The event's bracket sheet, GenderName & EventCode.
    std::string bracketSheetName() const { return state.GenderName + state.EventCode; }

  private:
    class HostBridge;
    std::unique_ptr<HostBridge> bridge_;
};

}  // namespace tombra
