#include "render/CellTextPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace tombra::render {

namespace xl = sheet::xl;

CellTextPainter::CellTextPainter(QPainter& painter)
    : painter_(painter), layout_(painter.device()) {}

void CellTextPainter::paint(const QString& text, const sheet::CellFormat& format,
                            sheet::CellValue::Kind kind, const QRectF& cell, const QRectF& clip) {
    if (text.isEmpty() || clip.isEmpty()) return;
    const int horizontal = CellTextLayout::effectiveHorizontal(format.horizontal, kind);
    const int vertical = format.vertical;
    const bool wrap = CellTextLayout::wraps(format, horizontal);

    const double padX = CellTextLayout::kPaddingX, padY = CellTextLayout::kPaddingY;
    const double innerLeft = cell.left() + padX;
    const double innerWidth = std::max(0.0, cell.width() - 2 * padX);
    const CellTextLayout::Block block = layout_.layout(text, format.font, innerWidth, wrap);
    const int count = static_cast<int>(block.lines.size());

    const double innerTop = cell.top() + padY;
    const double innerHeight = std::max(0.0, cell.height() - 2 * padY);
    double top = innerTop + innerHeight - block.height;  // bottom, the default
    double step = block.lineSpacing;
    if (vertical == xl::VAlignTop) {
        top = innerTop;
    } else if (vertical == xl::VAlignCenter) {
        top = cell.center().y() - block.height / 2;
    } else if (vertical == xl::VAlignDistributed) {
        // Lines spread from the top to the bottom; a single line sits in the middle.
        if (count == 1) {
            top = cell.center().y() - block.height / 2;
        } else {
            top = innerTop;
            if (block.height < innerHeight) step += (innerHeight - block.height) / (count - 1);
        }
    }

    const QFont& font = layout_.font(format.font);
    painter_.save();
    painter_.setClipRect(clip, Qt::IntersectClip);
    painter_.setFont(font);
    painter_.setPen(QColor::fromRgb(static_cast<QRgb>(format.font.rgb) | 0xFF000000u));
    for (int i = 0; i < count; ++i) {
        const CellTextLayout::Line& line = block.lines[static_cast<size_t>(i)];
        const double baseline = top + i * step + block.ascent;
        if (line.text.isEmpty()) continue;
        if (horizontal == xl::HAlignDistributed) {
            paintDistributed(line, font, innerLeft, innerWidth, baseline);
            continue;
        }
        double x = innerLeft;
        if (horizontal == xl::HAlignRight)
            x = innerLeft + innerWidth - line.width;
        else if (horizontal == xl::HAlignCenter)
            x = cell.center().x() - line.width / 2;
        painter_.drawText(QPointF(x, baseline), line.text);
    }
    painter_.restore();
}

namespace {

// A blank, or a character of the Japanese scripts and full-width forms.
bool isWideOrBlank(const QString& grapheme) {
    const char32_t c = grapheme.toUcs4().value(0);
    return QChar::isSpace(c) || (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

}  // namespace

void CellTextPainter::paintDistributed(const CellTextLayout::Line& line, const QFont& font,
                                       double left, double width, double baseline) {
    const QFontMetricsF metrics(font, painter_.device());
    // Each Japanese character and each blank stands apart; a run of other characters (a
    // number, "S1", a Latin word) moves as one, as the spreadsheet distributes them. Whole
    // characters (a letter with its marks, a surrogate pair) are never split.
    std::vector<QString> parts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, line.text);
    qsizetype start = 0;
    bool joinable = false;  // the last part is a run that may grow
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        if (end <= start) continue;
        const QString grapheme = line.text.mid(start, end - start);
        start = end;
        const bool standsApart = isWideOrBlank(grapheme);
        if (joinable && !standsApart)
            parts.back() += grapheme;
        else
            parts.push_back(grapheme);
        joinable = !standsApart;
    }
    if (parts.size() <= 1) {
        painter_.drawText(QPointF(left + (width - line.width) / 2, baseline), line.text);
        return;
    }
    double inked = 0;
    std::vector<double> advances;
    for (const QString& p : parts) {
        advances.push_back(metrics.horizontalAdvance(p));
        inked += advances.back();
    }
    // First character at the left edge, last at the right, equal gaps between; a line too
    // long for the cell simply starts at the left.
    const double gap = std::max(0.0, (width - inked) / static_cast<double>(parts.size() - 1));
    double x = left;
    for (size_t i = 0; i < parts.size(); ++i) {
        painter_.drawText(QPointF(x, baseline), parts[i]);
        x += advances[i] + gap;
    }
}

}  // namespace tombra::render
