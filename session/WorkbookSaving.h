#pragma once

// Saving the organiser's workbook, as the File menu and the ways out do it. A file that
// another program changed after we read it is not overwritten without the user's word; a
// deleted file is written anew. Failures throw WorkbookError, saying why.

#include <string>

namespace tombra::sheet {
class Workbook;
}  // namespace tombra::sheet

namespace tombra {

class Session;

// 上書き保存. True when the workbook is on disk afterwards (saved now, or already there).
bool saveWorkbookChecked(Session& session, sheet::Workbook& workbook);

// The name asked for by "名前を付けて保存"; "" when the user cancelled.
std::string askSaveName(Session& session);

// Before the program lets workbooks go (another one opened, the way out): for each held
// workbook with unsaved changes but `keep`, asks "「name」への変更を保存しますか". はい saves it
// (a save that does not complete counts as キャンセル), いいえ lets it go with its changes,
// キャンセル stops at once. False when the user stopped; nothing was let go then but what
// the user answered いいえ for.
bool settleUnsavedWorkbooks(Session& session, const sheet::Workbook* keep = nullptr);

// Saves under `name`, which becomes the workbook's file.
void saveWorkbookUnder(Session& session, sheet::Workbook& workbook, const std::string& name);

}  // namespace tombra
