#include "intake/OpenCommand.h"

#include "intake/EntryReader.h"
#include "intake/SettingsDialogs.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/WorkbookError.h"

namespace tombra::intake {

void openEntries(Session& session) {
    TournamentState& s = session.state;
    s.resetAtOpen();
    session.log.clear();
    session.marks.clear(ids::kPlacementAndOutput);
    session.marks.set(ids::kFileOpen, true);

    askSettings(session);
    if (s.GenderName == "キャンセル") return;
    s.setOpenConstants();

    if (!session.host.start()) s.ExcelStartFailed = -1;
    session.host.announceRunningHost();

    const std::string path =
        session.shell.openFileName({"DATAを開く", "すべてのﾌｧｲﾙ (*.*)|*.*", {}});
    if (path.empty()) return;

    sheet::Workbook* workbook = nullptr;
    try {
        workbook = &session.host.attach(path);
    } catch (const sheet::WorkbookError& e) {
        // Reading nothing without a word would look like an empty entry sheet.
        session.tell(path + " を開けません\n" + e.what());
        return;
    }
    s.WorkbookPath = path;
    session.host.setVisible(false);
    readEntries(session, *workbook);
}

}  // namespace tombra::intake
