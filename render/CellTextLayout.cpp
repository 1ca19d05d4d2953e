#include "render/CellTextLayout.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QTextLayout>
#include <algorithm>

#include "render/PrintFonts.h"

namespace tombra::render {

namespace xl = sheet::xl;

namespace {

QString withoutTrailingBlanks(QString s) {
    while (!s.isEmpty() && s.back().isSpace()) s.chop(1);
    return s;
}

}  // namespace

CellTextLayout::CellTextLayout(const QPaintDevice* device)
    : device_(device), dpi_(device ? device->logicalDpiY() : 72.0) {}

QString CellTextLayout::displayText(std::string_view utf8) {
    const QString raw = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar ch = raw[i];
        if (ch == u'\r') {
            if (i + 1 < raw.size() && raw[i + 1] == u'\n') ++i;
            out += u'\n';
        } else if (ch == u'\n') {
            out += u'\n';
        } else if (ch == u'\t') {
            out += u' ';
        } else if (ch.unicode() < 0x20 || ch.unicode() == 0x7F) {
            continue;
        } else {
            out += ch;
        }
    }
    return out;
}

int CellTextLayout::effectiveHorizontal(int horizontal, sheet::CellValue::Kind kind) {
    if (horizontal != xl::HAlignGeneral) return horizontal;
    switch (kind) {
        case sheet::CellValue::Kind::Number:
            return xl::HAlignRight;
        case sheet::CellValue::Kind::Boolean:
        case sheet::CellValue::Kind::Error:
            return xl::HAlignCenter;
        default:
            return xl::HAlignLeft;
    }
}

bool CellTextLayout::wraps(const sheet::CellFormat& format, int horizontal) {
    return format.wrapText || horizontal == xl::HAlignDistributed ||
           horizontal == xl::HAlignJustify || format.vertical == xl::VAlignDistributed;
}

const QFont& CellTextLayout::font(const sheet::FontSpec& cellFont) {
    FontKey key{cellFont.name, cellFont.size, cellFont.bold, cellFont.italic, cellFont.underline};
    auto it = fonts_.find(key);
    if (it == fonts_.end()) it = fonts_.emplace(std::move(key), printFont(cellFont, dpi_)).first;
    return it->second;
}

CellTextLayout::Block CellTextLayout::layout(const QString& text, const sheet::FontSpec& cellFont,
                                             double width, bool wrap) {
    const QFont& f = font(cellFont);
    const QFontMetricsF metrics(f, device_);
    Block block;
    block.ascent = metrics.ascent();
    block.lineSpacing = metrics.lineSpacing();
    for (const QString& paragraph : text.split(u'\n')) {
        if (!wrap || paragraph.isEmpty()) {
            QString shown = withoutTrailingBlanks(paragraph);
            block.lines.push_back({shown, metrics.horizontalAdvance(shown)});
            continue;
        }
        // Unicode line breaking: between words, and between Japanese characters.
        QTextLayout lines(paragraph, f, device_);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setUseDesignMetrics(true);
        lines.setTextOption(option);
        lines.beginLayout();
        for (QTextLine line = lines.createLine(); line.isValid(); line = lines.createLine()) {
            line.setLineWidth(std::max(width, 1.0));
            QString shown =
                withoutTrailingBlanks(paragraph.mid(line.textStart(), line.textLength()));
            block.lines.push_back({shown, metrics.horizontalAdvance(shown)});
        }
        lines.endLayout();
    }
    block.height = static_cast<double>(block.lines.size()) * block.lineSpacing - metrics.leading();
    return block;
}

double CellTextLayout::naturalWidth(const QString& text, const sheet::FontSpec& cellFont) {
    double widest = 0;
    for (const Line& line : layout(text, cellFont, 0, false).lines)
        widest = std::max(widest, line.width);
    return widest + 2 * kPaddingX;
}

QString CellTextLayout::fitNumber(const QString& text, const sheet::FontSpec& cellFont,
                                  double cellWidth) {
    if (naturalWidth(text, cellFont) <= cellWidth) return text;
    const QFontMetricsF metrics(font(cellFont), device_);
    const double hash = metrics.horizontalAdvance(u'#');
    const double inner = cellWidth - 2 * kPaddingX;
    const int count = hash > 0 && inner > 0 ? static_cast<int>(inner / hash) : 0;
    return QString(count, u'#');
}

double CellTextLayout::neededHeight(const QString& text, const sheet::CellFormat& format,
                                    sheet::CellValue::Kind kind, double cellWidth) {
    const bool wrap = wraps(format, effectiveHorizontal(format.horizontal, kind));
    const double inner = std::max(0.0, cellWidth - 2 * kPaddingX);
    return layout(text, format.font, inner, wrap).height + 2 * kPaddingY;
}

}  // namespace tombra::render
