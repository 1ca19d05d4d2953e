#include <gtest/gtest.h>

#include <set>

#include "LeagueFixture.h"
#include "league/IndividualLeagueAdjustment.h"

namespace tombra::league::test {
namespace {

constexpr const char* kAdjust = "個人リーグ調整(&T)";
const std::string kAbandoned = "交換できる相手が見つからないため、調整を打ち切ります";
const Messages kClosing{"グループチェック", "書き込み初期化", "書き込み", "グループ書き込み"};

Messages joined(Messages head, const Messages& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct IndividualAdjustment : LeagueSession {
    // Places holding seeded entries: no pass may change this set.
    std::set<std::pair<int, int>> seededPlaces() const {
        std::set<std::pair<int, int>> places;
        for (const auto& [entry, place] : placesOf(s))
            if (entry != 0 && s.EntryTable(entry, 7) == "2") places.insert(place);
        return places;
    }
    // Entries per group whose column holds the value.
    std::vector<int> perGroup(int column, int value) const {
        std::vector<int> counts;
        for (const auto& group : groupsOf(s)) {
            counts.push_back(0);
            for (int e : group) counts.back() += s.EntryTable(e, column) == std::to_string(value);
        }
        return counts;
    }
};

TEST_F(IndividualAdjustment, CaptionsFollowTheChosenPasses) {
    Groups groups = bySchools({{1, 1, 2}, {3, 3, 4}, {5, 6, 7}});
    choosePasses(false, false, false, false);
    ASSERT_TRUE(run(kAdjust));
    EXPECT_EQ(shell.captions, joined({""}, kClosing));
    EXPECT_EQ(shell.messages, Messages{"調整完了"});
    EXPECT_EQ(groupsOf(s), groups);
    EXPECT_FALSE(session.progress.visible());

    // Nothing to change: schools and previous groups apart, sexes and categories even.
    reopen();
    groups.clear();
    for (int g = 0; g < 3; ++g)
        groups.push_back({add({10 + 2 * g, 1, 1, false, 10 + 2 * g}),
                          add({11 + 2 * g, 2, 2, false, 11 + 2 * g})});
    setGroups(s, groups);
    choosePasses(true, true, true, true);
    ASSERT_TRUE(run(kAdjust));
    EXPECT_EQ(shell.captions, joined({"", "所属調整", "調整", "調整 1/ 3", "調整 2/ 3", "調整 3/ 3",
                                      "グループチェック", "男女チェック 1/3", "種別チェック 1/3"},
                                     kClosing));
    EXPECT_EQ(groupsOf(s), groups);
}

TEST_F(IndividualAdjustment, ClosingForm13KeepsThePassesOfTheLastOk) {
    const Groups groups = bySchools({{1, 1, 2}, {3, 4, 5}, {6, 7, 8}, {9, 10, 11}});
    shell.closeInstead = {"Form13"};  // before any OK: no pass, whatever the boxes show
    ASSERT_TRUE(run(kAdjust));
    EXPECT_EQ(groupsOf(s), groups);

    shell.closeInstead.clear();
    choosePasses(true, false, false, false);
    ASSERT_TRUE(run(kAdjust));
    EXPECT_EQ(clashes(s, 1), 0);

    setGroups(s, groups);
    shell.closeInstead = {"Form13"};
    choosePasses(false, false, false, false);  // unticked, then closed
    ASSERT_TRUE(run(kAdjust));
    EXPECT_EQ(clashes(s, 1), 0);
    const LeagueAdjustChoice choice = leagueAdjustChoice(session);
    EXPECT_TRUE(choice.bySchool && !choice.byPreviousGroup && !choice.bySex && !choice.byCategory);
}

TEST_F(IndividualAdjustment, WithoutLeagueGroupsNothingRuns) {
    ASSERT_TRUE(run(kAdjust));
    bySchools({{1, 1}, {2, 3}, {4, 5}});
    s.DrawDone = 1;  // the grid holds a bracket
    ASSERT_TRUE(run(kAdjust));
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[0], "投入を実行して下さい");
    EXPECT_NE(shell.messages[1].find("ヤグラ"), std::string::npos);
    EXPECT_EQ(shell.formsShown, Messages{});
}

// How the school pass ends, by the schools of the groups; every limit ends only the pass, and
// what it could not part the last step moves where the seeds allow. A school holds up to its
// share of a group (its entries over the groups, rounded up), reserved group or not.
TEST_F(IndividualAdjustment, SchoolPassPartsWhatExceedsASharesAndEndsAtItsLimits) {
    struct Case {
        Groups schools;
        int seededFrom, reservedFor;  // groups from seededFrom on seeded; group 1 reserved
        Messages messages;
        int cancelled;
        Groups after;  // entry numbers; empty: as before
    };
    const std::vector<Case> cases{
        // School 5 has two entries for three groups: its reserved group keeps only one.
        {{{5, 5, 1}, {2, 3, 4}, {6, 7, 8}}, 0, 5, {}, 0, {{1, 9, 3}, {4, 5, 2}, {7, 8, 6}}},
        // Six of school 1 in three groups: two a group is its share.
        {{{1, 1, 2}, {1, 1, 3}, {1, 1, 4}}, 0, 0, {}, 0, {}},
        // B is found, but every C's group holds B's school; the last step parts school 1 and
        // leaves school 2 its share of two.
        {{{1, 1, 3}, {2, 2, 2}, {2, 2, 2}},
         0,
         0,
         {"Ｃテーブル未決(1)"},
         0,
         {{9, 6, 3}, {4, 5, 1}, {7, 8, 2}}},
        // Four of school 1 in three groups: two in one is within its share.
        {{{1, 1, 3}, {1, 4, 5}, {1, 6, 7}}, 0, 0, {}, 0, {}},
        {{{1, 1}, {2, 3}},
         0,
         0,
         {"グループが３つ未満のため、入れ替えできません"},
         0,
         {{1, 3}, {2, 4}}},
        // Only seeds outside group 1: the search ends at the program's own bound, and no seed
        // moves.
        {{{1, 1}, {2, 3}, {4, 5}}, 2, 0, {kAbandoned}, 0, {}},
    };
    for (const Case& c : cases) {
        reopen();
        const Groups groups = bySchools(c.schools, c.seededFrom);
        s.TableSecondSchool(1) = static_cast<Integer>(c.reservedFor);
        choosePasses(true, false, false, false);
        ASSERT_TRUE(run(kAdjust));
        EXPECT_EQ(shell.messages, joined(c.messages, {"調整完了"}));
        EXPECT_EQ(groupsOf(s), c.after.empty() ? groups : c.after);
        EXPECT_EQ(s.LeagueCancelled, c.cancelled);
    }
}

TEST_F(IndividualAdjustment, PreviousGroupPassPartsPreviousGroupsWithinTheSchoolRule) {
    std::mt19937 events(11);
    int resolved = 0;
    for (int round = 0; round < 30; ++round) {
        reopen();
        // 36 entries of 12 schools and 9 previous groups, in 9 groups of 4.
        std::vector<int> order(36);
        for (int i = 0; i < 36; ++i) order[i] = i;
        std::shuffle(order.begin(), order.end(), events);
        Groups groups(9);
        for (int i = 0; i < 36; ++i)
            groups[i / 4].push_back(add({1 + order[i] % 12, 1, 1, false, 1 + order[i] % 9}));
        setGroups(s, groups);
        const int schoolClashes = clashes(s, 1);
        session.random.setFixedSeed(static_cast<std::uint32_t>(round));
        choosePasses(false, true, false, false);
        ASSERT_TRUE(run(kAdjust));
        ASSERT_EQ(groupFaults(s, 36, true), Messages{});
        EXPECT_LE(clashes(s, 1), schoolClashes);
        if (shell.messages.size() > 1) continue;
        EXPECT_EQ(clashes(s, 8), 0) << "round " << round;
        ++resolved;
    }
    EXPECT_GE(resolved, 25);

    // Without previous-group data every pair counts as one previous group and moves out.
    reopen();
    Groups groups = bySchools({{1, 2}, {3, 4}, {5, 6}, {7, 8}});
    ASSERT_TRUE(run(kAdjust));
    EXPECT_NE(groupsOf(s), groups);
    EXPECT_EQ(clashes(s, 1), 0);

    // Every other group holds previous group 1 twice: no B.
    reopen();
    groups = {{add({1, 1, 1, false, 1}), add({2, 1, 1, false, 1})},
              {add({3, 1, 1, false, 1}), add({4, 1, 1, false, 1})},
              {add({5, 1, 1, false, 1}), add({6, 1, 1, false, 1})}};
    setGroups(s, groups);
    ASSERT_TRUE(run(kAdjust));
    EXPECT_EQ(shell.messages, (Messages{"Ｂテーブル未決(8)", "調整完了"}));
    EXPECT_EQ(groupsOf(s), groups);

    // The reserved school's entry beside a seed of its previous group: the pass gives up
    // without a word and marks the league cancelled.
    reopen();
    groups = {{add({1, 1, 1, true, 3}), add({5, 1, 1, false, 3})},
              {add({2, 1, 1, false, 3}), add({3, 1, 1, false, 3})},
              {add({4, 1, 1, false, 4}), add({6, 1, 1, false, 5})}};
    setGroups(s, groups);
    s.TableSecondSchool(1) = 5;
    ASSERT_TRUE(run(kAdjust));
    EXPECT_EQ(shell.messages, Messages{"調整完了"});
    EXPECT_EQ(s.LeagueCancelled, 1);
    EXPECT_EQ(groupsOf(s), groups);
}

// How the previous-group pass ends, by the (school, previous group, seeded) of each entry;
// its searches count every test and end at their limits, and a seeded C is picked again.
TEST_F(IndividualAdjustment, PreviousGroupPassEndsAtItsLimitsAndRepeatsItsPicks) {
    struct Entry {
        int school, previous;
        bool seeded = false;
    };
    struct Case {
        std::vector<std::vector<Entry>> groups;
        Messages messages;
        int cancelled;
        Groups after;  // empty: as before
    };
    const std::vector<Case> cases{
        // Every other group holds A's school twice: no B, and no going on past the limit.
        {{{{5, 9}, {1, 9}}, {{1, 1}, {1, 2}}, {{1, 3}, {1, 4}}}, {"Ｂテーブル未決(1)"}, 0, {}},
        // No B or no C, for the school in some picks and the previous group in others: which
        // test brings the count to its limit follows from counting every test.
        {{{{5, 9}, {1, 9}}, {{1, 1}, {1, 2}}, {{2, 9}, {3, 9}}}, {"Ｂテーブル未決(8)"}, 0, {}},
        {{{{1, 9}, {2, 9}}, {{3, 1}, {4, 2}, {5, 3}}, {{3, 2}, {4, 3}, {5, 1}}},
         {"Ｃテーブル未決(1)"},
         0,
         {}},
        // Every C's group holds B's previous group.
        {{{{1, 9}, {2, 9}}, {{3, 1}, {4, 1}, {5, 1}}, {{6, 1}, {7, 1}, {8, 1}}},
         {"Ｃテーブル未決(8)"},
         0,
         {}},
        // Every C is of school 3, which A's group holds.
        {{{{1, 9}, {2, 9}, {3, 0}}, {{3, 0}}, {{3, 0}}}, {"Ａテーブルと交換できない"}, 1, {}},
        {{{{1, 9}, {2, 9}}, {{3, 1}}}, {"グループが３つ未満のため、入れ替えできません"}, 0, {}},
        {{{{1, 9}, {2, 9}}, {{3, 1, true}}, {{4, 2, true}}}, {kAbandoned}, 0, {}},
        // Seeds head the groups, so that some picks of C are seeds: the outcome follows the
        // fixed seed only while the pass picks exactly as it does.
        {{{{1, 1, true}, {2, 1}, {3, 2}},
          {{4, 3, true}, {5, 3}, {6, 2}},
          {{7, 4, true}, {8, 4}, {9, 5}},
          {{10, 6, true}, {11, 7}, {12, 8}}},
         {},
         0,
         {{1, 12, 5}, {4, 8, 6}, {7, 3, 2}, {10, 11, 9}}},
    };
    for (const Case& c : cases) {
        reopen();
        Groups groups;
        for (const auto& group : c.groups) {
            groups.emplace_back();
            for (const Entry& e : group)
                groups.back().push_back(add({e.school, 1, 1, e.seeded, e.previous}));
        }
        setGroups(s, groups);
        session.random.setFixedSeed(3);
        choosePasses(false, true, false, false);
        ASSERT_TRUE(run(kAdjust));
        EXPECT_EQ(shell.messages, joined(c.messages, {"調整完了"}));
        EXPECT_EQ(groupsOf(s), c.after.empty() ? groups : c.after);
        EXPECT_EQ(s.LeagueCancelled, c.cancelled);
    }
}

TEST_F(IndividualAdjustment, SexPassMakesOneExchangePerPairOfGroupsAndLeavesSeeds) {
    for (bool seededMen : {false, true}) {
        reopen();
        Groups groups(2);
        for (int k = 0; k < 4; ++k) groups[0].push_back(add({1 + k, 1, 1, seededMen, 1 + k}));
        for (int k = 0; k < 4; ++k) groups[1].push_back(add({5 + k, 2, 1, false, 5 + k}));
        setGroups(s, groups);
        choosePasses(false, false, true, false);
        ASSERT_TRUE(run(kAdjust));
        // With only seeded men the pair is left after its 1000 tries, silently.
        EXPECT_EQ(perGroup(4, 1), (seededMen ? std::vector<int>{4, 0} : std::vector<int>{3, 1}));
        EXPECT_EQ(shell.messages, Messages{"調整完了"});
    }
}

TEST_F(IndividualAdjustment, CategoryPassSpreadsCategoriesWithinTheSexLimits) {
    // Categories 1 and 2, four each, in separate groups. Three men and five women (limits
    // 2 and 3 a group) leave room for exactly the exchanges of a man for a woman.
    Groups groups(2);
    for (int sex : {1, 1, 2, 2}) groups[0].push_back(add({int(groups[0].size()) + 1, sex, 1}));
    for (int sex : {1, 2, 2, 2}) groups[1].push_back(add({int(groups[1].size()) + 11, sex, 2}));
    setGroups(s, groups);
    choosePasses(false, false, false, true);
    ASSERT_TRUE(run(kAdjust));
    EXPECT_EQ(shell.messages, Messages{"調整完了"});
    EXPECT_EQ(perGroup(5, 1), (std::vector<int>{2, 2}));
    EXPECT_EQ(perGroup(4, 1), (std::vector<int>{2, 1}));

    // All one sex, every group at its limit: even an exchange of two men is refused.
    reopen();
    groups = Groups(5);
    for (int g = 0; g < 5; ++g)
        for (int k = 0; k < 4; ++k) groups[g].push_back(add({1 + 4 * g + k, 1, g == 0 ? 1 : 2}));
    setGroups(s, groups);
    ASSERT_TRUE(run(kAdjust));
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[0].rfind("種別交換できない 1:", 0), 0u) << shell.messages[0];
    EXPECT_EQ(groupsOf(s), groups);

