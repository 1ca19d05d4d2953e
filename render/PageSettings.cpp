#include "render/PageSettings.h"

namespace tombra::render {

QPageLayout PageSettings::pageLayout() const {
    // Margins in inches are not rounded to whole points, unlike QPageLayout::Point.
    return QPageLayout(pageSize, orientation, marginsInches, QPageLayout::Inch);
}

QRectF PageSettings::paperRectPoints() const { return paperRectPoints(pageLayout()); }

QRectF PageSettings::printableRectPoints() const { return printableRectPoints(pageLayout()); }

namespace {

// Points per unit of the units paper sizes and margins are defined in; 0 for units that
// Qt converts better itself.
double pointsPer(int unit) {
    switch (unit) {
        case QPageLayout::Millimeter:
            return 72.0 / 25.4;
        case QPageLayout::Point:
            return 1.0;
        case QPageLayout::Inch:
            return 72.0;
        case QPageLayout::Pica:
            return 12.0;
        default:
            return 0.0;
    }
}

}  // namespace

// Qt reports sizes in points and inches rounded (A4 is 595 points, 8.27 inches), which
// adds up to half a point of error across a page; work from the exact definitions.
QRectF PageSettings::paperRectPoints(const QPageLayout& layout) {
    const QPageSize& size = layout.pageSize();
    const double k = pointsPer(static_cast<int>(size.definitionUnits()));
    QSizeF paper = k > 0 ? size.definitionSize() * k : QSizeF(size.sizePoints());
    if (layout.orientation() == QPageLayout::Landscape) paper.transpose();
    return QRectF(QPointF(0, 0), paper);
}

QRectF PageSettings::printableRectPoints(const QPageLayout& layout) {
    const QRectF paper = paperRectPoints(layout);
    const double k = pointsPer(static_cast<int>(layout.units()));
    const QMarginsF m = k > 0 ? layout.margins() * k : layout.margins(QPageLayout::Point);
    return paper.marginsRemoved(m);
}

PageSettings PageSettings::fromPageLayout(const QPageLayout& layout) {
    PageSettings s;
    s.pageSize = layout.pageSize();
    s.orientation = layout.orientation();
    s.marginsInches = layout.margins(QPageLayout::Inch);
    return s;
}

PageSettings PageSettings::fromPageSetup(const sheet::PageSetup& setup) {
    PageSettings s;
    const sheet::PaperMillimetres paper = sheet::paperMillimetres(setup.paperSize);
    s.pageSize = QPageSize(QPageSize::id(QSizeF(paper.width, paper.height), QPageSize::Millimeter,
                                         QPageSize::FuzzyMatch));
    s.orientation = setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    const sheet::PageMargins& m = setup.margins;
    s.marginsInches = QMarginsF(m.left, m.top, m.right, m.bottom);
    return s;
}

}  // namespace tombra::render
