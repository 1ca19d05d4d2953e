#include "render/RowHeightFitter.h"

#include <algorithm>
#include <cmath>

#include "render/SheetLayout.h"
#include "sheet/Worksheet.h"

namespace tombra::render {

namespace {

QImage measuringDevice() {
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(72.0 / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

}  // namespace

RowHeightFitter::RowHeightFitter(const sheet::Worksheet& sheet)
    : sheet_(sheet), device_(measuringDevice()), text_(&device_) {
    // The sheet's default height is what a row that was never given one reports; the last
    // row of the sheet is (nearly) never given one.
    if (!sheet.rowHidden(sheet::kMaxRow)) defaultHeight_ = sheet.rowHeight(sheet::kMaxRow);
    merges_ = sheet.mergedAreas();
    // Looked up for every filled cell: a bracket has thousands of merges.
    for (size_t i = 0; i < merges_.size(); ++i)
        for (int r = merges_[i].top; r <= merges_[i].bottom; ++r) mergesByRow_[r].push_back(i);
}

const sheet::Area* RowHeightFitter::mergeAt(int row, int column) const {
    auto it = mergesByRow_.find(row);
    if (it == mergesByRow_.end()) return nullptr;
    for (size_t i : it->second)
        if (merges_[i].contains(row, column)) return &merges_[i];
    return nullptr;
}

double RowHeightFitter::fittedHeight(int row, double height, const SheetLayout& columns) {
    if (defaultHeight_ <= 0 || std::abs(height - defaultHeight_) > 1e-9) return height;
    const sheet::Area& area = columns.printArea();
    double fitted = height;
    for (int c = area.left; c <= area.right; ++c) {
        const double width = columns.columnWidth(c);
        if (width <= 0) continue;
        const sheet::CellValue value = sheet_.value(row, c);
        if (value.isEmpty()) continue;
        const QString shown = CellTextLayout::displayText(value.asText());
        sheet::CellFormat format = sheet_.format(row, c);
        if (const sheet::Area* m = mergeAt(row, c)) {
            // A merged range within the row still needs room for its font, but its text is
            // not wrapped to fit (nor is it in the spreadsheet); taller ranges are left alone.
            if (m->top != m->bottom || m->left != c) continue;
            format.wrapText = false;
            format.horizontal = sheet::xl::HAlignLeft;
            format.vertical = sheet::xl::VAlignBottom;
        }
        fitted = std::max(fitted, text_.neededHeight(shown, format, value.kind(), width));
    }
    // The spreadsheet keeps row heights in quarter points.
    return std::ceil(fitted * 4.0 - 1e-9) / 4.0;
}

}  // namespace tombra::render
