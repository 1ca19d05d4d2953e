#pragma once

// "ヤグラ（個人・団体）作成(&Y)": writes the drawn bracket into the event's bracket sheet,
// page by page, with its lines, then numbers the matches or removes the marks, formats the
// columns and writes the school position sheet.

namespace tombra::sheet {
class Workbook;
class Worksheet;
}  // namespace tombra::sheet

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::bracket {

void buildBracketSheet(Session& session);

// The same sheet with its names left out, for a bracket printed before the draw is known:
// numbers, affiliations, lines and match labels only. The title is always the event's; the
// sheets it writes are added when the workbook lacks them.
void writeBlankBracketSheet(Session& session, sheet::Workbook& workbook);

// Alignment and widths of the finished bracket sheet.
void formatBracketColumns(sheet::Worksheet& sheet);

// Team events have no separate affiliation: the "(", affiliation, ")" columns of both halves
// go, and the line columns close up.
void removeAffiliationColumns(sheet::Worksheet& sheet);

}  // namespace tombra::bracket
