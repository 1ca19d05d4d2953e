#pragma once

#include <cstdint>

namespace tombra::sheet {

// The spreadsheet's legacy 56-colour palette. Macros speak of ColorIndex 1..56; the package
// stores the same colour as indexed = ColorIndex + 7 (indexed 0..7 repeat the first eight).
inline constexpr int kColorIndexAutomatic = -4105;
inline constexpr int kColorIndexNone = -4142;

bool isValidColorIndex(int colorIndex);
int indexedFromColorIndex(int colorIndex);
// 0 when the indexed colour has no ColorIndex (system colours 64, 65).
int colorIndexFromIndexed(int indexed);
// 0xRRGGBB of an indexed colour of the default palette; 64 (system foreground) is black,
// anything unknown is black.
std::uint32_t indexedColorRgb(int indexed);
std::uint32_t colorIndexRgb(int colorIndex);

}  // namespace tombra::sheet
