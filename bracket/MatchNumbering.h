#pragma once

// After the lines are drawn every match mark "○" is either replaced by a match label such as
// "2-5" (round ordinal, running number of that round) or removed. Labelling also writes the
// time-table sheet the office types the results into.

#include <string>

#include "ui/Form.h"

namespace tombra::sheet {
class Workbook;
class Worksheet;
}  // namespace tombra::sheet

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::bracket {}

namespace tombra::bracket {

const ui::FormSpec& numberingForm();

struct NumberingChoice {
    bool number = false;  // "ナンバリングする"
    bool erase = false;   // "ナンバリングしない"
    int fontSize = 7;
};

// A font size typed into a dialog, rounded; one no font has keeps `usual`.
int fontSizeFromText(const std::string& typed, int usual);

// Shows Form12 and reads its answer.
NumberingChoice askNumbering(Session& session);

// Empties every cell of the line columns G..U that holds exactly the match mark.
void eraseNumbering(Session& session, sheet::Worksheet& bracketSheet);

// Labels the marks page by page and round by round, and writes the time-table sheet (the
// bracket sheet's name & "ＴＢ", added when missing).
void numberMatches(Session& session, sheet::Workbook& workbook, sheet::Worksheet& bracketSheet,
                   int fontSize);

std::string timeTableSheetName(const std::string& bracketSheetName);

// The hidden copy of the bracket sheet as it was before the first match record; a bracket
// built anew empties it, so that the next record takes its copy again.
std::string recordBaseSheetName(const std::string& bracketSheetName);

}  // namespace tombra::bracket
