#pragma once

namespace tombra::render {

class SheetLayout;

// Lets a row grow to fit what it shows, without putting fonts into the page geometry.
class RowMeasure {
  public:
    virtual ~RowMeasure() = default;
    // The height (points) row `row` should take, given the height the sheet states for it;
    // `columns` already knows the widths of the print area's columns.
    virtual double fittedHeight(int row, double height, const SheetLayout& columns) = 0;
};

}  // namespace tombra::render
