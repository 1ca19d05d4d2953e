#include "sheet/ColumnWidth.h"

#include <cmath>

namespace tombra::sheet {

bool isJapaneseFontName(std::string_view name) {
    // Any non-ASCII byte, or the romanised names of the Japanese system fonts.
    for (unsigned char ch : name)
        if (ch >= 0x80) return true;
    for (std::string_view n : {"MS Gothic", "MS PGothic", "MS Mincho", "MS PMincho", "Meiryo",
                               "Yu Gothic", "Yu Mincho", "IPA"})
        if (name.find(n) != std::string_view::npos) return true;
    return false;
}

int maxDigitWidth(std::string_view name, double size) {
    if (size <= 0) size = 11;
    // Measured at 11 pt: Calibri and the usual Latin fonts draw digits 7 px wide, the Japanese
    // system fonts 8 px (their default column of 8.38 characters is 72 px).
    double at11 = isJapaneseFontName(name) ? 8.0 : 7.0;
    int mdw = static_cast<int>(std::lround(at11 * size / 11.0));
    return mdw < 1 ? 1 : mdw;
}

double fileWidthFromCharacters(double characters, int mdw) {
    if (characters <= 0) return 0;
    return std::trunc((characters * mdw + 5.0) / mdw * 256.0) / 256.0;
}

double charactersFromFileWidth(double fileWidth, int mdw) {
    if (fileWidth <= 0) return 0;
    int pixels = columnPixels(fileWidth, mdw);
    double chars = std::trunc((pixels - 5.0) / mdw * 100.0 + 0.5) / 100.0;
    return chars < 0 ? 0 : chars;
}

int columnPixels(double fileWidth, int mdw) {
    if (fileWidth <= 0) return 0;
    return static_cast<int>(
        std::trunc((256.0 * fileWidth + std::trunc(128.0 / mdw)) / 256.0 * mdw));
}

double defaultRowHeightPoints(std::string_view name, double size) {
    if (size <= 0) size = 11;
    double perPoint = isJapaneseFontName(name) ? 13.5 / 11.0 : 15.0 / 11.0;
    return std::round(size * perPoint * 4.0) / 4.0;
}

}  // namespace tombra::sheet
