#pragma once

#include <QFont>
#include <QString>
#include <map>
#include <string_view>
#include <tuple>
#include <vector>

#include "sheet/CellFormat.h"
#include "sheet/CellValue.h"

class QPaintDevice;

namespace tombra::render {

// Breaks a cell's text into lines and measures them, in units where one sheet point is one
// unit (fonts are sized against the device's dpi, see printFont). Shared by the painter and
// by row-height fitting so that both see the same lines.
class CellTextLayout {
  public:
    // Blank space between the gridline and the text, in sheet points.
    static constexpr double kPaddingX = 1.5;
    static constexpr double kPaddingY = 0.75;

    struct Line {
        QString text;  // without trailing blanks
        double width = 0;
    };
    struct Block {
        std::vector<Line> lines;
        double ascent = 0;
        double lineSpacing = 0;
        double height = 0;  // from the first line's top to the last line's bottom
    };

    explicit CellTextLayout(const QPaintDevice* device);

    // A cell's value as it is shown: CR LF and lone CR become line breaks, tabs blanks,
    // other control characters are dropped (they would paint as boxes).
    static QString displayText(std::string_view utf8);
    // The horizontal alignment a cell really gets: "general" puts texts left, numbers right,
    // truth and error values in the centre.
    static int effectiveHorizontal(int horizontal, sheet::CellValue::Kind kind);
    // Distributed and justified texts wrap in the spreadsheet whether or not wrapping is on.
    static bool wraps(const sheet::CellFormat& format, int effectiveHorizontal);

    const QFont& font(const sheet::FontSpec& cellFont);
    // Paragraphs split at line breaks; each wrapped to `width` when `wrap`.
    Block layout(const QString& text, const sheet::FontSpec& cellFont, double width, bool wrap);
    // The width the text needs on one line per paragraph, padding included.
    double naturalWidth(const QString& text, const sheet::FontSpec& cellFont);
    // A number too wide for its cell shows as "###" across the cell, as in the spreadsheet:
    // cut-off digits would print a wrong number.
    QString fitNumber(const QString& text, const sheet::FontSpec& cellFont, double cellWidth);
    // The height a cell `cellWidth` wide needs to show all of its lines, padding included.
    double neededHeight(const QString& text, const sheet::CellFormat& format,
                        sheet::CellValue::Kind kind, double cellWidth);

  private:
    using FontKey = std::tuple<std::string, double, bool, bool, bool>;
    const QPaintDevice* device_;
    double dpi_;
    std::map<FontKey, QFont> fonts_;  // QFont resolution is slow; sheets use few fonts
};

}  // namespace tombra::render
