#include <gtest/gtest.h>

#include "AdjustFixture.h"
#include "adjust/NumberDistribution.h"
#include "app/CommandMap.h"
#include "state/EntryCode.h"

namespace tombra::adjust {
namespace {

using Texts = std::vector<std::string>;

// Eight tables of two; the halves are tables 1..4 and 5..8.
struct NumberDistribution : test::AdjustSession {
    std::vector<std::vector<float>> tables = std::vector<std::vector<float>>(8);
    void at(int table, float code) { tables[table - 1].push_back(code); }
    void fillUp() {
        int school = 50;
        for (auto& t : tables)
            while (t.size() < 3) t.push_back(entry(school++, 1));
        layOut(tables);
    }
    float code(int school, int number) const { return encodeEntry(school, number); }
    int tableOf(float code) const {
        for (int t = 1; t <= s.TableCount; ++t)
            for (int k = 1; k <= s.TableSize(t); ++k)
                if (s.TableSlot(t, k) == code) return t;
        return 0;
    }
};

TEST_F(NumberDistribution, EntryTwoChangesPlacesWithTheFirstTeammateInTheOtherHalf) {
    at(2, entry(1, 1));
    at(3, entry(1, 2));
    at(6, entry(1, 3));
    fillUp();
    const TournamentState before = s;
    const app::MenuItem* item = app::findMenuItem("調整(&C)/ナンバー振分(&N)");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(app::runMenuItem(session, *item));

    EXPECT_EQ(shell.messages, Texts{"ＮＯ振分終了"});
    EXPECT_EQ(shell.captions, Texts{"ＮＯ振分"});
    EXPECT_TRUE(session.marks.checked("ナンバー振分(&N)"));
    EXPECT_EQ(session.progress.max(), 200.0f);
    EXPECT_EQ(tableOf(code(1, 1)), 2);
    EXPECT_EQ(tableOf(code(1, 2)), 6);
    EXPECT_EQ(tableOf(code(1, 3)), 3);
    // Only those two positions changed, each taking the other's slot.
    int changed = 0;
    for (int t = 1; t <= 8; ++t)
        for (int k = 1; k <= 3; ++k) changed += s.TableSlot(t, k) != before.TableSlot(t, k);
    EXPECT_EQ(changed, 2);

    // Done once, a second run finds nothing to do.
    EXPECT_EQ(adjust::separateLeadingPair(s), 0);
}

TEST_F(NumberDistribution, BothInTheBottomHalfSendEntryTwoToTheTop) {
    at(5, entry(1, 1));
    at(8, entry(1, 2));
    at(7, entry(1, 3));
    at(1, entry(1, 4));
    at(2, entry(1, 5));
    fillUp();
    EXPECT_EQ(adjust::separateLeadingPair(s), 1);
    EXPECT_EQ(tableOf(code(1, 2)), 1);
    EXPECT_EQ(tableOf(code(1, 4)), 8);
    EXPECT_EQ(tableOf(code(1, 5)), 2);
}

TEST_F(NumberDistribution, SeedsAndSmallSchoolsAreLeftAlone) {
    // Eight tables: table 5 heads rank 3, table 7 rank 7, both with the seed on top.
    // School 1's entry 2 is seed 3; school 3's entry 3 is seed 7.
    entries.add(1);
    const float seed3 = entries.add(1, 3);
    entries.add(1);
    entries.add(3, 2, {});
    const float seed7 = entries.add(3, 7);
    entries.add(3);

    // School 1: entry 1 and its seeded entry 2 share the bottom half, entry 3 is on top.
    at(6, code(1, 1));
    at(5, seed3);
    at(1, code(1, 3));
    // School 2 has two entries, both on top.
    at(2, entry(2, 1));
    at(3, entry(2, 2));
    // School 3: entries 1 and 2 on top; the seed (entry 3) below is passed over for entry 4.
    at(4, code(3, 1));
    at(2, code(3, 2));
    at(7, seed7);
    at(8, code(3, 4));
    fillUp();
    ASSERT_EQ(s.TableSlot(5, 1), seed3);
    ASSERT_EQ(s.TableSlot(7, 1), seed7);

    EXPECT_EQ(adjust::separateLeadingPair(s), 1);
    EXPECT_EQ(tableOf(code(1, 1)), 6);
    EXPECT_EQ(tableOf(code(1, 3)), 1);
    EXPECT_EQ(tableOf(code(2, 1)), 2);
    EXPECT_EQ(tableOf(code(2, 2)), 3);
    EXPECT_EQ(tableOf(seed7), 7);
    EXPECT_EQ(tableOf(code(3, 2)), 8);
    EXPECT_EQ(tableOf(code(3, 4)), 2);
}

TEST_F(NumberDistribution, AnEntryMissingFromTheDrawIsInNeitherHalf) {
    // Entry 1 of school 1 is not in the draw; entry 3 would otherwise be taken.
    entries.add(1);
    at(2, entry(1, 2));
    at(6, entry(1, 3));
    fillUp();
    EXPECT_EQ(adjust::separateLeadingPair(s), 0);
    EXPECT_EQ(tableOf(code(1, 2)), 2);
}

}  // namespace
}  // namespace tombra::adjust
