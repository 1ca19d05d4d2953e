#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <functional>
#include <memory>

#include "render/SheetRenderer.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

namespace tombra::render::test {

// Painting needs a QGuiApplication (fonts); one is made on first use, offscreen.
void ensureGuiApplication();

// The blank test workbook, its "Sheet1" ready to write on.
std::unique_ptr<sheet::Workbook> blankBook();

// A4 as a new sheet names it. A sheet without a scale of its own prints at 100 %: sheet points
// are paper points, which keeps the expected pixel positions easy to reason about.
PageSettings unscaledA4();

// Where a rectangle of the sheet (points, as SheetLayout measures) lands in the image of a
// page rendered at `dpi`.
QRectF pixelRect(const SheetRenderer& renderer, int page, const QRectF& sheetRect, double dpi);
QRectF pixelRectOfCells(const SheetRenderer& renderer, int page, const sheet::Area& cells,
                        double dpi);

using PixelTest = std::function<bool(QRgb)>;
bool isDark(QRgb pixel);  // text and black lines
bool isNavy(QRgb pixel);  // colour index 25
bool isRed(QRgb pixel);   // colour index 3
bool isInk(QRgb pixel);   // anything that is not paper

struct Ink {
    int count = 0;
    QRect bounds;  // empty when count is 0
};
// The pixels within `area` (clamped to the image) that pass `test`.
Ink inkIn(const QImage& image, const QRectF& area, const PixelTest& test = isInk);
// The rows (y) of the image within `area` holding at least one pixel that passes.
int rowsWithInk(const QImage& image, const QRectF& area, const PixelTest& test);
// The part of the image within `area`, as a monochrome ink mask (for comparing glyphs).
QImage inkMask(const QImage& image, const QRect& area);
// Pixels that are ink in one image and paper in the other (images of the same paper).
int differingPixels(const QImage& a, const QImage& b);

// When TOMBRA_RENDER_SAMPLES names a folder, saves the image there to look at.
void keepSample(const QImage& image, const char* name);

}  // namespace tombra::render::test
