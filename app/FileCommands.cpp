#include "app/FileCommands.h"

#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/WorkbookError.h"

namespace tombra::app {

namespace {

// The event's bracket sheet in the attached workbook; nullptr when either is missing (the
// print commands then do nothing).
sheet::Worksheet* bracketSheet(Session& session, sheet::Workbook*& wb) {
    wb = session.attachWorkbook();
    if (!wb) return nullptr;
    try {
        return wb->findSheet(session.bracketSheetName());
    } catch (const sheet::WorkbookError&) {
        return nullptr;
    }
}

}  // namespace

void saveWorkbook(Session& session) {
    sheet::Workbook* wb = session.attachWorkbook();
    session.marks.set(ids::kFileSave, true);
    if (wb) session.host.save(*wb);
}

void saveAllWorkbooks(Session& session) {
    if (sheet::Workbook* wb = session.attachWorkbook()) session.host.save(*wb);
}

void saveWorkbookAs(Session& session) {
    sheet::Workbook* wb = session.attachWorkbook();
    std::string name =
        session.shell.saveFileName({"名前を付けて保存", "すべてのﾌｧｲﾙ (*.*)|*.*", {}});
    if (name.empty() || !wb) return;
    session.host.setVisible(true);
    // A failed save throws before the path moves: it moves only once the workbook is there.
    session.host.saveAs(*wb, name);
    session.state.WorkbookPath = wb->path().string();
    session.host.setVisible(false);
}

void pageSetup(Session& session) { session.shell.pageSetup("ﾍﾟｰｼﾞ設定"); }

void printBracketSheet(Session& session) {
    sheet::Workbook* wb;
    if (sheet::Worksheet* ws = bracketSheet(session, wb)) session.host.printSheet(*wb, *ws);
}

void previewBracketSheet(Session& session) {
    sheet::Workbook* wb;
    if (sheet::Worksheet* ws = bracketSheet(session, wb)) session.host.previewSheet(*wb, *ws);
}

void printBracketSheetVisibly(Session& session) {
    sheet::Workbook* wb;
    sheet::Worksheet* ws = bracketSheet(session, wb);
    if (!wb) return;
    session.host.setVisible(true);
    if (ws) session.host.printSheet(*wb, *ws);
}

void previewBracketSheetVisibly(Session& session) {
    sheet::Workbook* wb;
    sheet::Worksheet* ws = bracketSheet(session, wb);
    if (!wb) return;
    session.host.setVisible(true);
    if (!ws) return;
    wb->activate(ws->name());
    session.host.previewSheet(*wb, *ws);
}

}  // namespace tombra::app
