#include "bracket/SheetPreparation.h"

#include "sheet/Workbook.h"

namespace tombra::bracket {

sheet::Worksheet& sheetOrNew(sheet::Workbook& workbook, const std::string& name) {
    if (sheet::Worksheet* found = workbook.findSheet(name)) return *found;
    return workbook.addSheet(name);
}

sheet::Worksheet& clearedSheet(sheet::Workbook& workbook, const std::string& name) {
    sheet::Worksheet& ws = sheetOrNew(workbook, name);
    ws.clear(sheet::Area::wholeSheet());
    // A sheet written anew must not keep the pages of an earlier build.
    ws.clearPageBreaks();
    return ws;
}

}  // namespace tombra::bracket
