#pragma once

#include <QRectF>
#include <QString>

#include "render/CellTextLayout.h"
#include "sheet/CellFormat.h"
#include "sheet/CellValue.h"

class QPainter;

namespace tombra::render {

// Paints the text of one cell (or merged range) the way the spreadsheet shows it: font,
// horizontal and vertical alignment, line breaks, wrapping and distributed text. Works in
// the painter's user space, where one unit is one point of the sheet.
class CellTextPainter {
  public:
    explicit CellTextPainter(QPainter& painter);

    CellTextLayout& layout() { return layout_; }

    // Paints `text` aligned within `cell`; nothing outside `clip` is touched.
    void paint(const QString& text, const sheet::CellFormat& format, sheet::CellValue::Kind kind,
               const QRectF& cell, const QRectF& clip);

  private:
    void paintDistributed(const CellTextLayout::Line& line, const QFont& font, double left,
                          double width, double baseline);

    QPainter& painter_;
    CellTextLayout layout_;
};

}  // namespace tombra::render
