#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "sheet/Constants.h"

namespace tombra::sheet {

// A font as a cell shows it. colorIndex is the legacy palette index (0: not a palette colour);
// rgb is the colour to paint in either case.
struct FontSpec {
    std::string name;
    double size = 11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int colorIndex = 0;
    std::uint32_t rgb = 0x000000;
    bool operator==(const FontSpec&) const = default;
};

// One edge of a cell. lineStyle is xl::LineStyleNone when the edge has no line.
struct BorderLine {
    int lineStyle = xl::LineStyleNone;
    int weight = xl::Thin;
    int colorIndex = 0;
    std::uint32_t rgb = 0x000000;
    bool present() const { return lineStyle != xl::LineStyleNone; }
    bool operator==(const BorderLine&) const = default;
};

// The formatting of a cell, resolved from the style part.
struct CellFormat {
    FontSpec font;
    std::array<BorderLine, 5> edges;  // left, top, bottom, right, the down diagonal
    int horizontal = xl::HAlignGeneral;
    int vertical = xl::VAlignBottom;
    bool wrapText = false;
    int numberFormatId = 0;

    const BorderLine& edge(int xlEdge) const {
        return edges.at(static_cast<size_t>(edgeSlot(xlEdge)));
    }
    static int edgeSlot(int xlEdge) {
        switch (xlEdge) {
            case xl::EdgeLeft:
                return 0;
            case xl::EdgeTop:
                return 1;
            case xl::EdgeBottom:
                return 2;
            case xl::EdgeRight:
                return 3;
            case xl::DiagonalDown:
                return 4;
            default:
                return -1;
        }
    }
};

// What a font command changes; unset fields stay as they are.
struct FontChange {
    std::optional<std::string> name;
    std::optional<double> size;
    std::optional<bool> bold;
    std::optional<int> colorIndex;
    std::optional<bool> italic;
    std::optional<bool> underline;
};

// What a border command changes on one edge, with the spreadsheet's rules: a weight or colour
// given to an edge without a line gives it a continuous line; line style "none" removes it.
struct BorderChange {
    std::optional<int> lineStyle;
    std::optional<int> weight;
    std::optional<int> colorIndex;
};

struct AlignmentChange {
    std::optional<int> horizontal;
    std::optional<int> vertical;
    std::optional<bool> wrapText;
};

}  // namespace tombra::sheet
