#include "bracket/SheetPreparation.h"

#include <algorithm>
#include <optional>

#include "sheet/PageSetup.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

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

void fitBlockColumns(sheet::Worksheet& ws, const std::vector<sheet::Area>& blocks) {
    if (blocks.empty()) return;
    int right = 2;
    for (const sheet::Area& b : blocks) right = std::max(right, b.right);
    ws.autoFitColumns(sheet::Area{blocks.front().top, 2, blocks.back().bottom, right});
    double widest = 0;
    for (int c = 3; c <= right; ++c) widest = std::max(widest, ws.columnWidth(c));
    if (widest > 0) ws.setColumnWidth(sheet::Area{1, 3, 1, right}, widest);
}

void laySheetOnPages(sheet::Worksheet& ws, const std::vector<sheet::Area>& blocks) {
    sheet::PageSetup setup = ws.pageSetup();
    setup.fitToPage = true;
    setup.fitToWidth = 1;
    setup.fitToHeight = 0;
    ws.setPageSetup(setup);
    ws.clearPageBreaks();
    const std::optional<sheet::Area> used = ws.usedArea();
    if (!used) return;
    double width = 0;
    for (int c = used->left; c <= used->right; ++c) width += ws.columnWidthPoints(c);
    const sheet::PrintableArea paper = sheet::printableArea(setup);
    const double scale = width > 0 ? std::min(1.0, paper.width / width) : 1.0;
    const double pageHeight = paper.height / scale;
    auto height = [&ws](int from, int to) {
        double h = 0;
        for (int r = from; r <= to; ++r) h += ws.rowHeight(r);
        return h;
    };
    int pageTop = 1;
    for (const sheet::Area& block : blocks) {
        if (block.top > pageTop && height(pageTop, block.bottom) > pageHeight) {
            ws.addPageBreakBefore(block.top);
            pageTop = block.top;
        }
    }
}

}  // namespace tombra::bracket
