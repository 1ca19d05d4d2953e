#include "sheet/PageSetup.h"

#include <algorithm>
#include <utility>

namespace tombra::sheet {

PaperMillimetres paperMillimetres(int paperSize) {
    switch (paperSize) {
        case 1:
            return {215.9, 279.4};  // Letter
        case 5:
            return {215.9, 355.6};  // Legal
        case 8:
            return {297, 420};  // A3
        case 11:
            return {148, 210};  // A5
        case 12:
            return {257, 364};  // B4 (JIS)
        case 13:
            return {182, 257};  // B5 (JIS)
        default:
            return {210, 297};  // A4
    }
}

PrintableArea printableArea(const PageSetup& setup) {
    constexpr double kPointsPerMillimetre = 72 / 25.4;
    const PaperMillimetres paper = paperMillimetres(setup.paperSize);
    double width = paper.width * kPointsPerMillimetre, height = paper.height * kPointsPerMillimetre;
    if (setup.landscape) std::swap(width, height);
    const PageMargins& m = setup.margins;
    return {std::max(0.0, width - 72 * (m.left + m.right)),
            std::max(0.0, height - 72 * (m.top + m.bottom))};
}

}  // namespace tombra::sheet
