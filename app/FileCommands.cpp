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

void refreshWorkbook(Session& session) {
    const std::string& path = session.state.WorkbookPath;
    if (path.empty()) return;
    if (sheet::Workbook* held = session.host.held(path)) {
        const std::string name = held->path().filename().string();
        switch (held->diskState()) {
            case sheet::Workbook::DiskState::Missing:
                session.tell("「" + name +
                             "」が見つかりません。表示しているのは読み込んだときの内容です");
                break;
            case sheet::Workbook::DiskState::Changed:
                // Only キャンセル is safe when nobody answers: the unsaved changes stay.
                if (held->hasUnsavedChanges() &&
                    session.shell.message("「" + name +
                                              "」は別のプログラムで変更されています。\n"
                                              "読み込み直すと、保存していない変更は失われます。"
                                              "読み込み直しますか",
                                          ui::Buttons::YesNoCancel) == ui::Answer::Yes) {
                    held->reload();
                    session.log.append("「" + name + "」を読み込み直しました");
                }
                break;
            case sheet::Workbook::DiskState::Unchanged:
                break;
        }
    }
    // Attaching reads a file that changed under a workbook without unsaved changes.
    if (session.attachWorkbook()) session.host.setVisible(true);
}

}  // namespace tombra::app
