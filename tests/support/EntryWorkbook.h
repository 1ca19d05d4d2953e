#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tombra::test {

// Rows of cells from column A; "" leaves a cell empty, a text that reads wholly as a number is
// written as a number, and a leading "'" keeps the rest as text (as the spreadsheet does).
using SheetRows = std::vector<std::vector<std::string>>;

struct SheetContent {
    std::string name;
    SheetRows rows;
    int firstRow = 1;
};

// A workbook made from the small test workbook with the given sheets added.
void writeEntryWorkbook(const std::filesystem::path& path, const std::vector<SheetContent>& sheets);

// Damages the rows of the workbook's last sheet (a row numbered 0), as a file mangled by
// another program would be: the sheet can no longer be read.
void damageLastSheet(const std::filesystem::path& path);

// "集計" listing the school numbers from row 4, as organisers lay it out.
SheetContent tallySheet(int schools);

}  // namespace tombra::test
