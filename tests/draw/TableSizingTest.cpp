#include <gtest/gtest.h>

#include "DrawFixture.h"
#include "draw/SeedingOrder.h"
#include "draw/TableSizing.h"

namespace tombra::draw {
namespace {

using test::tableOfRank;
using test::totalPositions;

TournamentState tables(int count, int entries) {
    TournamentState s;
    s.TableCount = static_cast<Integer>(count);
    s.EntryCount = static_cast<Integer>(entries);
    buildTableOrder(s, count);
    return s;
}

std::vector<int> sizesByRank(const TournamentState& s) {
    std::vector<int> sizes;
    for (int r = 1; r <= s.TableCount; ++r) sizes.push_back(s.TableSize(tableOfRank(s, r)));
    return sizes;
}

// Every position of a table is open, nothing beyond it.
void expectOpenExactlyWithinSizes(const TournamentState& s) {
    for (int t = 1; t <= s.TableCount; ++t)
        for (int k = 1; k <= 128; ++k)
            ASSERT_EQ(s.TableSlot(t, k), k <= s.TableSize(t) ? -1.0f : 0.0f) << t << "," << k;
}

TEST(SerpentineSizing, DealsOnePositionPerRankDownThenUp) {
    TournamentState twenty = tables(8, 20);
    ASSERT_FALSE(sizeTablesSerpentine(twenty, 0, false));
    EXPECT_EQ(sizesByRank(twenty), (std::vector<int>{3, 3, 3, 3, 2, 2, 2, 2}));
    expectOpenExactlyWithinSizes(twenty);

    // The fourth pass runs from rank 8 down and stops after rank 5.
    TournamentState twentyEight = tables(8, 28);
    ASSERT_FALSE(sizeTablesSerpentine(twentyEight, 0, false));
    EXPECT_EQ(sizesByRank(twentyEight), (std::vector<int>{3, 3, 3, 3, 4, 4, 4, 4}));

    // Fewer entries than tables: the lowest ranks get nothing.
    TournamentState five = tables(8, 5);
    ASSERT_FALSE(sizeTablesSerpentine(five, 0, false));
    EXPECT_EQ(sizesByRank(five), (std::vector<int>{1, 1, 1, 1, 1, 0, 0, 0}));
}

TEST(SerpentineSizing, SuperSeedTablesHoldOnePositionAndTheRestTakeTheEntries) {
    TournamentState s = tables(64, 300);
    ASSERT_FALSE(sizeTablesSerpentine(s, 16, false));
    const std::vector<int> sizes = sizesByRank(s);
    for (int r = 1; r <= 16; ++r) EXPECT_EQ(sizes[r - 1], 1) << r;
    // 284 positions over 48 tables: five passes and part of a sixth.
    for (int r = 17; r <= 64; ++r) EXPECT_TRUE(sizes[r - 1] == 5 || sizes[r - 1] == 6) << r;
    EXPECT_EQ(totalPositions(s), 300);
    expectOpenExactlyWithinSizes(s);
}

TEST(SerpentineSizing, TablesTooSmallForTheEntriesStopWithoutTouchingTheGrid) {
    struct Case {
        int tables, entries, superSeeds;
    } cases[] = {{8, 20, 8}, {8, 9, 16}, {64, 128 * 48 + 17, 16}, {8, 1025, 0}};
    for (const Case& c : cases) {
        TournamentState s = tables(c.tables, c.entries);
        const auto problem = sizeTablesSerpentine(s, c.superSeeds, false);
        ASSERT_TRUE(problem) << c.tables << " tables, " << c.entries << " entries";
        EXPECT_NE(problem->find("枠が足りません"), std::string::npos) << *problem;
        EXPECT_EQ(totalPositions(s), 0);
        for (int t = 1; t <= c.tables; ++t) ASSERT_EQ(s.TableSlot(t, 1), 0.0f);
    }
    // Exactly as many entries as positions is enough.
    TournamentState full = tables(8, 8);
    EXPECT_FALSE(sizeTablesSerpentine(full, 8, false));
    EXPECT_EQ(sizesByRank(full), std::vector<int>(8, 1));
    TournamentState most = tables(8, 1024);
    EXPECT_FALSE(sizeTablesSerpentine(most, 0, false));
    EXPECT_EQ(sizesByRank(most), std::vector<int>(8, 128));
}

TEST(LeagueSizing, FortyEntriesInLeaguesOfThreeOverEightTables) {
    for (int order : {0, 1}) {
        TournamentState s = tables(8, 40);
        s.LeagueSize = 3;
        s.LeagueRemainderOrder = static_cast<Integer>(order);
        ASSERT_FALSE(sizeTablesAsLeagues(s));
        // 13 leagues: the five beyond one a table go to ranks 8 down to 4; the one entry
        // left over to rank 1, or rank 8 in reverse order.
        const std::vector<int> expected = order == 0 ? std::vector<int>{4, 3, 3, 6, 6, 6, 6, 6}
                                                     : std::vector<int>{3, 3, 3, 6, 6, 6, 6, 7};
        EXPECT_EQ(sizesByRank(s), expected) << "order " << order;
        EXPECT_EQ(totalPositions(s), 40);
        expectOpenExactlyWithinSizes(s);
    }
}

TEST(LeagueSizing, MoreThanTwoLeaguesForATableIsRefused) {
    TournamentState s = tables(8, 100);
    s.LeagueSize = 3;
    const auto problem = sizeTablesAsLeagues(s);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("テーブル数を増やしてください"), std::string::npos);
    EXPECT_EQ(totalPositions(s), 0);
    // Sixteen leagues of three in eight tables is the most that fits.
    TournamentState most = tables(8, 50);
    most.LeagueSize = 3;
    EXPECT_FALSE(sizeTablesAsLeagues(most));
    EXPECT_EQ(totalPositions(most), 50);
}

}  // namespace
}  // namespace tombra::draw
