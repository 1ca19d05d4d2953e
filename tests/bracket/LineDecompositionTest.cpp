#include <gtest/gtest.h>

#include <sstream>

#include "bracket/LineDecomposition.h"

namespace tombra::bracket {
namespace {

std::vector<int> codes(const std::string& text) {
    std::vector<int> out;
    std::stringstream in(text);
    std::string piece;
    while (std::getline(in, piece, ',')) out.push_back(std::stoi(piece));
    return out;
}

// The group codes of every size without a choice, odd table and even table, as the bracket
// is meant to be drawn.
struct Row {
    int size;
    const char* odd;
    const char* even;
};
const Row kRows[] = {
    {3, "3", "-3"},
    {5, "3, 2", "2, -3"},
    {6, "3, -3", "3, -3"},
    {7, "3, -4", "-4, -3"},
    {9, "3, 2, 2, 2", "2, 2, 2, -3"},
    {10, "3, 2, 2, -3", "3, 2, 2, -3"},
    {11, "3, 2, 3, -3", "3, -3, 2, -3"},
    {12, "3, -3, 3, -3", "3, -3, 3, -3"},
    {13, "3, -4, 3, -3", "3, -3, -4, -3"},
    {14, "3, -4, -4, -3", "3, -4, -4, -3"},
    {15, "3, -4, -4, -4", "-4, -4, -4, -3"},
    {17, "3, 2, 2, 2, 2, 2, 2, 2", "2, 2, 2, 2, 2, 2, 2, -3"},
    {18, "3, 2, 2, 2, 2, 2, 2, -3", "3, 2, 2, 2, 2, 2, 2, -3"},
    {19, "3, 2, 2, 2, 3, 2, 2, -3", "3, 2, 2, -3, 2, 2, 2, -3"},
    {20, "3, 2, 2, -3, 3, 2, 2, -3", "3, 2, 2, -3, 3, 2, 2, -3"},
    {21, "3, 2, 3, -3, 3, 2, 2, -3", "3, 2, 2, -3, 3, -3, 2, -3"},
    {22, "3, 2, 3, -3, 3, -3, 2, -3", "3, 2, 3, -3, 3, -3, 2, -3"},
    {23, "3, 2, 3, -3, 3, -3, 3, -3", "3, -3, 3, -3, 3, -3, 2, -3"},
    {24, "3, -3, 3, -3, 3, -3, 3, -3", "3, -3, 3, -3, 3, -3, 3, -3"},
    {25, "3, -4, 3, -3, 3, -3, 3, -3", "3, -3, 3, -3, 3, -3, -4, -3"},
    {26, "3, -4, 3, -3, 3, -3, -4, -3", "3, -4, 3, -3, 3, -3, -4, -3"},
    {27, "3, -4, 3, -3, 3, -4, -4, -3", "3, -4, -4, -3, 3, -3, -4, -3"},
    {28, "3, -4, -4, -3, 3, -4, -4, -3", "3, -4, -4, -3, 3, -4, -4, -3"},
    {29, "3, -4, -4, -4, 3, -4, -4, -3", "3, -4, -4, -3, -4, -4, -4, -3"},
    {30, "3, -4, -4, -4, -4, -4, -4, -3", "3, -4, -4, -4, -4, -4, -4, -3"},
    {31, "3, -4, -4, -4, -4, -4, -4, -4", "-4, -4, -4, -4, -4, -4, -4, -3"},
    {32, "-4, -4, -4, -4, -4, -4, -4, -4", "-4, -4, -4, -4, -4, -4, -4, -4"},
};

TEST(LineDecomposition, FixedShapesForEverySizeAndParity) {
    for (const Row& row : kRows) {
        // The shapes above never depend on the other tables or on the entry count.
        for (int maxSize : {row.size, 40}) {
            EXPECT_EQ(decomposeTable(row.size, true, maxSize, false), codes(row.odd))
                << "odd table of " << row.size;
            EXPECT_EQ(decomposeTable(row.size, false, maxSize, true), codes(row.even))
                << "even table of " << row.size;
        }
    }
}

TEST(LineDecomposition, GroupsAccountForEveryPlayer) {
    auto players = [](int code) { return code == 1 ? 1 : code < 0 ? -code : code; };
    for (int size = 1; size <= 128; ++size)
        for (bool odd : {true, false})
            for (int maxSize : {size, 128}) {
                int sum = 0;
                for (int code : decomposeTable(size, odd, maxSize, false)) sum += players(code);
                EXPECT_EQ(sum, size) << size << (odd ? " odd" : " even") << " max " << maxSize;
            }
}

TEST(LineDecomposition, FourBlocksOnlyWhenNoLargerTableAmongTheFirstThirty) {
    EXPECT_EQ(decomposeTable(4, true, 4, false), codes("-4"));
    EXPECT_EQ(decomposeTable(4, false, 3, false), codes("-4"));
    EXPECT_EQ(decomposeTable(4, true, 5, false), codes("2, 2"));
    EXPECT_EQ(decomposeTable(8, false, 8, false), codes("-4, -4"));
    EXPECT_EQ(decomposeTable(8, true, 9, false), codes("2, 2, 2, 2"));
    EXPECT_EQ(decomposeTable(16, true, 16, false), codes("-4, -4, -4, -4"));
    EXPECT_EQ(decomposeTable(16, false, 17, false), std::vector<int>(8, 2));
}

TEST(LineDecomposition, PairsPlayOutsideOnlyInAFullBracketAndOddSizesHaveNoChoice) {
    EXPECT_EQ(decomposeTable(2, true, 2, true), codes("-2"));
    EXPECT_EQ(decomposeTable(2, false, 2, false), codes("2"));
    EXPECT_EQ(decomposeTable(1, true, 4, false), codes("1"));
    EXPECT_EQ(decomposeTable(1, false, 4, true), codes("1"));
    EXPECT_TRUE(decomposeTable(0, true, 4, false).empty());
    EXPECT_TRUE(decomposeTable(129, true, 129, false).empty());
}

// Larger tables are two halves, as the tabled shapes from 9 on are.
TEST(LineDecomposition, LargeTablesJoinTwoHalvesTheWayTheTabledShapesDo) {
    auto both = [](int n, bool odd) { return decomposeTable(n, odd, 128, false); };
    auto joined = [](std::vector<int> a, const std::vector<int>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    EXPECT_EQ(both(64, true), std::vector<int>(16, -4));
    EXPECT_EQ(both(33, true), joined(both(17, true), both(16, true)));
    EXPECT_EQ(both(33, false), joined(both(16, false), both(17, false)));
    EXPECT_EQ(both(42, true), joined(both(21, true), both(21, false)));
}

TEST(LineDecomposition, GroupRowsAreTwoPerPlayer) {
    EXPECT_EQ(groupRows(2), 4);
    EXPECT_EQ(groupRows(-2), 4);
    EXPECT_EQ(groupRows(3), 6);
    EXPECT_EQ(groupRows(-3), 6);
    EXPECT_EQ(groupRows(-4), 8);
    EXPECT_EQ(groupRows(1), 0);
}

}  // namespace
}  // namespace tombra::bracket
