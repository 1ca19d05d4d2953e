#include <gtest/gtest.h>

#include "LeagueFixture.h"
#include "league/IndividualLeaguePlacement.h"

namespace tombra::league::test {
namespace {

constexpr const char* kPlace = "個人リーグ投入(&K)";

std::vector<int> groupSizes(const TournamentState& s) {
    const std::vector<int> all = sizesOf(s);
    return {all.begin() + 1, all.begin() + 1 + s.TableCount};
}

struct IndividualPlacement : LeagueSession {};

TEST_F(IndividualPlacement, TenEntriesFillFixedVariableAndSuperSeedGroups) {
    struct Case {
        bool fixed;
        int superSeeds;
        std::vector<int> sizes;
    };
    for (const Case& c :
         {Case{true, 0, {3, 3, 2, 2}}, Case{false, 0, {4, 3, 3}}, Case{false, 2, {1, 1, 4, 4}}}) {
        reopen();
        for (int i = 1; i <= 10; ++i) add({i, 1, 1, i == 1});
        s.LeagueSuperSeedCount = static_cast<Integer>(c.superSeeds);
        chooseLeagueSize(3, c.fixed);
        ASSERT_TRUE(run(kPlace));
        EXPECT_EQ(groupSizes(s), c.sizes);
        EXPECT_EQ(groupFaults(s, 10, true), Messages{});
        EXPECT_EQ(shell.messages, Messages{"投入終了"});  // the check finds nothing
        EXPECT_EQ(placesOf(s)[1].second, 1);              // the seed heads its group
    }
}

TEST_F(IndividualPlacement, LargeSchoolsReserveRunsOfGroupsInSchoolOrder) {
    struct Case {
        Groups schools;  // entries per school: {school, count}
        int size;
        std::vector<int> reserved;  // TableSecondSchool(1..5)
    };
    // Four groups: school 5 has one entry beyond a round (one group), school 7 two (two
    // groups); three groups and school 3 with nine entries (three a group): all reserved.
    for (const Case& c : {Case{{{7, 6}, {5, 5}, {1, 1}}, 3, {5, 7, 7, 0, 0}},
                          Case{{{3, 9}, {4, 1}, {5, 1}, {6, 1}}, 4, {3, 3, 3, 0, 0}}}) {
        reopen();
        int n = 0;
        for (const auto& school : c.schools)
            for (int k = 0; k < school[1]; ++k, ++n) add({school[0]});
        chooseLeagueSize(c.size, true);
        ASSERT_TRUE(run(kPlace));
        std::vector<int> reserved;
        for (int g = 1; g <= 5; ++g) reserved.push_back(s.TableSecondSchool(g));
        EXPECT_EQ(reserved, c.reserved);
        EXPECT_EQ(groupFaults(s, n, true), Messages{});
    }
}

TEST_F(IndividualPlacement, SeedsOpenDistinctGroupsButNoneReservedForTheirSchool) {
    // School 2 has seven entries over four groups, three groups reserved for it: its seed
    // (entry 1) must head the fourth, whatever the draw.
    for (int i = 0; i < 7; ++i) add({2, 1, 1, i == 0});
    for (int i = 0; i < 5; ++i) add({10 + i, 1, 1, i < 2});
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        session.random.setFixedSeed(seed);
        shell.messages.clear();
        chooseLeagueSize(3, true);
        ASSERT_TRUE(run(kPlace));
        ASSERT_EQ(groupFaults(s, 12, true), Messages{});
        auto places = placesOf(s);
        EXPECT_NE(s.TableSecondSchool(places[1].first), 2) << seed;
        for (int e : {1, 8, 9}) EXPECT_EQ(places[e].second, 1) << seed;
    }

    // Six seeds, three groups: three head groups, the rest end in the fallback with no group
    // left and are drawn like everyone else.
    reopen();
    for (int i = 0; i < 9; ++i) add({i + 1, 1, 1, i < 6});
    chooseLeagueSize(3, true);
    ASSERT_TRUE(run(kPlace));
    EXPECT_EQ(shell.messages, Messages{"投入終了"});
    EXPECT_EQ(groupFaults(s, 9, true), Messages{});
    for (int g = 1; g <= 3; ++g) EXPECT_LE(s.TableSlot(g, 1), 6.0f) << g;
}

TEST_F(IndividualPlacement, RefusalsAndCancelDrawNothing) {
    for (int i = 1; i <= 10; ++i) add({i});
    setGroups(s, {{5, 6}});
    s.DrawDone = 1;
    ASSERT_TRUE(run(kPlace));
    EXPECT_EQ(shell.messages, Messages{"投入済みです"});
    EXPECT_EQ(shell.formsShown, Messages{});

    s.DrawDone = 0;
    shell.messages.clear();
    shell.press["Form9"] = "Command2";
    ASSERT_TRUE(run(kPlace));
    EXPECT_EQ(s.LeagueCancelled, 1);
    EXPECT_TRUE(session.marks.checked(kPlace));
    // The cancel stopped that run only: OK draws.
    shell.press.clear();
    ASSERT_TRUE(run(kPlace));
    EXPECT_EQ(shell.messages, Messages{"投入終了"});
    EXPECT_EQ(s.TableCount, 2);
    EXPECT_EQ(groupFaults(s, 10, true), Messages{});

    // Sizes that cannot be made are told (three groups of one leave an entry for no group);
    // more entries than EntryTable holds are refused before the dialog.
    reopen();
    for (int i = 0; i < 4; ++i) add({i + 1});
    s.LeagueSuperSeedCount = 3;
    chooseLeagueSize(7, false);
    ASSERT_TRUE(run(kPlace));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].find("リーグを組めません"), std::string::npos);
    s.EntryCount = 301;
    shell.formsShown.clear();
    ASSERT_TRUE(run(kPlace));
    EXPECT_EQ(shell.formsShown, Messages{});
    EXPECT_NE(shell.messages.back().find("300"), std::string::npos) << shell.messages.back();
}

TEST(IndividualLeagueCheck, ReportsDoublesBlanksAndNumbersBeyondTheEntries) {
    LeagueShell shell;
    tombra::test::TempDir dir;
    Session session{shell, dir.path()};
    session.state.EntryCount = 5;
    setGroups(session.state, {{1, 2, 0}, {2, 9, 3}, {1, 4, 5}});
    checkIndividualLeague(session);
    EXPECT_EQ(shell.messages,
              (Messages{"空白あり：０", "ダブり＝2", "空白あり：オーバ", "ダブり＝1"}));
}

}  // namespace
}  // namespace tombra::league::test
