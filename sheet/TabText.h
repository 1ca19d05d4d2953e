#pragma once

// Ranges of cells as tab-separated text, the form spreadsheet programs copy and paste in: a
// line a row, a tab between cells, a cell holding a tab, a line break or a quote put in quotes
// with its quotes doubled.

#include <string>
#include <string_view>
#include <vector>

#include "sheet/CellAddress.h"

namespace tombra::sheet {

class Worksheet;

std::string tabText(const Worksheet& sheet, const Area& area);

// The rows of cells a tab-separated text holds; "\r\n" reads as "\n", and the line break
// that ends the last row adds no empty row.
std::vector<std::vector<std::string>> parseTabText(std::string_view text);

}  // namespace tombra::sheet
