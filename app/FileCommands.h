#pragma once

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::app {

// The File menu's own commands and the print items of the 印刷 menu.
void saveWorkbook(Session& session);                // 上書き保存(&S)
void saveWorkbookAs(Session& session);              // 名前を付けて保存(&A)...
void saveAllWorkbooks(Session& session);            // すべて保存(&L)
void pageSetup(Session& session);                   // ﾍﾟｰｼﾞ設定(&U)...
void printBracketSheet(Session& session);           // 印刷(&P)...
void previewBracketSheet(Session& session);         // 印刷ﾌﾟﾚﾋﾞｭｰ(&V)
void printBracketSheetVisibly(Session& session);    // 印刷(&I))
void previewBracketSheetVisibly(Session& session);  // 印刷プレビュー(&P)
// 最新の情報に更新(&R): the workbook read again when its file changed (asked first when that
// would lose unsaved changes), then shown.
void refreshWorkbook(Session& session);

}  // namespace tombra::app
