#pragma once

#include <string>
#include <vector>

#include "session/CommandGuard.h"

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::app {

// One item of the menu bar. `id` names it for commands, marks and scripts: its control name,
// or its caption where it has none.
struct MenuItem {
    std::string caption;
    std::string id;
    std::string shortcut;       // "Ctrl+N", or ""
    Command command = nullptr;  // nullptr: the item is shown disabled
    bool separator = false;
    bool visible = true;
    bool checkedAtStart = false;
    // Acts on the workbook window's selection (undo, cut, copy, paste): the window answers it.
    // 元に戻す has a command as well: the window answers only typing newer than any command.
    bool windowEdit = false;
    // 1..3: the window opens its recent workbook of that number through 開く (hidden until
    // there is one).
    int recentFile = 0;
    // Whether 元に戻す takes the command back as a step.
    UndoRole undo = UndoRole::Step;
    std::vector<MenuItem> children;

    bool isSeparator() const { return separator; }
    bool enabled() const {
        return command != nullptr || windowEdit || recentFile > 0 || !children.empty();
    }
};

struct ToolbarButton {
    std::string key;  // also its text and tooltip
    Command command = nullptr;
    std::string windowEdit;  // the id of the window-edit item it runs, or ""
    UndoRole undo = UndoRole::Outside;
};

// The whole menu tree, left to right and top to bottom, separators included.
const std::vector<MenuItem>& menuBar();
const std::vector<ToolbarButton>& toolbarButtons();

// An item by menu path ("ﾌｧｲﾙ(&F)/開く(&O)...") or by id ("mnuFileOpen"); nullptr when none.
const MenuItem* findMenuItem(const std::string& pathOrId);

// Runs an item's command, or the toolbar button's, through the command guard; false when it
// has no command.
bool runMenuItem(Session& session, const MenuItem& item);
bool runToolbarButton(Session& session, const std::string& key);

}  // namespace tombra::app
