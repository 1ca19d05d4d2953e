#include "RenderTestSupport.h"

#include <QGuiApplication>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "support/TestFiles.h"

namespace tombra::render::test {

void ensureGuiApplication() {
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tombra_render_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

std::unique_ptr<sheet::Workbook> blankBook() { return tombra::test::blankWorkbook(); }

PageSettings unscaledA4() { return {}; }

QRectF pixelRect(const SheetRenderer& renderer, int page, const QRectF& sheetRect, double dpi) {
    const SheetLayout& layout = renderer.layout();
    const QPointF origin = renderer.settings().printableRectPoints().topLeft();
    const QPointF pageTopLeft = layout.pageRect(page).topLeft();
    const double s = layout.scale();
    const double k = dpi / 72.0;
    QPointF topLeft = (origin + (sheetRect.topLeft() - pageTopLeft) * s) * k;
    return QRectF(topLeft, sheetRect.size() * s * k);
}

QRectF pixelRectOfCells(const SheetRenderer& renderer, int page, const sheet::Area& cells,
                        double dpi) {
    return pixelRect(renderer, page, renderer.layout().cellRect(cells), dpi);
}

namespace {
int grey(QRgb p) { return (qRed(p) * 30 + qGreen(p) * 59 + qBlue(p) * 11) / 100; }

QRect clamped(const QImage& image, const QRectF& area) {
    const QRect r(
        QPoint(static_cast<int>(std::floor(area.left())), static_cast<int>(std::floor(area.top()))),
        QPoint(static_cast<int>(std::ceil(area.right())) - 1,
               static_cast<int>(std::ceil(area.bottom())) - 1));
    return r.intersected(image.rect());
}
}  // namespace

bool isDark(QRgb p) { return grey(p) < 110; }
bool isNavy(QRgb p) {
    return qBlue(p) > 90 && qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) - qRed(p) > 50;
}
bool isRed(QRgb p) { return qRed(p) > 150 && qGreen(p) < 100 && qBlue(p) < 100; }
bool isInk(QRgb p) { return grey(p) < 200; }

Ink inkIn(const QImage& image, const QRectF& area, const PixelTest& test) {
    Ink ink;
    const QRect r = clamped(image, area);
    int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (!test(image.pixel(x, y))) continue;
            ++ink.count;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    if (ink.count) ink.bounds = QRect(QPoint(left, top), QPoint(right, bottom));
    return ink;
}

int rowsWithInk(const QImage& image, const QRectF& area, const PixelTest& test) {
    const QRect r = clamped(image, area);
    int rows = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (test(image.pixel(x, y))) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

QImage inkMask(const QImage& image, const QRect& area) {
    QImage mask(area.size(), QImage::Format_Grayscale8);
    mask.fill(255);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            if (image.valid(area.left() + x, area.top() + y) &&
                isInk(image.pixel(area.left() + x, area.top() + y)))
                mask.setPixel(x, y, qRgb(0, 0, 0));
    return mask;
}

int differingPixels(const QImage& a, const QImage& b) {
    // Renderers round the paper's size differently (pdftoppm rounds up): allow a pixel.
    if (std::abs(a.width() - b.width()) > 1 || std::abs(a.height() - b.height()) > 1)
        return std::max(a.width() * a.height(), b.width() * b.height());
    const int width = std::min(a.width(), b.width()), height = std::min(a.height(), b.height());
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (isInk(a.pixel(x, y)) != isInk(b.pixel(x, y))) ++n;
    return n;
}

void keepSample(const QImage& image, const char* name) {
    const QByteArray dir = qgetenv("TOMBRA_RENDER_SAMPLES");
    if (dir.isEmpty()) return;
    std::filesystem::create_directories(dir.toStdString());
    image.save(QString::fromUtf8(dir) + u'/' + QString::fromUtf8(name));
}

}  // namespace tombra::render::test