    // Category 0 has no limit: such entries are never partners.
    reopen();
    groups = {{add({1, 1, 1}), add({2, 1, 1}), add({3, 2, 1}), add({4, 2, 0})},
              {add({5, 1, 0}), add({6, 2, 0}), add({7, 1, 0}), add({8, 2, 0})}};
    setGroups(s, groups);
    ASSERT_TRUE(run(kAdjust));
    EXPECT_EQ(shell.messages, (Messages{"種別移動先が未決定", "調整完了"}));
    EXPECT_EQ(groupsOf(s), groups);
}

// Generated leagues, placed and then adjusted by every pass. The placement puts every entry
// in exactly once, keeps its reservations within the groups and heads groups with seeds
// while groups are free; the passes make no place appear or vanish, and seeds move only as
// allowed (never, but for exchanges with other seeds in the category pass).
TEST_F(IndividualAdjustment, GeneratedLeaguesArePlacedAndAdjustedWithinTheRules) {
    std::mt19937 events(5);
    for (int round = 0; round < 60; ++round) {
        reopen();
        const int n = std::uniform_int_distribution<int>(4, 300)(events);
        const int seeds = std::uniform_int_distribution<int>(0, n / 4)(events);
        addRandomPlayers(s, events, n, std::uniform_int_distribution<int>(1, 40)(events), seeds);
        chooseLeagueSize(std::uniform_int_distribution<int>(3, 7)(events), round % 2 == 0);
        session.random.setFixedSeed(static_cast<std::uint32_t>(100 + round));
        ASSERT_TRUE(run("個人リーグ投入(&K)"));
        if (s.LeagueCancelled == 1) continue;  // sizes that cannot be made, said so
        const std::string event = "round " + std::to_string(round);
        ASSERT_EQ(shell.messages, Messages{"投入終了"}) << event;
        ASSERT_EQ(groupFaults(s, n, true), Messages{}) << event;
        int reserved = 0, seededHeads = 0;
        for (int g = 1; g <= 200; ++g) {
            EXPECT_TRUE(g <= s.TableCount || s.TableSecondSchool(g) == 0) << event;
            if (g > s.TableCount) continue;
            reserved += s.TableSecondSchool(g) != 0;
            seededHeads += s.EntryTable(static_cast<int>(s.TableSlot(g, 1)), 7) == "2";
        }
        EXPECT_GE(seededHeads, std::min(seeds, s.TableCount - reserved)) << event;

        const std::vector<int> sizes = sizesOf(s);
        const auto seededBefore = seededPlaces();
        const auto places = placesOf(s);

        const bool category = round % 3 != 0;
        choosePasses(true, true, true, category);
        ASSERT_TRUE(run(kAdjust));
        EXPECT_EQ(shell.messages.back(), "調整完了") << event;
        EXPECT_EQ(groupFaults(s, n, true), Messages{}) << event;
        EXPECT_EQ(sizesOf(s), sizes) << event;
        EXPECT_EQ(seededPlaces(), seededBefore) << event;
        const auto now = placesOf(s);
        for (const auto& [entry, place] : places) {
            if (!category && s.EntryTable(entry, 7) == "2") {
                EXPECT_EQ(now.at(entry), place) << event << ": seed " << entry;
            }
        }
    }
}

}  // namespace
}  // namespace tombra::league::test
