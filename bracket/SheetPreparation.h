#pragma once

#include <string>
#include <vector>

#include "sheet/CellAddress.h"

namespace tombra::sheet {
class Workbook;
class Worksheet;
}  // namespace tombra::sheet

namespace tombra::bracket {

// The sheet of that name; added after the last sheet when the workbook has none.
sheet::Worksheet& sheetOrNew(sheet::Workbook& workbook, const std::string& name);

// The same, emptied: contents, formats, merges and manual page breaks.
sheet::Worksheet& clearedSheet(sheet::Workbook& workbook, const std::string& name);

// Widths that show every name of a sheet of league tables on one line: the name column (B)
// fitted to its members and group titles, the result columns all as wide as the widest name.
void fitBlockColumns(sheet::Worksheet& sheet, const std::vector<sheet::Area>& blocks);

// A sheet of blocks (league tables, one per group) printed fitted to the paper's width, no
// block split over two sheets of paper: a new page starts at the top of a block that would
// run over the page's foot.
void laySheetOnPages(sheet::Worksheet& sheet, const std::vector<sheet::Area>& blocks);

}  // namespace tombra::bracket
