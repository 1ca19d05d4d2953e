#pragma once

#include <QFont>
#include <QString>
#include <string_view>

#include "sheet/CellFormat.h"

namespace tombra::render {

// Font families that are always there to paint with: IPA fonts cover Japanese.
inline constexpr const char* kFallbackGothic = "IPAPGothic";

// Maps the Japanese font names that workbooks carry ("ＭＳ Ｐゴシック", "MS PMincho",
// "游ゴシック"...) to the installed IPA fonts, once for the whole program. Safe to call
// again.
void installFontSubstitutions();

// The installed family that stands in for a workbook's font name: an IPA font for the
// Japanese system fonts (in any of their spellings), else the name itself.
QString printFontFamily(std::string_view workbookName);

// The QFont to paint a cell's text with on a device of the given logical dpi, sized so that
// it is `font.size` units tall in the painter's user space. (QPainter turns points into
// device pixels by the device's dpi before the world transform applies, so a painter that
// is already scaled to points would otherwise scale the size twice.)
QFont printFont(const sheet::FontSpec& font, double deviceLogicalDpi);

}  // namespace tombra::render
