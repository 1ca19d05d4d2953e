#include "sheet/CellText.h"

namespace tombra::sheet {

namespace {

// UTF-16 units of the character that starts with this byte; 0 for a continuation byte.
std::size_t unitsOf(unsigned char lead) {
    if ((lead & 0xC0) == 0x80) return 0;
    return lead >= 0xF0 ? 2 : 1;  // four-byte sequences lie beyond the basic plane
}

}  // namespace

std::size_t cellTextLength(std::string_view utf8) {
    std::size_t units = 0;
    for (unsigned char c : utf8) units += unitsOf(c);
    return units;
}

std::string_view cutToCellLength(std::string_view utf8, std::size_t limit) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const std::size_t u = unitsOf(static_cast<unsigned char>(utf8[i]));
        if (u == 0) continue;
        if (units + u > limit) return utf8.substr(0, i);
        units += u;
    }
    return utf8;
}

}  // namespace tombra::sheet
