#include "intake/OpenCommand.h"

#include "intake/EntryReader.h"
#include "intake/SettingsDialogs.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "session/WorkbookSaving.h"
#include "sheet/WorkbookError.h"

namespace tombra::intake {

bool startOver(Session& session, const char* command) {
    TournamentState& s = session.state;
    s.resetAtOpen();
    session.log.clear();
    session.marks.clear(ids::kPlacementAndOutput);
    session.marks.set(command, true);
    askSettings(session);
    return s.GenderName != "キャンセル";
}

sheet::Workbook* openChosenWorkbook(Session& session) {
    TournamentState& s = session.state;
    if (!session.host.start()) s.ExcelStartFailed = -1;
    session.host.announceRunningHost();

    const std::string path =
        session.shell.openFileName({"DATAを開く", "すべてのﾌｧｲﾙ (*.*)|*.*", {}});
    if (path.empty()) return nullptr;

    // The workbooks held so far go, their unsaved changes saved or given up as the user says;
    // the chosen one, if held, stays with its changes.
    sheet::Workbook* same = session.host.held(path);
    if (!settleUnsavedWorkbooks(session, same)) {
        // The workbook the user kept stays the one the commands work on.
        const std::vector<sheet::Workbook*> kept = session.host.workbooks();
        sheet::Workbook* active = session.host.activeWorkbook();
        if (active || !kept.empty())
            s.WorkbookPath = (active ? active : kept.front())->path().string();
        session.log.append("開くのをやめました");
        return nullptr;
    }
    for (sheet::Workbook* other : session.host.workbooks())
        if (other != same) session.host.close(*other);

    sheet::Workbook* workbook = nullptr;
    try {
        workbook = &session.host.attach(path);
    } catch (const sheet::WorkbookError& e) {
        // Reading nothing without a word would look like an empty entry sheet.
        session.tell(path + " を開けません\n" + e.what());
        return nullptr;
    }
    s.WorkbookPath = path;
    session.host.setVisible(false);
    return workbook;
}

void openEntries(Session& session) {
    if (!startOver(session, ids::kFileOpen)) return;
    session.state.setOpenConstants();
    if (sheet::Workbook* workbook = openChosenWorkbook(session)) readEntries(session, *workbook);
}

}  // namespace tombra::intake
