#include "sheet/Palette.h"

#include <array>
#include <cstddef>

namespace tombra::sheet {

namespace {

// indexed 8..63 of the default palette.
constexpr std::array<std::uint32_t, 56> kPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

}  // namespace

bool isValidColorIndex(int colorIndex) { return colorIndex >= 1 && colorIndex <= 56; }

int indexedFromColorIndex(int colorIndex) { return colorIndex + 7; }

int colorIndexFromIndexed(int indexed) {
    if (indexed >= 8 && indexed <= 63) return indexed - 7;
    if (indexed >= 0 && indexed <= 7) return indexed + 1;
    return 0;
}

std::uint32_t indexedColorRgb(int indexed) {
    if (indexed >= 0 && indexed <= 7) return kPalette[static_cast<std::size_t>(indexed)];
    if (indexed >= 8 && indexed <= 63) return kPalette[static_cast<std::size_t>(indexed - 8)];
    if (indexed == 65) return 0xFFFFFF;
    return 0x000000;
}

std::uint32_t colorIndexRgb(int colorIndex) {
    return isValidColorIndex(colorIndex) ? kPalette[static_cast<std::size_t>(colorIndex - 1)] : 0;
}

}  // namespace tombra::sheet
