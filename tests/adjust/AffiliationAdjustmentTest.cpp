#include <gtest/gtest.h>

#include "AdjustFixture.h"
#include "adjust/AffiliationAdjustment.h"
#include "app/CommandMap.h"
#include "state/EntryCode.h"

namespace tombra::adjust {
namespace {

using test::clashes;
using Grid = std::vector<std::vector<float>>;
using Texts = std::vector<std::string>;

struct AffiliationAdjustment : test::AdjustSession {
    // Eight tables of three; schools 1..8 with three entries each, none twice in a table.
    Grid separated() {
        Grid tables(8);
        for (int t = 1; t <= 8; ++t)
            for (int k = 1; k <= 3; ++k) tables[t - 1].push_back(entry((t + k * 3) % 8 + 1, k));
        return tables;
    }
    // The positions whose entries differ from `before`.
    std::vector<std::pair<int, int>> changes(const TournamentState& before) const {
        std::vector<std::pair<int, int>> changed;
        for (int t = 1; t <= s.TableCount; ++t)
            for (int k = 1; k <= s.TableSize(t); ++k)
                if (s.TableSlot(t, k) != before.TableSlot(t, k)) changed.emplace_back(t, k);
        return changed;
    }
};

TEST_F(AffiliationAdjustment, LeavesADrawWithoutClashesAsItIs) {
    // Before the placement it refuses.
    layOut(separated());
    session.marks.set("投入", false);
    session.marks.set("調整Ⅰ", false);
    adjustAffiliations(session);
    EXPECT_EQ(shell.messages, Texts{"投入を実行して下さい"});
    EXPECT_FALSE(session.marks.checked("調整Ⅰ"));

    // Entries without a block number never clash by block; two seeds of one school (seed 9
    // laid out by hand in table 1) stay without a word.
    s.BlockMode = 1;
    Grid tables = separated();
    tables[0][1] = entries.add(1, 1), tables[0][2] = entries.add(1, 9);
    layOut(tables);
    shell.messages.clear();
    const TournamentState before = s;
    ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("調整(&C)/調整Ⅰ(&T)")));
    EXPECT_EQ(shell.messages, Texts{"調整Ⅰ・終了"});
    EXPECT_TRUE(session.marks.checked("調整Ⅰ"));
    EXPECT_EQ(shell.captions, Texts{"振分Ⅰ"});
    EXPECT_EQ(session.progress.max(), 8.0f);
    EXPECT_FALSE(session.progress.visible());
    EXPECT_EQ(changes(before), (std::vector<std::pair<int, int>>{}));
}

TEST_F(AffiliationAdjustment, TheNonSeedOfAClashChangesPlacesWithOneEntryOfAnotherTable) {
    // Seed 1 (school 1) heads table 1, seed 2 (school 3) ends table 8. The clash is either
    // of two non-seeds (the later one moves) or of a seed and the entry before it.
    const float seed1 = entries.add(1, 1), seed2 = entries.add(3, 2);
    Grid tables(8);
    for (int t = 2; t <= 7; ++t)
        for (int k = 1; k <= 3; ++k)
            tables[t - 1].push_back(entry(t < 5 ? 3 + k : 6 + k, t % 4 + 1));
    struct Case {
        std::vector<float> first, last;
        int table, mover;
    } cases[] = {
        {{seed1, entry(2, 1), entry(2, 2)}, {entry(11, 1), entry(12, 1), seed2}, 1, 3},
        {{seed1, entry(2, 1), entry(8, 1)}, {entry(3, 2), entry(11, 1), seed2}, 8, 1},
    };
    for (const Case& c : cases) {
        for (std::uint32_t round = 1; round <= 20; ++round) {
            SCOPED_TRACE("table " + std::to_string(c.table) + ", round " + std::to_string(round));
            session.random.setFixedSeed(round);
            tables[0] = c.first, tables[7] = c.last;
            layOut(tables);
            const TournamentState before = s;
            adjustAffiliations(session);
            ASSERT_EQ(clashes(s), Texts{});
            const auto changed = changes(before);
            ASSERT_EQ(changed.size(), 2u);
            const auto [u, v] = changed[0] == std::pair{c.table, c.mover} ? changed[1] : changed[0];
            ASSERT_NE(u, c.table);
            ASSERT_EQ(s.TableSlot(u, v), before.TableSlot(c.table, c.mover));
            ASSERT_EQ(s.TableSlot(c.table, c.mover), before.TableSlot(u, v));
            ASSERT_EQ(s.TableSlot(1, 1), seed1);
            ASSERT_EQ(s.TableSlot(8, 3), seed2);
        }
    }
}

TEST_F(AffiliationAdjustment, EntriesOfOneBlockAreSeparatedAndTheirBlocksGoWithThem) {
    s.BlockMode = 1;
    for (int school = 1; school <= 20; ++school) s.SchoolBlock(school) = Integer(school);
    s.SchoolBlock(2) = 1;  // schools 1 and 2 form one block
    Grid tables(8);
    tables[0] = {entry(1, 1), entry(2, 1), entry(3, 1)};
    for (int t = 2; t <= 8; ++t) tables[t - 1] = {entry(t + 2, 1), entry(t + 10, 1)};
    for (std::uint32_t round = 1; round <= 10; ++round) {
        session.random.setFixedSeed(round);
        layOut(tables);
        adjustAffiliations(session);
        ASSERT_EQ(clashes(s, true), Texts{}) << round;
        ASSERT_EQ(s.BlockMode, 1);
        for (int t = 1; t <= 8; ++t)
            for (int k = 1; k <= s.TableSize(t); ++k)
                ASSERT_EQ(s.SlotBlock(t, k), s.SchoolBlock(decodeEntry(s.TableSlot(t, k)).school));
    }
}

