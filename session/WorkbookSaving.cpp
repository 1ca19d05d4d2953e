#include "session/WorkbookSaving.h"

#include "session/Session.h"
#include "sheet/Workbook.h"

namespace tombra {

namespace {

std::string fileName(const sheet::Workbook& workbook) {
    return workbook.path().filename().string();
}

std::string changedQuestion(const sheet::Workbook& workbook) {
    return "「" + fileName(workbook) +
           "」は読み込んだ後に別のプログラムで変更されています。\n"
           "（" +
           workbook.path().string() +
           "）\n\n"
           "はい: 上書きする（別のプログラムでの変更は失われます）\n"
           "いいえ: 名前を付けて保存する\n"
           "キャンセル: 保存しない";
}

}  // namespace

bool saveWorkbookChecked(Session& session, sheet::Workbook& workbook) {
    switch (workbook.diskState()) {
        case sheet::Workbook::DiskState::Changed:
            switch (session.shell.message(changedQuestion(workbook), ui::Buttons::YesNoCancel)) {
                case ui::Answer::Yes:
                    session.host.save(workbook, true);
                    return true;
                case ui::Answer::No:
                    if (const std::string name = askSaveName(session); !name.empty()) {
                        saveWorkbookUnder(session, workbook, name);
                        return true;
                    }
                    break;
                default:
                    break;
            }
            session.tell("「" + fileName(workbook) + "」は保存しませんでした");
            return false;
        case sheet::Workbook::DiskState::Missing:
            session.host.save(workbook);
            session.log.append("「" + workbook.path().string() +
                               "」が見つからなかったため、新しく書き込みました");
            return true;
        case sheet::Workbook::DiskState::Unchanged:
            break;
    }
    session.host.save(workbook);
    return true;
}

bool settleUnsavedWorkbooks(Session& session, const sheet::Workbook* keep) {
    for (sheet::Workbook* workbook : session.host.workbooks()) {
        if (workbook == keep || !workbook->hasUnsavedChanges()) continue;
        switch (session.shell.message("「" + fileName(*workbook) + "」への変更を保存しますか",
                                      ui::Buttons::YesNoCancel)) {
            case ui::Answer::Yes:
                if (!saveWorkbookChecked(session, *workbook)) return false;
                break;
            case ui::Answer::No:
                session.log.append("「" + fileName(*workbook) + "」への変更を保存しませんでした");
                session.host.close(*workbook);
                break;
            default:
                return false;
        }
    }
    return true;
}

std::string askSaveName(Session& session) {
    return session.shell.saveFileName({"名前を付けて保存", "すべてのﾌｧｲﾙ (*.*)|*.*", {}});
}

void saveWorkbookUnder(Session& session, sheet::Workbook& workbook, const std::string& name) {
    session.host.setVisible(true);
    // A failed save throws before the path moves: it moves only once the workbook is there.
    session.host.saveAs(workbook, name);
    session.state.WorkbookPath = workbook.path().string();
    session.host.setVisible(false);
}

}  // namespace tombra
