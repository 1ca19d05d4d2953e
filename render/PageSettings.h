#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>

#include "sheet/PageSetup.h"

namespace tombra::render {

// The paper a sheet is printed on. The defaults are the spreadsheet's own for a new sheet:
// A4 portrait, 0.7" left and right, 0.75" top and bottom.
struct PageSettings {
    QPageSize pageSize{QPageSize::A4};
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF marginsInches{0.7, 0.75, 0.7, 0.75};  // left, top, right, bottom

    QPageLayout pageLayout() const;
    // The paper, and the area inside the margins, in points from the paper's top-left corner.
    QRectF paperRectPoints() const;
    QRectF printableRectPoints() const;
    // The same for any page layout, unrounded (QPageLayout rounds points to whole ones).
    static QRectF paperRectPoints(const QPageLayout& layout);
    static QRectF printableRectPoints(const QPageLayout& layout);
    // The same paper and margins as a device's page layout (a printer the user set up).
    static PageSettings fromPageLayout(const QPageLayout& layout);
    // The paper, orientation and margins a sheet's page setup asks for (A4 when it names no
    // paper, or one this program does not know).
    static PageSettings fromPageSetup(const sheet::PageSetup& setup);
};

}  // namespace tombra::render