// School 1 has eight entries for eight tables, but one table holds only seeds: another
// must hold two of school 1, which nothing can mend. Another table may hold school 30 twice,
// which can be repaired.
struct ImpossibleSeparation : AffiliationAdjustment {
    Grid tables(int crowded, int repairable, int seedsOnly) {
        s.BlockMode = 1;
        for (int school = 1; school <= 60; ++school) s.SchoolBlock(school) = Integer(school);
        Grid grid(8);
        int next = 1, seed = 0;
        for (int t = 1; t <= 8; ++t) {
            const float head = entries.add(t + 10, ++seed);
            if (t == seedsOnly) {
                grid[t - 1] = {head, entries.add(t + 40, ++seed)};
                continue;
            }
            grid[t - 1] = {head, entry(1, next++), entry(30 + t, 1)};
            if (t == crowded) grid[t - 1].push_back(entry(1, next++));
            if (t == repairable) grid[t - 1] = {head, grid[t - 1][1], entry(30, 1), entry(30, 2)};
        }
        return grid;
    }
};

TEST_F(ImpossibleSeparation, IsToldWithTheTableNumberAndSuspendsBlocksUntilTheNextExchange) {
    layOut(tables(2, 6, 8));
    adjustAffiliations(session);
    EXPECT_EQ(shell.messages, (Texts{"テーブル内振分ができません2", "調整Ⅰ・終了"}));
    EXPECT_EQ(clashes(s), Texts{"2:1"});
    EXPECT_EQ(s.BlockMode, 1);  // the exchange in table 6 came after the failure
    EXPECT_EQ(session.log.text().find("ブロック処理を外しました"), std::string::npos);

    shell.messages.clear();
    layOut(tables(7, 3, 1));
    adjustAffiliations(session);
    EXPECT_EQ(shell.messages, (Texts{"テーブル内振分ができません7", "調整Ⅰ・終了"}));
    EXPECT_EQ(clashes(s), Texts{"7:1"});
    EXPECT_EQ(s.BlockMode, 0);  // no exchange followed, and the log says so
    EXPECT_NE(session.log.text().find(
                  "調整Ⅰで振り分けられないテーブルがあったため、ブロック処理を外しました"),
              std::string::npos);
}

// Three of school 1 in a table and nothing else that may move: each pair fails, the table
// is told once.
TEST_F(ImpossibleSeparation, ATableWithManyClashesIsToldOnce) {
    Grid grid(8);
    grid[0] = {entry(1, 1), entry(1, 2), entry(1, 3)};
    for (int t = 2, seed = 0; t <= 8; ++t)
        grid[t - 1] = {entries.add(t + 10, ++seed), entries.add(t + 20, ++seed)};
    layOut(grid);
    TournamentState copy = s;
    const adjust::SeparationResult direct = adjust::separateSchools(copy, session.random);
    EXPECT_EQ(direct.exchanges, 0);
    EXPECT_EQ(direct.failures, 3);  // every pair of the three
    adjustAffiliations(session);
    EXPECT_EQ(shell.messages, (Texts{"テーブル内振分ができません1", "調整Ⅰ・終了"}));
}

// Nine of school 1 for eight tables: a table holding two holds its share and is left as it
// is; one holding three gives one up.
TEST_F(AffiliationAdjustment, ASchoolLargerThanTheTablesHoldsItsShareOfEachTable) {
    Grid grid(8);
    int next = 1;
    for (int t = 1; t <= 8; ++t) grid[t - 1] = {entry(1, next++), entry(t + 10, 1)};
    grid[1].push_back(entry(1, next++));
    TournamentState& state = s;
    layOut(grid);
    adjustAffiliations(session);
    EXPECT_EQ(shell.messages, Texts{"調整Ⅰ・終了"});
    EXPECT_EQ(clashes(state), Texts{"2:1"});
    grid[1].push_back(entry(1, next++));
    grid[4].pop_back();
    grid[4].push_back(entry(15, 1));
    layOut(grid);
    adjustAffiliations(session);
    for (const std::multiset<int>& table : test::schoolsByTable(state))
        EXPECT_LE(table.count(1), 2u);
}

TEST_F(AffiliationAdjustment, TablesWithoutPositionsAreNeverPartners) {
    // Fewer entries than tables: only table 2 can take one of school 1.
    Grid grid(8);
    grid[0] = {entry(1, 1), entry(1, 2)};
    grid[1] = {entry(2, 1)};
    layOut(grid);
    adjustAffiliations(session);
    EXPECT_EQ(shell.messages, Texts{"調整Ⅰ・終了"});
    EXPECT_EQ(s.TableSlot(1, 2), encodeEntry(2, 1));
    EXPECT_EQ(s.TableSlot(2, 1), encodeEntry(1, 2));

    // With no partner at all the search still ends.
    shell.messages.clear();
    grid[1] = {};
    layOut(grid);
    adjustAffiliations(session);
    EXPECT_EQ(shell.messages, (Texts{"テーブル内振分ができません1", "調整Ⅰ・終了"}));
}

}  // namespace
}  // namespace tombra::adjust
