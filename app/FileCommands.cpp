#include "app/FileCommands.h"

#include "session/CommandIds.h"
#include "session/Session.h"
#include "session/WorkbookSaving.h"
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
    if (wb) saveWorkbookChecked(session, *wb);
}

void saveAllWorkbooks(Session& session) {
    if (sheet::Workbook* wb = session.attachWorkbook()) saveWorkbookChecked(session, *wb);
}

void saveWorkbookAs(Session& session) {
    sheet::Workbook* wb = session.attachWorkbook();
    const std::string name = askSaveName(session);
    if (name.empty() || !wb) return;
    saveWorkbookUnder(session, *wb, name);
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
