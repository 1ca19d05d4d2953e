#pragma once

#include <string>

namespace tombra::sheet {
class Workbook;
class Worksheet;
}  // namespace tombra::sheet

namespace tombra::bracket {

// The sheet of that name; added after the last sheet when the workbook has none.
sheet::Worksheet& sheetOrNew(sheet::Workbook& workbook, const std::string& name);

// The same, emptied: contents, formats, merges and manual page breaks.
sheet::Worksheet& clearedSheet(sheet::Workbook& workbook, const std::string& name);

}  // namespace tombra::bracket
