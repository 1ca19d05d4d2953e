#include <gtest/gtest.h>

#include "LeagueFixture.h"

namespace tombra::league::test {
namespace {

constexpr const char* kPlaceSingles = "シングルスリーグ投入(&S)";
constexpr const char* kPlaceTeams = "団体リーグ投入(&G)";
constexpr const char* kAdjustSingles = "シングルスリーグ調整(&S)";
constexpr const char* kAdjustTeams = "団体リーグ調整(&G)";

struct SimpleLeague : LeagueSession {
    // A singles row: school in column 1, seed number in column 5.
    int single(int school, int seed = 0) {
        const int row = s.EntryCount + 1;
        s.EntryTable(row, 1) = std::to_string(school);
        s.EntryTable(row, 5) = seed > 0 ? std::to_string(seed) : "";
        s.SeedCount = std::max<Integer>(s.SeedCount, static_cast<Integer>(seed));
        s.EntryCount = static_cast<Integer>(row);
        return row;
    }
    // A team row: school in column 1, seed number in column 3, counted in SchoolCount as
    // File > Open counts teams.
    int team(int school, int seed = 0) {
        const int row = single(school);
        s.EntryTable(row, 5) = "";
        s.EntryTable(row, 3) = seed > 0 ? std::to_string(seed) : "";
        s.SchoolCount = static_cast<Integer>(row);
        return row;
    }
    Groups inGroups(const Groups& schools, bool teams) {
        Groups groups;
        for (const auto& group : schools) {
            groups.emplace_back();
            for (int school : group) groups.back().push_back(teams ? team(school) : single(school));
        }
        setGroups(s, groups);
        return groups;
    }
};

TEST_F(SimpleLeague, SeedsHeadTheGroupOfTheirNumberAndTheRestIsDrawnOnce) {
    for (int i = 1; i <= 10; ++i) single(i, i == 3 ? 1 : i == 7 ? 2 : i == 9 ? 5 : 0);
    s.SeedCount = 2;  // seed number 5 lies beyond it: entry 9 is drawn like the others
    chooseLeagueSize(3, true);
    ASSERT_TRUE(run(kPlaceSingles));
    EXPECT_EQ(shell.messages, Messages{"シングルスリーグ投入終了"});
    EXPECT_TRUE(session.marks.checked(kPlaceSingles));
    EXPECT_EQ(groupFaults(s, 10, true), Messages{});
    auto places = placesOf(s);
    EXPECT_EQ(places[3], std::make_pair(1, 1));
    EXPECT_EQ(places[7], std::make_pair(2, 1));

    // More seeds than groups, and a seed number past the grid: drawn into the groups made.
    reopen();
    for (int i = 1; i <= 5; ++i) single(i, i);
    single(6, 200);
    ASSERT_TRUE(run(kPlaceSingles));
    EXPECT_EQ(shell.messages, Messages{"シングルスリーグ投入終了"});
    ASSERT_EQ(s.TableCount, 2);
    EXPECT_EQ(groupFaults(s, 6, true), Messages{});
    for (int g = 3; g <= 6; ++g) EXPECT_EQ(s.TableSlot(g, 1), 0.0f) << g;
    places = placesOf(s);
    EXPECT_EQ(places[1], std::make_pair(1, 1));
    EXPECT_EQ(places[2], std::make_pair(2, 1));

    // Entries beyond the table of entries cannot be drawn: refused before Form9.
    reopen();
    for (int i = 1; i <= 300; ++i) single(i % 50 + 1);
    s.EntryCount = 301;
    shell.formsShown.clear();
    ASSERT_TRUE(run(kPlaceSingles));
    EXPECT_EQ(shell.messages,
              Messages{"シングルスリーグに組めるのは 300 名までです（エントリー数 301）"});
    EXPECT_EQ(shell.formsShown, Messages{});
}

// Team seeds beyond the groups made, and a seed number no team seed has, are drawn as
// ordinary teams: every team once, no place empty, nothing past the last group.
TEST_F(SimpleLeague, TeamSeedsBeyondTheGroupsAreDrawnLikeTheOtherTeams) {
    for (int i = 1; i <= 30; ++i) team(i, i <= 8 ? i : i == 9 ? 9 : 0);
    chooseLeagueSize(5, true);
    ASSERT_TRUE(run(kPlaceTeams));
    EXPECT_EQ(shell.messages, Messages{"投入終了"});
    ASSERT_EQ(s.TableCount, 6);
    EXPECT_EQ(groupFaults(s, 30, true), Messages{});
    for (int g = 1; g <= 6; ++g) EXPECT_EQ(s.TableSlot(g, 1), static_cast<float>(g)) << g;
    for (int g = 7; g <= 128; ++g)
        for (int p = 1; p <= 128; ++p) ASSERT_EQ(s.TableSlot(g, p), 0.0f) << g << "/" << p;
}

// A bracket's entry codes fill the grid after 投入: no league placement may read or size it.
TEST_F(SimpleLeague, LeaguePlacementsRefuseAfterTheBracketDraw) {
    struct Case {
        const char* command;
        const char* message;
    };
    const Case cases[] = {
        {kPlaceSingles, "ヤグラが投入済みのため、シングルスリーグ投入はできません"},
        {kPlaceTeams, "ヤグラが投入済みのため、団体リーグ投入はできません"},
        {"個人リーグ投入(&K)", "投入済みです"},
    };
    for (const Case& c : cases) {
        reopen();
        for (int i = 1; i <= 40; ++i) team(i % 8 + 1);
        const Groups bracket{{1011, 2021, 3031, 4041, 5051}, {1012, 2022, 3032, 4042, 5052}};
        setGroups(s, bracket);
        s.DrawDone = 1;
        shell.formsShown.clear();
        ASSERT_TRUE(run(c.command));
        EXPECT_EQ(shell.messages, Messages{c.message}) << c.command;
        EXPECT_EQ(shell.formsShown, Messages{}) << c.command;
        EXPECT_EQ(groupsOf(s), bracket) << c.command;
        EXPECT_EQ(s.TableSize(3), 0) << c.command;
        EXPECT_FALSE(session.marks.checked(c.command)) << c.command;
    }
}

// Form9 refusing sizes it cannot make stops that run only: the next run with sizes that can
// be made places everyone.
TEST_F(SimpleLeague, ARefusedLeagueSizeStopsOnlyItsOwnRun) {
    struct Case {
        const char* command;
        const char* done;
    };
    const Case cases[] = {
        {kPlaceSingles, "シングルスリーグ投入終了"},
        {kPlaceTeams, "投入終了"},
        {"個人リーグ投入(&K)", "投入終了"},
    };
    for (const Case& c : cases) {
        reopen();
        for (int i = 1; i <= 7; ++i) team(i);
        setGroups(s, {{1, 2, 3}, {4, 5, 6, 7}});
        const Groups before = groupsOf(s);
        chooseLeagueSize(5, false);
        ASSERT_TRUE(run(c.command));
        ASSERT_EQ(shell.messages.size(), 1u) << c.command;
        EXPECT_NE(shell.messages[0].find("リーグを組めません"), std::string::npos);
        EXPECT_EQ(groupsOf(s), before) << c.command;
        EXPECT_EQ(s.TableSize(3), 0) << c.command;

        s.TableSlot.fill(0);
        shell.messages.clear();
        chooseLeagueSize(3, true);
        ASSERT_TRUE(run(c.command));
        EXPECT_EQ(shell.messages, Messages{c.done}) << c.command;
        EXPECT_EQ(s.LeagueCancelled, 0) << c.command;
        EXPECT_EQ(groupFaults(s, 7, true), Messages{}) << c.command;
    }
}

TEST_F(SimpleLeague, ASecondPlacementFindsThePlacesTakenAndCancelPlacesNothing) {
    for (bool teams : {false, true}) {
        reopen();
        for (int i = 1; i <= 9; ++i) teams ? team(i) : single(i);
        chooseLeagueSize(3, true);
        ASSERT_TRUE(run(teams ? kPlaceTeams : kPlaceSingles));
        EXPECT_EQ(groupFaults(s, 9, true), Messages{});
        const Groups first = groupsOf(s);
        shell.messages.clear();
        ASSERT_TRUE(run(teams ? kPlaceTeams : kPlaceSingles));
        EXPECT_EQ(shell.messages, Messages{teams ? "オーバ" : "試行回数オーバ"});
        EXPECT_EQ(groupsOf(s), first);
    }
    reopen();
    for (int i = 1; i <= 6; ++i) team(i);
    shell.press["Form9"] = "Command2";
    ASSERT_TRUE(run(kPlaceTeams));
    ASSERT_TRUE(run(kPlaceSingles));
    EXPECT_EQ(shell.messages, Messages{});
    EXPECT_EQ(groupsOf(s), Groups{});
    EXPECT_TRUE(session.marks.checked(kPlaceTeams));
}

TEST_F(SimpleLeague, AdjustmentPartsSchoolsOrEndsTheCommandAtItsLimits) {
    inGroups({{1, 1, 2}, {3, 4, 5}, {6, 7, 8}}, false);
    ASSERT_TRUE(run(kAdjustSingles));
    EXPECT_EQ(shell.captions, (Messages{"調整", "調整 1/ 3", "調整 2/ 3", "調整 3/ 3"}));
    EXPECT_EQ(shell.messages, Messages{"調整終了"});
    EXPECT_FALSE(session.progress.visible());
    EXPECT_EQ(clashes(s, 1), 0);
    EXPECT_EQ(groupFaults(s, 9, true), Messages{});

    struct Case {
        const char* command;
        Groups schools;
        Messages messages;
        int cancelled;
    };
    const std::string abandoned = "交換できる相手が見つからないため、調整を打ち切ります";
    const std::vector<Case> cases{
        // Singles end at the 30000th B failure; teams say so and search on to the end of
        // a 16-bit counter.
        {kAdjustSingles, {{1, 1, 2}, {1, 1, 3}, {1, 1, 4}}, {"Ｂテーブル未決(1)"}, 0},
        {kAdjustTeams,
         {{1, 1, 2}, {1, 1, 3}, {1, 1, 4}},
         {"Ｂテーブル未決(1)", "Ｂテーブル未決(1)\n" + abandoned},
         0},
        {kAdjustTeams, {{1, 1, 3}, {2, 2, 2}, {2, 2, 2}}, {"Ｃテーブル未決(1)"}, 0},
        {kAdjustSingles, {{1, 1, 3}, {1, 4, 5}, {1, 6, 7}}, {"Ａテーブルと交換できない"}, 1},
        {kAdjustTeams, {}, {"投入を実行して下さい"}, 0},
    };
    for (const Case& c : cases) {
        reopen();
        const Groups groups = inGroups(c.schools, c.command == kAdjustTeams);
        ASSERT_TRUE(run(c.command));
        EXPECT_EQ(shell.messages, c.messages) << c.command;
        EXPECT_EQ(groupsOf(s), groups);
        // A command ended at a limit leaves the progress dialog shown.
        EXPECT_EQ(session.progress.visible(), !groups.empty());
        EXPECT_EQ(s.LeagueCancelled, c.cancelled);
        session.progress.hide();
    }
}

// Generated singles and team leagues: the adjustment keeps every entry once, the group
// sizes and the seeds' places, and parts the schools whenever it ends normally.
TEST_F(SimpleLeague, GeneratedLeaguesArePartedWithoutMovingSeeds) {
    std::mt19937 events(3);
    int parted = 0;
    for (int round = 0; round < 40; ++round) {
        reopen();
        const bool teams = round % 2 == 1;
        const int n = std::uniform_int_distribution<int>(12, 150)(events);
        const int schools = std::max(3, n / std::uniform_int_distribution<int>(2, 5)(events));
        const int seeds = std::uniform_int_distribution<int>(0, teams ? 8 : 10)(events);
        std::uniform_int_distribution<int> school(1, schools);
        for (int i = 1; i <= n; ++i) {
            const int seed = i <= seeds ? i : 0;
            teams ? team(school(events), seed) : single(school(events), seed);
        }
        chooseLeagueSize(std::uniform_int_distribution<int>(3, 6)(events), round % 4 < 2);
        session.random.setFixedSeed(static_cast<std::uint32_t>(round));
        ASSERT_TRUE(run(teams ? kPlaceTeams : kPlaceSingles));
        if (s.LeagueCancelled == 1) continue;
        const auto before = placesOf(s);
        const std::vector<int> sizes = sizesOf(s);
        shell.messages.clear();
        ASSERT_TRUE(run(teams ? kAdjustTeams : kAdjustSingles));
        const std::string event = "round " + std::to_string(round);
        EXPECT_EQ(groupFaults(s, n, false), Messages{}) << event;
        EXPECT_EQ(sizesOf(s), sizes) << event;
        const auto after = placesOf(s);
        EXPECT_EQ(after.size(), before.size()) << event;
        for (int seed = 1; seed <= std::min<int>(seeds, s.TableCount); ++seed)
            EXPECT_EQ(after.at(seed), before.at(seed)) << event << ": seed " << seed;
        if (shell.messages != Messages{"調整終了"}) continue;
        EXPECT_EQ(clashes(s, 1), 0) << event;
        ++parted;
    }
    EXPECT_GE(parted, 20);
}

}  // namespace
}  // namespace tombra::league::test
