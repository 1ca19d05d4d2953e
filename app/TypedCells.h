#pragma once

// Typing into the workbook from outside the window: a batch script's "cells", written as the
// workbook window writes what the user types (numbers as numbers, undoable).

#include <string>
#include <string_view>
#include <vector>

namespace tombra {
class Session;
}

namespace tombra::app {

struct TypedCell {
    std::string sheet;
    int row = 0, column = 0;
    std::string text;
};

// "男子ＳＴＢ!B3" or "'Sheet 1'!B3" into its sheet and cell; throws WorkbookError when it
// names no cell.
TypedCell typedCellAt(std::string_view reference, std::string text);

// Writes the texts into the workbook at WorkbookPath, one undoable step a sheet. A sheet the
// workbook lacks is named and nothing is written.
void typeCells(Session& session, const std::vector<TypedCell>& cells);

}  // namespace tombra::app
