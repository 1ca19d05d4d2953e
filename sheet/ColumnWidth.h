#pragma once

#include <string_view>

namespace tombra::sheet {

// Column widths are given in characters of the workbook's default font; the package stores
// characters plus cell padding, rounded to 1/256 of a character. The conversion depends on
// the maximum digit width (pixels at 96 dpi) of that default font.
int maxDigitWidth(std::string_view defaultFontName, double defaultFontSize);
double fileWidthFromCharacters(double characters, int maxDigitWidth);
double charactersFromFileWidth(double fileWidth, int maxDigitWidth);
// Width on screen at 96 dpi, as the spreadsheet draws the column.
int columnPixels(double fileWidth, int maxDigitWidth);
// Row height a sheet uses when it states none, for the default font.
double defaultRowHeightPoints(std::string_view defaultFontName, double defaultFontSize);
bool isJapaneseFontName(std::string_view name);

}  // namespace tombra::sheet
