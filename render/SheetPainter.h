#pragma once

#include "render/SheetLayout.h"

class QPainter;

namespace tombra::sheet {
class Worksheet;
}

namespace tombra::render {

// Paints the pages of a laid-out worksheet: cell texts, then the border lines over them.
// Merged ranges paint once with their top-left cell's value and format. No gridlines: the
// spreadsheet does not print them.
class SheetPainter {
  public:
    SheetPainter(const sheet::Worksheet& sheet, const SheetLayout& layout);

    // Paints one page. The painter's origin must be the top-left corner of the printable
    // area and `devicePerPoint` the device units per point of paper.
    void paintPage(QPainter& painter, int page, double devicePerPoint) const;

  private:
    struct PageGrid;
    void paintTexts(QPainter& painter, const PageGrid& grid) const;
    void paintBorders(QPainter& painter, const PageGrid& grid) const;

    const sheet::Worksheet& sheet_;
    const SheetLayout& layout_;
};

}  // namespace tombra::render
