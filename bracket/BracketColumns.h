#pragma once

// Where things stand on a bracket sheet. Every page has a left and a right half; the line
// columns of the right half mirror those of the left around the centre column N, while the
// name block keeps its reading order (name, "(", affiliation, ")") on both sides.

#include "sheet/CellFormat.h"
#include "sheet/Constants.h"

namespace tombra::bracket {

enum class Side { Left, Right };

inline constexpr int kCentreColumn = 14;    // N: title, footer, the middle of the bracket
inline constexpr int kOuterLineColumn = 7;  // G: the first line column of the left half
inline constexpr int kInnerLineColumn = 8;  // H
inline constexpr int kLineColour = 25;

struct NameColumns {
    int seed, lineNumber, name, open, affiliation, close;
};

inline constexpr NameColumns kLeftNames{1, 2, 3, 4, 5, 6};         // A B C D E F
inline constexpr NameColumns kRightNames{27, 26, 22, 23, 24, 25};  // AA Z V W X Y

inline const NameColumns& nameColumns(Side side) {
    return side == Side::Left ? kLeftNames : kRightNames;
}

// A line column of the left half as it stands on `side` (G <-> U, H <-> T, ... N stays).
inline int lineColumn(Side side, int leftColumn) {
    return side == Side::Left ? leftColumn : 2 * kCentreColumn - leftColumn;
}

// The edge of a left-half drawing as it stands on `side`: right and left swap, top and bottom
// stay.
inline int lineEdge(Side side, int leftEdge) {
    if (side == Side::Left) return leftEdge;
    if (leftEdge == sheet::xl::EdgeRight) return sheet::xl::EdgeLeft;
    if (leftEdge == sheet::xl::EdgeLeft) return sheet::xl::EdgeRight;
    return leftEdge;
}

// Every line of the bracket: thin, continuous, navy.
inline sheet::BorderChange bracketLine() {
    return {sheet::xl::Continuous, sheet::xl::Thin, kLineColour};
}

inline constexpr const char* kMatchMark = "○";
inline constexpr const char* kSuperSeedMark = "◎";

// 8, 16, ... 1024 entries fill a bracket exactly; their first-round matches stand in the outer
// line column.
inline bool isFullBracket(int entryCount) {
    for (int n = 8; n <= 1024; n *= 2)
        if (entryCount == n) return true;
    return false;
}

}  // namespace tombra::bracket
