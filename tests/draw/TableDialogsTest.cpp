#include <gtest/gtest.h>

#include <algorithm>

#include "DrawFixture.h"
#include "draw/LeagueSizeDialog.h"
#include "draw/TableDialogs.h"

namespace tombra::draw {
namespace {

TEST(TableSettingsDialog, ProposalRulesApplyInOrderLaterOnesWinning) {
    struct Case {
        int entries, largestSchool, superSeeds, expected;
    } cases[] = {
        {20, 3, 0, 8},    {31, 0, 0, 8},       {32, 0, 0, 16},
        {40, 10, 0, 16},  {40, 3, 0, 8},    // the largest school wins over the entry count
        {40, 20, 0, 32},  {64, 3, 0, 32},   // more than 63 entries win over a small school
        {600, 5, 0, 32},  {600, 0, 0, 32},  // ... and over the counts above 511
        {600, 40, 0, 64}, {1100, 100, 0, 128}, {1100, 200, 0, 32},
        {20, 3, 8, 64},   {600, 100, 16, 64},  // super seeds always want 64
    };
    for (const Case& c : cases) {
        TournamentState s;
        s.EntryCount = static_cast<Integer>(c.entries);
        s.MaxSchoolEntries = static_cast<Integer>(c.largestSchool);
        s.SuperSeedCount = static_cast<Integer>(c.superSeeds);
        EXPECT_EQ(proposedTableCount(s), c.expected)
            << c.entries << " entries, largest school " << c.largestSchool << ", super seeds "
            << c.superSeeds;
    }
}

TEST(TableSettingsDialog, LeagueThenBracketProposesTheCountHoldingOneOrTwoLeaguesATable) {
    struct Case {
        int entries, expected;
    } cases[] = {{23, 0}, {24, 8}, {48, 8}, {49, 16}, {96, 16}, {97, 32}, {768, 128}, {769, 0}};
    for (const Case& c : cases) {
        TournamentState s;
        s.LeagueThenTournament = 1;
        s.LeagueSize = 3;
        s.MaxSchoolEntries = 30;  // not looked at in this form
        s.EntryCount = static_cast<Integer>(c.entries);
        EXPECT_EQ(proposedTableCount(s), c.expected) << c.entries;
    }
}

TEST(TableSettingsDialog, OpeningShowsTheLargestSchoolAndSetsTheCountOnlyForAPlainBracket) {
    ui::Forms forms;
    ui::Form& form = forms.get(tableSettingsForm());
    EXPECT_EQ(form.caption(), "テーブル設定");
    EXPECT_EQ(form.text("Option6"), "フリー⇒");

    TournamentState s;
    s.EntryCount = 40;
    s.MaxSchoolEntries = 10;
    prepareTableSettings(form, s);
    EXPECT_EQ(form.text("Label6"), "10");
    EXPECT_EQ(form.selectedOption("Frame1"), "Option2");
    EXPECT_EQ(selectedTableCount(form), 16);
    EXPECT_EQ(s.TableCount, 16);

    // League then bracket: selected, but the count waits for OK; with no proposal the last
    // choice stays selected.
    TournamentState leagues;
    leagues.LeagueThenTournament = 1;
    leagues.LeagueSize = 3;
    leagues.EntryCount = 100;
    prepareTableSettings(form, leagues);
    EXPECT_EQ(form.selectedOption("Frame1"), "Option3");
    EXPECT_EQ(leagues.TableCount, 0);
    leagues.EntryCount = 10;
    prepareTableSettings(form, leagues);
    EXPECT_EQ(form.selectedOption("Frame1"), "Option3");

    form.setValue("Option6", true);
    EXPECT_TRUE(freeTablesSelected(form));
    EXPECT_EQ(selectedTableCount(form), 0);
}

TEST(LeagueOptionsDialog, StartsAtThreeWithLeagueNumbersAndStoresEachFrame) {
    ui::Forms forms;
    ui::Form& form = forms.get(leagueOptionsForm());
    EXPECT_EQ(form.caption(), "リーグ人数などの設定");
    TournamentState s;
    storeLeagueOptions(form, s);
    EXPECT_EQ(s.LeagueSize, 3);
    EXPECT_EQ(s.BracketLabelMode, 1);
    EXPECT_EQ(s.LeagueRemainderOrder, 0);

    form.setValue("Option3", true);
    form.setValue("Option4", true);
    form.setValue("Option7", true);
    storeLeagueOptions(form, s);
    EXPECT_EQ(s.LeagueSize, 5);
    EXPECT_EQ(s.BracketLabelMode, 0);
    EXPECT_EQ(s.LeagueRemainderOrder, 1);
    form.setValue("Option2", true);
    storeLeagueOptions(form, s);
    EXPECT_EQ(s.LeagueSize, 4);
}

TEST(LeagueSizeDialog, GroupSizesForFixedAndVariableLeagues) {
    using V = std::vector<int>;
    EXPECT_EQ(leagueGroupSizes(23, 5, true, 0), (V{5, 5, 5, 4, 4}));
    EXPECT_EQ(leagueGroupSizes(10, 3, true, 0), (V{3, 3, 2, 2}));
    EXPECT_EQ(leagueGroupSizes(12, 3, true, 0), (V{3, 3, 3, 3}));
    // Groups of 7 and 6 cannot hold 8: the two groups share them.
    EXPECT_EQ(leagueGroupSizes(8, 7, true, 0), (V{4, 4}));
    EXPECT_EQ(leagueGroupSizes(10, 3, false, 0), (V{4, 3, 3}));
    EXPECT_EQ(leagueGroupSizes(14, 3, false, 2), (V{1, 1, 3, 3, 3, 3}));
    EXPECT_EQ(leagueGroupSizes(15, 3, false, 2), (V{1, 1, 4, 3, 3, 3}));
    EXPECT_EQ(leagueGroupSizes(2, 2, false, 2), (V{1, 1}));
    // Left-over entries with no group of their size to join, or nothing to group.
    EXPECT_EQ(leagueGroupSizes(5, 3, false, 0), V{});
    EXPECT_EQ(leagueGroupSizes(2, 3, false, 0), V{});
    EXPECT_EQ(leagueGroupSizes(0, 3, true, 0), V{});
    for (int n = 1; n <= 300; ++n)
        for (int size = 3; size <= 7; ++size) {
            const V fixed = leagueGroupSizes(n, size, true, 0);
            ASSERT_FALSE(fixed.empty()) << n << "/" << size;
            const auto [least, most] = std::minmax_element(fixed.begin(), fixed.end());
            ASSERT_LE(*most, size) << n << "/" << size;
            ASSERT_LE(*most - *least, 1) << n << "/" << size;
            // No group fewer would do.
            ASSERT_LT((static_cast<int>(fixed.size()) - 1) * size, n) << n << "/" << size;
        }
}

struct LeagueSizeAsked : test::DrawSession {};

TEST_F(LeagueSizeAsked, OkMakesTheGroupsAndCancelMarksTheLeagueCancelled) {
    ASSERT_EQ(session.forms.get(leagueSizeForm()).selectedOption("Frame1"), "Option3");
    s.EntryCount = 23;
    s.TableSize(9) = 4;  // from an earlier grouping
    shell.fill["Form9"] = [](ui::Form& f) { f.setValue("Option6", true); };
    ASSERT_TRUE(askLeagueSize(session));
    EXPECT_EQ(s.TableCount, 5);
    EXPECT_EQ(s.TableSize(1), 5);
    EXPECT_EQ(s.TableSize(5), 4);
    EXPECT_EQ(s.TableSize(9), 0);
    EXPECT_EQ(s.LeagueCancelled, 0);

    shell.press["Form9"] = "Command2";
    EXPECT_FALSE(askLeagueSize(session));
    EXPECT_EQ(s.LeagueCancelled, 1);
    EXPECT_EQ(s.TableCount, 5);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(LeagueSizeAsked, GroupsThatCannotBeMadeAreToldAndCountAsCancelled) {
    s.EntryCount = 5;
    shell.fill["Form9"] = [](ui::Form& f) { f.setValue("Option1", true); };  // variable, three
    EXPECT_FALSE(askLeagueSize(session));
    EXPECT_EQ(s.LeagueCancelled, 1);
    EXPECT_EQ(s.TableCount, 0);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].find("リーグを組めません"), std::string::npos);

    // 400 entries in leagues of three would need more groups than the tables hold.
    s.EntryCount = 400;
    EXPECT_FALSE(askLeagueSize(session));
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_NE(shell.messages[1].find("128 を超えます"), std::string::npos);
}

}  // namespace
}  // namespace tombra::draw
