#include "bracket/LineDecomposition.h"

#include <array>
#include <cstddef>

namespace tombra::bracket {

namespace {

using Groups = std::vector<int>;

struct Shapes {
    Groups odd, even;
};

// Sizes 3..32 except the powers of two, which depend on the other tables.
const std::array<Shapes, 33>& shapeTable() {
    static const std::array<Shapes, 33> table = [] {
        std::array<Shapes, 33> t{};
        auto both = [&t](int n, Groups g) { t[n] = {g, g}; };
        t[3] = {{3}, {-3}};
        t[5] = {{3, 2}, {2, -3}};
        both(6, {3, -3});
        t[7] = {{3, -4}, {-4, -3}};
        t[9] = {{3, 2, 2, 2}, {2, 2, 2, -3}};
        both(10, {3, 2, 2, -3});
        t[11] = {{3, 2, 3, -3}, {3, -3, 2, -3}};
        both(12, {3, -3, 3, -3});
        t[13] = {{3, -4, 3, -3}, {3, -3, -4, -3}};
        both(14, {3, -4, -4, -3});
        t[15] = {{3, -4, -4, -4}, {-4, -4, -4, -3}};
        t[17] = {{3, 2, 2, 2, 2, 2, 2, 2}, {2, 2, 2, 2, 2, 2, 2, -3}};
        both(18, {3, 2, 2, 2, 2, 2, 2, -3});
        t[19] = {{3, 2, 2, 2, 3, 2, 2, -3}, {3, 2, 2, -3, 2, 2, 2, -3}};
        both(20, {3, 2, 2, -3, 3, 2, 2, -3});
        t[21] = {{3, 2, 3, -3, 3, 2, 2, -3}, {3, 2, 2, -3, 3, -3, 2, -3}};
        both(22, {3, 2, 3, -3, 3, -3, 2, -3});
        t[23] = {{3, 2, 3, -3, 3, -3, 3, -3}, {3, -3, 3, -3, 3, -3, 2, -3}};
        both(24, {3, -3, 3, -3, 3, -3, 3, -3});
        t[25] = {{3, -4, 3, -3, 3, -3, 3, -3}, {3, -3, 3, -3, 3, -3, -4, -3}};
        both(26, {3, -4, 3, -3, 3, -3, -4, -3});
        t[27] = {{3, -4, 3, -3, 3, -4, -4, -3}, {3, -4, -4, -3, 3, -3, -4, -3}};
        both(28, {3, -4, -4, -3, 3, -4, -4, -3});
        t[29] = {{3, -4, -4, -4, 3, -4, -4, -3}, {3, -4, -4, -3, -4, -4, -4, -3}};
        both(30, {3, -4, -4, -4, -4, -4, -4, -3});
        t[31] = {{3, -4, -4, -4, -4, -4, -4, -4}, {-4, -4, -4, -4, -4, -4, -4, -3}};
        both(32, Groups(8, -4));
        return t;
    }();
    return table;
}

}  // namespace

namespace {

Groups joined(Groups first, const Groups& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}  // namespace

std::vector<int> decomposeTable(int size, bool oddTable, int maxTableSize, bool fullBracket) {
    if (size <= 0 || size > 128) return {};
    // Beyond the tabled sizes a table is drawn as two halves, the way every tabled shape from 9
    // on is made of two smaller ones: an even size from two equal halves (an odd half in its
    // odd shape, then in its even shape), an odd size from an odd and an even half, the odd
    // one first in an odd table and last in an even one.
    if (size > 32) {
        auto half = [&](int n, bool odd) {
            return decomposeTable(n, odd, maxTableSize, fullBracket);
        };
        if (size % 2 == 0) {
            const int h = size / 2;
            return h % 2 == 1 ? joined(half(h, true), half(h, false))
                              : joined(half(h, oddTable), half(h, oddTable));
        }
        const int low = size / 2, high = low + 1;
        const int oddPart = low % 2 == 1 ? low : high, evenPart = size - oddPart;
        return oddTable ? joined(half(oddPart, true), half(evenPart, true))
                        : joined(half(evenPart, false), half(oddPart, false));
    }
    if (size == 1) return {1};
    if (size == 2) return {fullBracket ? -2 : 2};
    if (size == 4 || size == 8 || size == 16) {
        if (maxTableSize <= size) return Groups(static_cast<std::size_t>(size / 4), -4);
        return Groups(static_cast<std::size_t>(size / 2), 2);
    }
    const Shapes& s = shapeTable()[static_cast<std::size_t>(size)];
    return oddTable ? s.odd : s.even;
}

int groupRows(int code) {
    switch (code) {
        case 2:
        case -2:
            return 4;
        case 3:
        case -3:
            return 6;
        case -4:
            return 8;
        default:
            return 0;
    }
}

}  // namespace tombra::bracket
