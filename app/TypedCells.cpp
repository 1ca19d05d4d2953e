#include "app/TypedCells.h"

#include <map>

#include "session/Session.h"
#include "sheet/CellAddress.h"
#include "sheet/CellInput.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"

namespace tombra::app {

TypedCell typedCellAt(std::string_view reference, std::string text) {
    const size_t bang = reference.rfind('!');
    if (bang == std::string_view::npos || bang == 0)
        throw sheet::WorkbookError("「" + std::string(reference) +
                                   "」はセルを指していません（シート名!B3 の形で書いて下さい）");
    std::string_view sheetName = reference.substr(0, bang);
    if (sheetName.size() >= 2 && sheetName.front() == '\'' && sheetName.back() == '\'')
        sheetName = sheetName.substr(1, sheetName.size() - 2);
    const sheet::Area cell = sheet::parseCellReference(reference.substr(bang + 1));
    return {std::string(sheetName), cell.top, cell.left, std::move(text)};
}

void typeCells(Session& session, const std::vector<TypedCell>& cells) {
    sheet::Workbook* workbook = session.workbookOrTell();
    if (!workbook) return;
    std::map<std::string, std::vector<sheet::CellWrite>> bySheet;
    for (const TypedCell& c : cells) {
        if (!workbook->findSheet(c.sheet)) {
            session.tell("シート「" + c.sheet + "」がありません。何も書き込んでいません");
            return;
        }
        bySheet[c.sheet].push_back({c.row, c.column, sheet::typedValue(c.text)});
    }
    for (const auto& [name, writes] : bySheet) session.edits.write(*workbook, name, writes);
}

}  // namespace tombra::app
