#include "EntryWorkbook.h"

#include <charconv>
#include <fstream>
#include <stdexcept>

#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "sheet/ZipPackage.h"
#include "support/TestFiles.h"

namespace tombra::test {

void writeEntryWorkbook(const std::filesystem::path& path,
                        const std::vector<SheetContent>& sheets) {
    auto workbook = sheet::Workbook::open(testData("blank.xlsx"));
    for (const SheetContent& content : sheets) {
        sheet::Worksheet& ws = workbook->addSheet(content.name);
        for (size_t r = 0; r < content.rows.size(); ++r) {
            const int row = content.firstRow + static_cast<int>(r);
            for (size_t c = 0; c < content.rows[r].size(); ++c) {
                const std::string& cell = content.rows[r][c];
                const int column = static_cast<int>(c) + 1;
                if (cell.empty()) continue;
                if (cell.front() == '\'') {
                    ws.setText(row, column, cell.substr(1));
                    continue;
                }
                double number = 0;
                auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), number);
                if (error == std::errc{} && end == cell.data() + cell.size())
                    ws.setNumber(row, column, number);
                else
                    ws.setText(row, column, cell);
            }
        }
    }
    workbook->saveAs(path);
}

void damageLastSheet(const std::filesystem::path& path) {
    sheet::ZipPackage package(readFile(path));
    std::string last;
    for (const std::string& name : package.partNames())
        if (name.starts_with("xl/worksheets/sheet")) last = name;
    std::string xml = package.read(last);
    const size_t row = xml.find("<row r=\"");
    if (row == std::string::npos) throw std::runtime_error(last + " has no rows to damage");
    xml.insert(row, "<row r=\"0\"/>");
    package.write(last, xml);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << package.save();
}

SheetContent tallySheet(int schools) {
    SheetContent tally{"集計", {}, 4};
    for (int s = 1; s <= schools; ++s) tally.rows.push_back({std::to_string(s)});
    return tally;
}

}  // namespace tombra::test
