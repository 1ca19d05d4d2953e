#include "app/ProgramCommands.h"

#include <charconv>
#include <filesystem>

#include "session/CommandIds.h"
#include "session/Session.h"
#include "session/WorkbookSaving.h"
#include "sheet/Constants.h"
#include "sheet/WorkbookError.h"

namespace tombra::app {

namespace {

// Steps 1 to 4 shared by both exit items: attach, show the host minimised, let it go when it
// never started properly, save the active workbook.
void exitSteps(Session& session) {
    session.attachWorkbook();
    session.host.setVisible(true);
    session.host.setWindowState(sheet::xl::WindowMinimized);
    if (session.state.ExcelStartFailed == -1) session.host.quit();
    if (sheet::Workbook* active = session.host.activeWorkbook()) {
        try {
            saveWorkbookChecked(session, *active);
        } catch (const sheet::WorkbookError& e) {
            session.tell(e.what());  // reported, and the way out goes on
        }
    }
}

// "終了時エクセルを残す" of the settings dialog; ticked until the user unticks it.
bool keepHostAtExit(Session& session) {
    ui::Form* settings = session.forms.find("Form1");
    return !settings || !settings->has("Check2") || settings->value("Check2");
}

}  // namespace

void startUp(Session& session) {
    session.marks.set(ids::kViewToolbar, true);
    session.marks.set(ids::kViewStatusBar, true);
}

std::string versionText(const std::string& version) {
    std::string out = "ﾊﾞｰｼﾞｮﾝ ";
    size_t start = 0;
    for (int part = 0; part < 3; ++part) {
        size_t dot = version.find('.', start);
        std::string_view piece = std::string_view(version).substr(
            start, dot == std::string::npos ? std::string::npos : dot - start);
        long n = 0;
        std::from_chars(piece.data(), piece.data() + piece.size(), n);
        if (part) out += '.';
        out += std::to_string(n);
        if (dot == std::string::npos) {
            for (int rest = part + 1; rest < 3; ++rest) out += ".0";
            break;
        }
        start = dot + 1;
    }
    return out;
}

void showVersion(Session& session) { session.tell(versionText(TOMBRA_VERSION)); }

namespace {
void openHelpFile(Session& session, bool search) {
    // The help file carries the program folder's name: "<folder>.hlp".
    std::string path = session.programFolder.string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    path += ".hlp";
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) session.shell.openHelp(path, search);
}
}  // namespace

void helpContents(Session& session) { openHelpFile(session, false); }
void helpSearch(Session& session) { openHelpFile(session, true); }

void clearLog(Session& session) { session.log.clear(); }

void toggleToolbar(Session& session) {
    session.marks.set(ids::kViewToolbar, !session.marks.checked(ids::kViewToolbar));
}

void toggleStatusBar(Session& session) {
    session.marks.set(ids::kViewStatusBar, !session.marks.checked(ids::kViewStatusBar));
}

namespace {
// Every workbook with unsaved changes saved or given up; false when the user would rather
// stay, or a save failed (and the user was told why).
bool workbooksSettled(Session& session) {
    try {
        return settleUnsavedWorkbooks(session);
    } catch (const sheet::WorkbookError& e) {
        session.tell(e.what());
        return false;
    }
}
}  // namespace

void endProgram(Session& session) {
    exitSteps(session);
    if (!workbooksSettled(session)) return;
    if (!keepHostAtExit(session)) session.host.quit();
    session.shell.endProgram();
}

void fileExit(Session& session) {
    exitSteps(session);
    session.shell.closeMainWindow();
}

bool mainWindowClosing(Session& session) {
    if (!workbooksSettled(session)) return false;
    try {
        session.attachWorkbook();
        session.host.setVisible(true);
        session.host.setWindowState(sheet::xl::WindowMinimized);
        if (session.state.ExcelStartFailed == -1) session.host.quit();
    } catch (...) {
        // The way out never stops on an error once the workbooks are safe.
    }
    return true;
}

void placeholderFileNew(Session& session) {
    session.tell(" 'mnuFileNew_Click' のｺｰﾄﾞを追加します。");
}
void placeholderFileClose(Session& session) {
    session.tell(" 'mnuFileClose_Click' のｺｰﾄﾞを追加します。");
}
void placeholderFileProperties(Session& session) {
    session.tell(" 'mnuFileProperties_Click' のｺｰﾄﾞを追加します。");
}

std::string placeholderButtonText(const std::string& key) {
    return " '" + key + "' ﾎﾞﾀﾝのｺｰﾄﾞを追加します。";
}

}  // namespace tombra::app
