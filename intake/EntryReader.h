#pragma once

#include <optional>
#include <string>

#include "intake/EntryLayout.h"

namespace tombra::sheet {
class CellValue;
class Workbook;
class Worksheet;
}  // namespace tombra::sheet

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::intake {

// Reads the chosen event from its entry sheet into the entry tables, keeping the tally
// sheets "集計", "集計R" and the summary "基礎Ｄ" up to date, drawing a rule under each school
// on the entry sheet, listing schools and seeds in the log and ending with a summary message.
// The settings (GenderName, EventName, the option flags) must be set and the limits of an
// open in place.
//
// A value that cannot be an entry (a school, entry or seed number out of range, or text
// where a number belongs) stops the reading at that row with a message naming the sheet,
// the row and the value; what was read before it is kept, as for a duplicate entry. So does a
// cell the reader needs whose formula has no stored result (the file was never saved by a
// spreadsheet program that calculates).
//
// With "ヤグラ印刷のみ" (BracketPrintOnly "Y") the stand-in entries the settings made are only
// counted and summed up: no sheet is read or written, and none needs to exist.
void readEntries(Session& session, sheet::Workbook& workbook);

// A cell read as a whole number, rounded to nearest with ties to even: empty reads as 0;
// std::nullopt when the cell holds something that is not a number (a number written as
// text is a number).
std::optional<long long> wholeNumberIn(const sheet::CellValue& value);

}  // namespace tombra::intake
