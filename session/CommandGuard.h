#pragma once

// Every command runs through one guard, however it was started: a menu item, a toolbar
// button, a shortcut or a step of a batch script. Commands throw; they do not catch to show
// messages of their own. Whatever a command throws ends it where it stands, so nothing more
// is written to the workbook; the guard hides the progress dialog and tells the user in
// Japanese which command stopped and why. The program itself goes on.

#include <exception>
#include <functional>
#include <string>

#include "session/CommandHistory.h"

namespace tombra {

class Session;
using Command = void (*)(Session&);

// Runs `command`; false when it stopped on a failure (the user has been told). `caption`
// names the command to the user: the menu item's or button's caption. `undo` says whether
// 元に戻す can take it back afterwards.
bool runCommand(Session& session, const std::string& caption, Command command,
                UndoRole undo = UndoRole::Outside);
// The same for a piece of work that carries its own data (a script's typed cells).
bool runGuarded(Session& session, const std::string& caption,
                const std::function<void(Session&)>& work);

// What the user reads when the command of `caption` stopped on `failure`: the command, what
// failed and where, and a library's own words only as a detail.
std::string failureMessage(const std::string& caption, const std::exception& failure);

// "開く(&O)..." reads as "開く" in a sentence.
std::string plainCaption(const std::string& caption);

}  // namespace tombra
