#include "render/SheetRenderer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

#include "render/PrintFonts.h"
#include "render/RowHeightFitter.h"
#include "render/SheetPainter.h"
#include "sheet/Worksheet.h"

namespace tombra::render {

namespace {

bool guiReady() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

QString pathText(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

// Rows fit their contents only where fonts can be measured.
SheetLayout fittedLayout(const sheet::Worksheet& sheet, QSizeF printable) {
    if (!guiReady()) return SheetLayout(sheet, printable);
    installFontSubstitutions();
    RowHeightFitter fitter(sheet);
    return SheetLayout(sheet, printable, &fitter);
}

// Paints every requested page; the painter's origin is the printable area's top-left.
bool paintPages(const sheet::Worksheet& sheet, const SheetLayout& layout, QPagedPaintDevice& device,
                QPainter& painter, QPointF origin, int first, int last) {
    const SheetPainter sheetPainter(sheet, layout);
    const double devicePerPoint = device.logicalDpiX() / 72.0;
    const int count = layout.pageCount();
    first = std::max(first, 1);
    last = last <= 0 ? count : std::min(last, count);
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) return false;
        painter.save();
        painter.translate(origin);
        sheetPainter.paintPage(painter, page - 1, devicePerPoint);
        painter.restore();
    }
    return true;
}

}  // namespace

SheetRenderer::SheetRenderer(const sheet::Worksheet& sheet, PageSettings settings)
    : sheet_(sheet),
      settings_(std::move(settings)),
      layout_(fittedLayout(sheet, settings_.printableRectPoints().size())) {}

bool SheetRenderer::paint(QPagedPaintDevice& device, int firstPage, int lastPage) const {
    if (!guiReady()) return false;
    installFontSubstitutions();
    // The user may have chosen other paper or margins in the printer dialog.
    const QPageLayout pageLayout = device.pageLayout();
    const QSizeF printable = PageSettings::printableRectPoints(pageLayout).size();
    const QSizeF planned = settings_.printableRectPoints().size();
    const bool samePaper = std::abs(printable.width() - planned.width()) < 0.01 &&
                           std::abs(printable.height() - planned.height()) < 0.01;
    const SheetLayout layout = samePaper ? layout_ : fittedLayout(sheet_, printable);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    // A printer in full-page mode puts the origin at the paper's corner, not the margin's
    // (its page layout then reports no paint rect, but still the margins).
    QPointF origin;
    if (auto* printer = dynamic_cast<QPrinter*>(&device); printer && printer->fullPage())
        origin = PageSettings::printableRectPoints(pageLayout).topLeft() *
                 (printer->resolution() / 72.0);
    const bool ok = paintPages(sheet_, layout, device, painter, origin, firstPage, lastPage);
    return painter.end() && ok;
}

QImage SheetRenderer::renderPage(int page, double dpi) const {
    if (page < 0 || page >= pageCount() || dpi <= 0 || !guiReady()) return {};
    installFontSubstitutions();
    const double perPoint = dpi / 72.0;
    const QRectF paper = settings_.paperRectPoints();
    const QRectF printable = settings_.printableRectPoints();
    QImage image(static_cast<int>(std::lround(paper.width() * perPoint)),
                 static_cast<int>(std::lround(paper.height() * perPoint)), QImage::Format_RGB32);
    if (image.isNull()) return {};
    // The image's resolution is what fonts are sized against.
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(printable.topLeft() * perPoint);
    SheetPainter(sheet_, layout_).paintPage(painter, page, perPoint);
    painter.end();
    return image;
}

bool SheetRenderer::writePdf(const std::filesystem::path& path, std::string& error) const {
    const QString name = pathText(path);
    if (!guiReady()) {
        error = utf8(QStringLiteral("PDF を作成できません。文字を描く準備ができていません。"));
        return false;
    }
    installFontSubstitutions();
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        error = utf8(QStringLiteral("PDF ファイル「%1」に書き込めません。\n%2")
                         .arg(name, file.errorString()));
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setPageLayout(settings_.pageLayout());
        writer.setTitle(QString::fromStdString(sheet_.name()));
        writer.setCreator(QStringLiteral("Tombra"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            error = utf8(QStringLiteral("PDF ファイル「%1」を作成できません。").arg(name));
            return false;
        }
        const bool ok = paintPages(sheet_, layout_, writer, painter, {}, 1, 0);
        painter.end();
        if (!ok) {
            file.cancelWriting();
            error = utf8(QStringLiteral("PDF ファイル「%1」のページを作成できません。").arg(name));
            return false;
        }
    }
    if (!file.commit()) {
        error = utf8(QStringLiteral("PDF ファイル「%1」に書き込めません。\n%2")
                         .arg(name, file.errorString()));
        return false;
    }
    return true;
}

void applyPageSettings(QPagedPaintDevice& device, const PageSettings& settings) {
    device.setPageLayout(settings.pageLayout());
}

bool printSheet(const sheet::Worksheet& sheet, QPrinter& printer) {
    int first = 1, last = 0;
    if (printer.printRange() == QPrinter::PageRange) {
        first = printer.fromPage();
        last = printer.toPage();
    }
    PageSettings settings = PageSettings::fromPageLayout(printer.pageLayout());
    return SheetRenderer(sheet, settings).paint(printer, first, last);
}

bool writeSheetPdf(const sheet::Worksheet& sheet, const std::filesystem::path& path,
                   std::string& error) {
    return SheetRenderer(sheet, PageSettings::fromPageSetup(sheet.pageSetup()))
        .writePdf(path, error);
}

}  // namespace tombra::render
