#include <gtest/gtest.h>

#include "bracket/PageModel.h"
#include "bracket/TableMerge.h"
#include "state/TournamentState.h"

namespace tombra::bracket {
namespace {

TEST(PageModel, HalvesTakeConsecutiveRunsAndSurplusTablesAreLeftOut) {
    const PageModel two(16, 2);
    EXPECT_EQ(two.tablesPerHalf(), 4);
    const PageTables p2 = two.page(2);
    EXPECT_EQ(p2.leftFirst, 9);
    EXPECT_EQ(p2.leftLast, 12);
    EXPECT_EQ(p2.rightFirst, 13);
    EXPECT_EQ(p2.rightLast, 16);

    // 13 tables on 2 pages: 3 per half; tables 13 is never written.
    const PageModel odd(13, 2);
    EXPECT_EQ(odd.tablesPerHalf(), 3);
    EXPECT_EQ(odd.page(2).rightLast, 12);

    // Fewer tables than half-pages: the halves are empty.
    const PageModel thin(8, 8);
    EXPECT_EQ(thin.tablesPerHalf(), 0);
    EXPECT_LT(thin.page(3).leftLast, thin.page(3).leftFirst);
}

TEST(PageModel, TitlesNumberThePagesOnlyWhenThereAreSeveral) {
    EXPECT_EQ(pageTitle("男子シングルス", 1, 1), "男子シングルス");
    EXPECT_EQ(pageTitle("男子シングルス", 2, 1), "男子シングルス(No1)");
    EXPECT_EQ(pageTitle("秋季大会", 32, 32), "秋季大会(No32)");
}

TEST(PageModel, FootersReadBackForEveryPage) {
    for (int p = 1; p <= 32; ++p) EXPECT_EQ(footerPage(pageFooter(p)), p);
    EXPECT_EQ(pageFooter(3), "─ 3 ─");
    EXPECT_EQ(footerPage("─ 3"), std::nullopt);
    EXPECT_EQ(footerPage("─  ─"), std::nullopt);
    EXPECT_EQ(footerPage("─ x ─"), std::nullopt);
    EXPECT_EQ(footerPage("男子シングルス"), std::nullopt);
}

struct Merge : ::testing::Test {
    TournamentState s;
    // Table t holds codes t + slot/100.
    void tables(std::initializer_list<int> sizes) {
        int t = 0;
        for (int n : sizes) {
            s.TableSize(++t) = static_cast<Integer>(n);
            for (int j = 1; j <= n; ++j) s.TableSlot(t, j) = static_cast<float>(t) + j / 100.0f;
        }
        s.TableCount = static_cast<Integer>(t);
    }
};

TEST_F(Merge, FiveTablesBecomeThreeInOrder) {
    tables({2, 1, 2, 2, 1});
    EXPECT_TRUE(hasLoneTables(s));
    ASSERT_TRUE(mergeTablePairs(s));
    EXPECT_EQ(s.TableCount, 3);
    EXPECT_EQ(s.TableSize(1), 3);
    EXPECT_EQ(s.TableSize(2), 4);
    EXPECT_EQ(s.TableSize(3), 1);
    EXPECT_EQ(s.TableSize(4), 0);
    const float expected1[] = {1.01f, 1.02f, 2.01f};
    const float expected2[] = {3.01f, 3.02f, 4.01f, 4.02f};
    for (int j = 1; j <= 3; ++j) EXPECT_FLOAT_EQ(s.TableSlot(1, j), expected1[j - 1]);
    for (int j = 1; j <= 4; ++j) EXPECT_FLOAT_EQ(s.TableSlot(2, j), expected2[j - 1]);
    EXPECT_FLOAT_EQ(s.TableSlot(3, 1), 5.01f);
    EXPECT_FLOAT_EQ(s.TableSlot(5, 1), 0);  // moved, not copied
    EXPECT_TRUE(hasLoneTables(s));
}

TEST_F(Merge, EightTablesHalveAndLoneTablesGo) {
    tables({2, 1, 2, 1, 1, 2, 1, 2});
    ASSERT_TRUE(mergeTablePairs(s));
    EXPECT_EQ(s.TableCount, 4);
    for (int t = 1; t <= 4; ++t) EXPECT_EQ(s.TableSize(t), 3) << t;
    EXPECT_FALSE(hasLoneTables(s));
}

TEST_F(Merge, ATableThatWouldOverflowLeavesTheDrawAsItWas) {
    tables({100, 40, 1, 1});
    EXPECT_FALSE(mergeTablePairs(s));
    EXPECT_EQ(s.TableCount, 4);
    EXPECT_EQ(s.TableSize(1), 100);
    EXPECT_EQ(s.TableSize(2), 40);
}

}  // namespace
}  // namespace tombra::bracket
