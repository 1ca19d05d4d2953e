#include "app/OpenCommand.h"

#include "app/CommandMap.h"
#include "app/EntryReader.h"
#include "app/Session.h"
#include "app/SettingsDialogs.h"
#include "sheet/WorkbookError.h"

namespace tombra::app {

void openEntries(Session& session) {
    TournamentState& s = session.state;
    s.resetAtOpen();
    session.log.clear();
    session.marks.clear(placementAndOutputMarks());
    session.marks.set("mnuFileOpen", true);

    askSettings(session);
    if (s.GenderName == "キャンセル") return;
    s.setOpenConstants();

    if (!session.host.start()) s.ExcelStartFailed = -1;
    session.host.announceRunningHost();

    const std::string path = session.shell.openFileName({"DATAを開く", "すべてのﾌｧｲﾙ (*.*)|*.*", {}});
    if (path.empty()) return;

    sheet::Workbook* workbook = nullptr;
    try {
        workbook = &session.host.attach(path);
    } catch (const sheet::WorkbookError& e) {
        // Reading nothing without a word would look like an empty entry sheet.
        session.shell.message(path + " を開けません\n" + e.what(), ui::Buttons::Ok);
        return;
    }
    s.WorkbookPath = path;
    session.host.setVisible(false);
    readEntries(session, *workbook);
}

}  // namespace tombra::app
