#include "render/BorderStroke.h"

#include <QLineF>
#include <QPainter>
#include <QPen>

namespace tombra::render {

namespace xl = sheet::xl;

double BorderStroke::widthPoints(int weight) {
    switch (weight) {
        case xl::Hairline:
            return 0.5;
        case xl::Medium:
            return 1.5;
        case xl::Thick:
            return 2.25;
        default:
            return 0.75;
    }
}

int BorderStroke::rank(const sheet::BorderLine& line) {
    if (!line.present()) return 0;
    int weight = 2;
    switch (line.weight) {
        case xl::Hairline:
            weight = 1;
            break;
        case xl::Medium:
            weight = 3;
            break;
        case xl::Thick:
            weight = 4;
            break;
        default:
            break;
    }
    // A double line is as heavy as a thick one; among equals, solid beats broken lines.
    if (line.lineStyle == xl::Double) weight = 4;
    int style = 1;
    switch (line.lineStyle) {
        case xl::Double:
            style = 7;
            break;
        case xl::Continuous:
            style = 6;
            break;
        case xl::Dash:
            style = 5;
            break;
        case xl::SlantDashDot:
        case xl::DashDot:
            style = 4;
            break;
        case xl::DashDotDot:
            style = 3;
            break;
        case xl::Dot:
            style = 2;
            break;
        default:
            break;
    }
    return weight * 10 + style;
}

const sheet::BorderLine& BorderStroke::heavier(const sheet::BorderLine& a,
                                               const sheet::BorderLine& b) {
    return rank(b) > rank(a) ? b : a;
}

void BorderStroke::draw(QPainter& painter, QPointF from, QPointF to, double paperPerUnit) const {
    if (!line_.present() || paperPerUnit <= 0) return;
    const QColor colour = QColor::fromRgb(static_cast<QRgb>(line_.rgb) | 0xFF000000u);
    const double unitsPerPaperPoint = 1.0 / paperPerUnit;

    if (line_.lineStyle == xl::Double) {
        // Two thin lines with a thin gap, as wide together as a thick line.
        QPen pen(colour, 0.6 * unitsPerPaperPoint, Qt::SolidLine, Qt::SquareCap);
        painter.setPen(pen);
        const QLineF base(from, to);
        QPointF normal = QLineF(base.normalVector().unitVector()).p2() - base.p1();
        const QPointF offset = normal * (0.8 * unitsPerPaperPoint);
        painter.drawLine(QLineF(from + offset, to + offset));
        painter.drawLine(QLineF(from - offset, to - offset));
        return;
    }

    const double width = widthPoints(line_.weight);
    QPen pen(colour, width * unitsPerPaperPoint);
    // Solid lines reach into the corners so that edges meet without a notch.
    pen.setCapStyle(line_.lineStyle == xl::Continuous ? Qt::SquareCap : Qt::FlatCap);
    // Dash patterns are in pen widths; keep the dashes about as long on paper at every weight.
    const double unit = 1.5 / width;
    switch (line_.lineStyle) {
        case xl::Dash:
            pen.setDashPattern({3 * unit, 1.5 * unit});
            break;
        case xl::Dot:
            pen.setDashPattern({0.75 * unit, 0.75 * unit});
            break;
        case xl::DashDot:
        case xl::SlantDashDot:
            pen.setDashPattern({3 * unit, 1.5 * unit, 0.75 * unit, 1.5 * unit});
            break;
        case xl::DashDotDot:
            pen.setDashPattern(
                {3 * unit, 1.5 * unit, 0.75 * unit, 1.5 * unit, 0.75 * unit, 1.5 * unit});
            break;
        default:
            break;
    }
    painter.setPen(pen);
    painter.drawLine(QLineF(from, to));
}

}  // namespace tombra::render
