#pragma once

#include <QPointF>

#include "sheet/CellFormat.h"

class QPainter;

namespace tombra::render {

// How one border edge looks on paper: its width, colour and dash pattern.
class BorderStroke {
  public:
    explicit BorderStroke(const sheet::BorderLine& line) : line_(line) {}

    // Line width on paper in points: hairline 0.5, thin 0.75, medium 1.5, thick 2.25.
    static double widthPoints(int weight);
    // Orders lines by how heavy they look; where two cells share an edge the heavier wins.
    static int rank(const sheet::BorderLine& line);
    static const sheet::BorderLine& heavier(const sheet::BorderLine& a, const sheet::BorderLine& b);

    // Draws the edge from `from` to `to` (a horizontal or vertical segment in user space).
    // `paperPerUnit`: paper points per user unit, so that widths stay the same on paper
    // whatever the sheet's scale.
    void draw(QPainter& painter, QPointF from, QPointF to, double paperPerUnit) const;

  private:
    sheet::BorderLine line_;
};

}  // namespace tombra::render
