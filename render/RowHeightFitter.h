#pragma once

#include <QImage>
#include <unordered_map>
#include <vector>

#include "render/CellTextLayout.h"
#include "render/RowMeasure.h"
#include "sheet/CellAddress.h"

namespace tombra::sheet {
class Worksheet;
}

namespace tombra::render {

// Rows the sheet leaves at its default height are auto-height rows in the spreadsheet: they
// grow to show a larger font, several lines or wrapped text. Rows given any other height
// keep it. (A row given exactly the default height is indistinguishable and may grow too.)
// Merged ranges count only for their font, as in the spreadsheet.
class RowHeightFitter : public RowMeasure {
  public:
    explicit RowHeightFitter(const sheet::Worksheet& sheet);
    double fittedHeight(int row, double height, const SheetLayout& columns) override;

  private:
    const sheet::Area* mergeAt(int row, int column) const;

    const sheet::Worksheet& sheet_;
    double defaultHeight_ = 0;
    QImage device_;  // only measured against: 72 dpi, so one unit is one point
    CellTextLayout text_;
    std::vector<sheet::Area> merges_;
    std::unordered_map<int, std::vector<size_t>> mergesByRow_;  // row -> merges over it
};

}  // namespace tombra::render
