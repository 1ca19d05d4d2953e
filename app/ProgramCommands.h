#pragma once

#include <string>

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::app {

// Start-up: the marks the window starts with.
void startUp(Session& session);

// The version message text, "ﾊﾞｰｼﾞｮﾝ 3.8.8" for version "3.08.0008".
std::string versionText(const std::string& version);

void showVersion(Session& session);      // ﾊﾞｰｼﾞｮﾝ情報(&A)
void helpContents(Session& session);     // 目次(&C)
void helpSearch(Session& session);       // ﾄﾋﾟｯｸの検索(&S)...
void clearLog(Session& session);         // 画面消去(&C)
void toggleToolbar(Session& session);    // ﾂｰﾙ ﾊﾞｰ(&T)
void toggleStatusBar(Session& session);  // ｽﾃｰﾀｽ ﾊﾞｰ(&B)

// The three ways out, each step skipped when it fails. Before any workbook is let go, each
// one with unsaved changes is saved or given up as the user answers; キャンセル, or a save
// that fails, keeps the program running.
void endProgram(Session& session);  // the top-level 終了(&X)
void fileExit(Session& session);    // ﾌｧｲﾙ > 終了(&X)
// What closing the main window does; the window calls it from its close event and stays open
// when this answers false.
bool mainWindowClosing(Session& session);

// The placeholder messages of items and buttons that have no command yet.
void placeholderFileNew(Session& session);
void placeholderFileClose(Session& session);
void placeholderFileProperties(Session& session);
std::string placeholderButtonText(const std::string& key);

}  // namespace tombra::app
