#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>

#include "DrawFixture.h"
#include "app/CommandMap.h"
#include "draw/PlacementCommand.h"
#include "draw/RandomFill.h"
#include "draw/SeedingOrder.h"
#include "intake/SettingsDialogs.h"
#include "state/EntryCode.h"

namespace tombra::draw {
namespace {

using test::drawFaults;
using test::tableOfRank;
using test::totalPositions;

using Messages = std::vector<std::string>;

bool mentions(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

struct Placement : test::DrawSession {
    // Twenty entries of five schools, seeds 1 to 4 in schools 1 to 4.
    void twentyEntriesWithFourSeeds() {
        for (int school = 1; school <= 4; ++school) entries.add(school, 4, {school});
        entries.addMany(5, 4);
    }
    void expectNoDraw() {
        EXPECT_EQ(s.DrawDone, 0);
        EXPECT_FALSE(session.marks.checked("投入"));
        EXPECT_EQ(totalPositions(s), 0);
        for (int t = 1; t <= 128; ++t) ASSERT_EQ(s.TableSlot(t, 1), 0.0f) << t;
        for (int school = 1; school <= 200; ++school)
            for (int k = 1; k <= 99; ++k)
                if (!s.EntryName(school, k).empty()) {
                    ASSERT_EQ(s.EntryPresence(school, k), 1.0f) << school << "/" << k;
                }
        EXPECT_FALSE(session.progress.visible());
    }
};

TEST_F(Placement, DrawsEveryEntryWithSeedsAtTheEndsOfTheirTables) {
    twentyEntriesWithFourSeeds();
    chooseTables(8);
    placeEntries(session);

    EXPECT_EQ(shell.messages, Messages{"投入終了"});
    EXPECT_EQ(shell.formsShown, Messages{"Form3"});
    EXPECT_TRUE(session.marks.checked("投入"));
    EXPECT_EQ(s.DrawDone, 1);
    EXPECT_EQ(s.TableCount, 8);
    EXPECT_EQ(drawFaults(s), Messages{});
    EXPECT_EQ(totalPositions(s), 20);
    // Seed 1 heads the first table, seed 2 ends the last; 3 and 4 meet them in the final.
    EXPECT_EQ(s.TableSlot(1, 1), s.PositionEntry(1));
    EXPECT_EQ(s.TableSlot(8, s.TableSize(8)), s.PositionEntry(2));
    EXPECT_EQ(s.TableSlot(5, 1), s.PositionEntry(3));
    EXPECT_EQ(s.TableSlot(4, s.TableSize(4)), s.PositionEntry(4));

    const ui::ProgressDialog& progress = session.progress;
    EXPECT_EQ(progress.caption(), "選手を投入中");
    EXPECT_FALSE(progress.visible());
    EXPECT_EQ(progress.max(), 16.0f);
    EXPECT_EQ(progress.value(), 16.0f);
}

TEST_F(Placement, TheMenuItemDrawsOnceAndASecondRunChangesNothing) {
    twentyEntriesWithFourSeeds();
    const app::MenuItem* item = app::findMenuItem("投入(&T)/ヤグラ・リーグ（個人・団体）投入(&T)");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(app::runMenuItem(session, *item));
    ASSERT_EQ(drawFaults(s), Messages{});
    const TournamentState before = s;
    placeEntries(session);
    EXPECT_EQ(shell.messages, (Messages{"投入終了", "投入済みです"}));
    EXPECT_EQ(shell.formsShown, Messages{"Form3"});
    EXPECT_TRUE(std::equal(s.TableSlot.begin(), s.TableSlot.end(), before.TableSlot.begin()));
    EXPECT_TRUE(session.marks.checked("投入"));
}

TEST(PlacementRandomness, TheDrawFollowsTheGeneratorAndNeedsNoForcing) {
    auto drawWithSeed = [](std::uint32_t seed) {
        tombra::test::FakeShell shell;
        tombra::test::TempDir dir;
        Session session{shell, dir.path()};
        session.random.setFixedSeed(seed);
        test::Entries entries(session.state);
        for (int school = 1; school <= 6; ++school) entries.add(school, 5, {school});
        placeEntries(session);
        EXPECT_EQ(shell.messages, Messages{"投入終了"}) << seed;
        EXPECT_EQ(drawFaults(session.state), Messages{}) << seed;
        return std::vector<float>(session.state.TableSlot.begin(), session.state.TableSlot.end());
    };
    EXPECT_EQ(drawWithSeed(11), drawWithSeed(11));
    EXPECT_NE(drawWithSeed(11), drawWithSeed(12));
}

// A draw from the clock logs its lottery number; the same number given to a fresh session
// with the same entries draws the same bracket, and the adjustment after it as well.
TEST(PlacementRandomness, TheLoggedLotteryNumberDrawsTheSameAgain) {
    auto drawn = [](std::optional<std::uint32_t> place, std::optional<std::uint32_t> adjust) {
        tombra::test::FakeShell shell;
        tombra::test::TempDir dir;
        Session session{shell, dir.path()};
        test::Entries entries(session.state);
        for (int school = 1; school <= 6; ++school) entries.add(school, 5, {school});
        std::vector<std::uint32_t> numbers;
        for (auto [path, given] :
             {std::pair{"投入(&T)/ヤグラ・リーグ（個人・団体）投入(&T)", place},
              {"調整(&C)/調整Ⅰ(&T)", adjust}}) {
            if (given) session.random.useForNextCommand(*given);
            EXPECT_TRUE(app::runMenuItem(session, *app::findMenuItem(path)));
            const std::string& log = session.log.text();
            const size_t at = log.rfind("抽選番号: ");
            EXPECT_NE(at, std::string::npos) << path;
            numbers.push_back(static_cast<std::uint32_t>(std::stoul(log.substr(at + 14))));
        }
        return std::pair{numbers, std::vector<float>(session.state.TableSlot.begin(),
                                                     session.state.TableSlot.end())};
    };
    const auto [numbers, slots] = drawn(std::nullopt, std::nullopt);
    const auto [again, slotsAgain] = drawn(numbers[0], numbers[1]);
    EXPECT_EQ(again, numbers);
    EXPECT_EQ(slotsAgain, slots);
    EXPECT_NE(drawn(numbers[0] + 1, numbers[1]).second, slots);
}

TEST_F(Placement, CancelInAPlainBracketDrawsWithTheProposedCount) {
    for (int school = 1; school <= 4; ++school) entries.addMany(school, 10);
    shell.press["Form3"] = "Command2";
    placeEntries(session);
    EXPECT_EQ(s.TableCount, 16);  // 40 entries, ten from the largest school
    EXPECT_EQ(shell.messages, Messages{"投入終了"});
    EXPECT_EQ(drawFaults(s), Messages{});
}

TEST_F(Placement, FaultsStopBeforeAnyEntryIsPlacedAndLeaveNoMark) {
    struct Case {
        const char* what;
        std::function<void(Placement&)> setUp;
        const char* told;
    };
    const std::vector<Case> cases = {
        {"no entries read", [](Placement&) {}, "エントリーがありません"},
        {"cancelled with no table count",
         [](Placement& p) {
             p.s.LeagueThenTournament = 1;
             p.entries.addMany(1, 10);  // too few for any count of leagues
             p.shell.press["Form3"] = "Command2";
         },
         "テーブル数が選ばれていません"},
        {"super-seed tables too small",
         [](Placement& p) {
             p.s.SuperSeedCount = 8;
             p.twentyEntriesWithFourSeeds();
             p.chooseTables(8);
         },
         "枠が足りません"},
        {"seed beyond the tables",
         [](Placement& p) {
             p.entries.add(1, 4, {1, 9});
             p.entries.addMany(2, 16);
             p.chooseTables(8);
         },
         "シード 9 の入るテーブルがありません"},
        {"one entry under two seed numbers",
         [](Placement& p) {
             p.entries.add(1, 4, {1});
             p.entries.addMany(2, 6);
             p.s.PositionEntry(3) = p.s.PositionEntry(1);
             p.s.SeedCount = 3;
             p.chooseTables(8);
         },
         "シード 1 とシード 3 が同じ選手です"},
        {"seed of an entry not read",
         [](Placement& p) {
             p.entries.addMany(1, 6);
             p.s.PositionEntry(2) = encodeEntry(7, 1);
             p.s.SeedCount = 2;
             p.chooseTables(8);
         },
         "シード 2 の選手（7.01）がエントリーにありません"},
        {"seed whose table got no position",
         [](Placement& p) {
             p.entries.add(1, 5, {7});
             p.chooseTables(8);
         },
         "シード 7 のテーブルに枠がありません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        shell = tombra::test::FakeShell{};
        s = TournamentState{};
        s.setOpenConstants();
        c.setUp(*this);
        placeEntries(session);
        ASSERT_EQ(shell.messages.size(), 1u);
        EXPECT_TRUE(mentions(shell.messages[0], c.told)) << shell.messages[0];
        EXPECT_TRUE(mentions(shell.messages[0], "強制終了します")) << shell.messages[0];
        expectNoDraw();
    }
}

TEST_F(Placement, AfterAStopTheDrawCanBeRunAgain) {
    s.SuperSeedCount = 8;
    twentyEntriesWithFourSeeds();
    chooseTables(8);
    placeEntries(session);
    ASSERT_EQ(s.DrawDone, 0);
    chooseTables(64);
    placeEntries(session);
    EXPECT_EQ(shell.messages.back(), "投入終了");
    EXPECT_EQ(drawFaults(s), Messages{});
    for (int r = 1; r <= 8; ++r) EXPECT_EQ(s.TableSize(tableOfRank(s, r)), 1) << r;
}

TEST_F(Placement, SchoolsOfNinetyNineAndAllSeededSchoolsEndTheCursorCleanly) {
    entries.addMany(1, 99);  // the cursor runs past entry 99 of this school
    entries.add(2, 3, {1, 2, 3});
    entries.add(3, 1, {4});
    entries.addMany(4, 2);
    chooseTables(8);
    placeEntries(session);
    EXPECT_EQ(shell.messages.back(), "投入終了");
    EXPECT_EQ(drawFaults(s), Messages{});
    EXPECT_EQ(totalPositions(s), 105);
}

TEST_F(Placement, AFullLargeBracketEndsInForcedPlacementWithNobodyLost) {
    for (int school = 1; school <= 16; ++school) entries.add(school, 64, {school});
    chooseTables(128);
    placeEntries(session);
    EXPECT_EQ(shell.messages, (Messages{"強制投入します", "投入終了"}));
    EXPECT_EQ(totalPositions(s), 1024);
    EXPECT_EQ(drawFaults(s), Messages{});
}

TEST_F(Placement, ATeamSeedIsKnownByItsSchoolAndTeam) {
    // The team reader codes a seed as school + (team code / 10 + 1) / 100: 3.011 for team 1.
    for (int school = 1; school <= 6; ++school) entries.addMany(school, 2);
    s.PositionEntry(1) = static_cast<float>(3 + (1 / 10.0 + 1) / 100);
    s.PositionEntry(2) = static_cast<float>(4 + (11 / 10.0 + 1) / 100);
    s.SeedCount = 2;
    chooseTables(8);
    placeEntries(session);
    EXPECT_EQ(shell.messages, Messages{"投入終了"});
    EXPECT_EQ(drawFaults(s), Messages{});
}

TEST_F(Placement, SuperSeedsChosenAtOpenGetTablesOfOnePosition) {
    shell.fill["Form1"] = [](ui::Form& f) { f.setValue("Check7", true); };
    shell.fill["Form11"] = [](ui::Form& f) { f.setValue("Option4", true); };
    intake::askSettings(session);
    ASSERT_EQ(s.SuperSeedCount, 16);
    for (int school = 1; school <= 20; ++school)
        entries.add(school, 10, {school <= 16 ? school : 0});

    std::string proposed;
    shell.fill["Form3"] = [&proposed](ui::Form& f) { proposed = f.selectedOption("Frame1"); };
    placeEntries(session);
    EXPECT_EQ(proposed, "Option4");
    EXPECT_EQ(s.TableCount, 64);
    EXPECT_EQ(drawFaults(s), Messages{});
    for (int r = 1; r <= 16; ++r) {
        const int t = tableOfRank(s, r);
        EXPECT_EQ(s.TableSize(t), 1) << r;
        EXPECT_EQ(s.TableSlot(t, 1), s.PositionEntry(r)) << r;
    }
}

// Sixteen super seeds but eight seeds: ranks 9 to 16 would go to whoever the draw picks, with
// a bye. The office is asked first, and told who got the byes. Returns the byes logged.
int drawSixteenSuperSeedsOverEightSeeds(test::DrawSession& p, ui::Answer answer) {
    p.s.SuperSeedCount = 16;
    for (int school = 1; school <= 20; ++school)
        p.entries.add(school, 5, {school <= 8 ? school : 0});
    p.chooseTables(64);
    p.shell.answers = {answer};
    placeEntries(p.session);
    EXPECT_GE(p.shell.messages.size(), 2u);
    EXPECT_TRUE(mentions(p.shell.messages.at(0),
                         "9・10・11・12・13・14・15・16 番にはシード選手がいません"))
        << p.shell.messages[0];
    int byes = 0;
    const std::string& log = p.session.log.text();
    for (size_t at = 0; (at = log.find("が抽選で入り、不戦勝", at)) != std::string::npos; ++at)
        ++byes;
    return byes;
}

TEST_F(Placement, ADivisionOfTheIndividualLeagueIsNoBracket) {
    twentyEntriesWithFourSeeds();
    s.GenderName = "個人リーグ";
    s.EventName = "１部";
    placeEntries(session);
    EXPECT_EQ(
        shell.messages,
        Messages{"個人リーグ（１部）はリーグ戦です。投入(&T) > 個人リーグ投入(&K) で組んで下さい"});
    EXPECT_TRUE(shell.formsShown.empty());
    expectNoDraw();
}

TEST_F(Placement, SuperSeedRanksWithoutASeedAreConfirmedBeforeTheDraw) {
    EXPECT_EQ(drawSixteenSuperSeedsOverEightSeeds(*this, ui::Answer::No), 0);
    EXPECT_TRUE(mentions(shell.messages.back(), "投入を取り消しました"));
    expectNoDraw();
}

TEST_F(Placement, SuperSeedByesTakenByTheDrawAreLogged) {
    EXPECT_EQ(drawSixteenSuperSeedsOverEightSeeds(*this, ui::Answer::Yes), 8) << session.log.text();
    EXPECT_EQ(shell.messages.back(), "投入終了");
    EXPECT_EQ(drawFaults(s), Messages{});
}

TEST_F(Placement, LeaguesThenBracketSizeTablesAsLeaguesFromForm15) {
    for (int order : {0, 1}) {
        SCOPED_TRACE(order);
        shell = tombra::test::FakeShell{};
        s = TournamentState{};
        s.LeagueThenTournament = 1;
        for (int school = 1; school <= 8; ++school) entries.add(school, 5, {school});
        if (order == 1) shell.fill["Form15"] = [](ui::Form& f) { f.setValue("Option7", true); };
        placeEntries(session);

        EXPECT_EQ(shell.formsShown, (Messages{"Form15", "Form3"}));
        EXPECT_EQ(shell.messages, Messages{"投入終了"});
        EXPECT_EQ(s.TableCount, 8);
        EXPECT_EQ(s.LeagueSize, 3);
        EXPECT_EQ(drawFaults(s), Messages{});
        EXPECT_EQ(s.TableSize(tableOfRank(s, 1)), order == 0 ? 4 : 3);
        EXPECT_EQ(s.TableSize(tableOfRank(s, 8)), order == 0 ? 6 : 7);
    }
}

TEST_F(Placement, FreeTablesTakeTheLeagueDialogsCount) {
    for (int school = 1; school <= 8; ++school) entries.addMany(school, 6);  // 8 proposed
    shell.fill["Form3"] = [](ui::Form& f) { f.setValue("Option6", true); };
    shell.fill["Form9"] = [](ui::Form& f) {
        f.setValue("Option1", true);
        f.setValue("Option6", true);  // 48 in fixed threes: 16 leagues
    };
    placeEntries(session);
    EXPECT_EQ(shell.formsShown, (Messages{"Form3", "Form9"}));
    EXPECT_EQ(s.TableCount, 16);
    EXPECT_EQ(shell.messages, Messages{"投入終了"});
    EXPECT_EQ(drawFaults(s), Messages{});
    EXPECT_EQ(totalPositions(s), 48);
}

TEST_F(Placement, FreeTablesThatMakeNoBracketStopAndCancelKeepsTheProposal) {
    for (int school = 1; school <= 8; ++school) entries.addMany(school, 5);
    shell.fill["Form3"] = [](ui::Form& f) { f.setValue("Option6", true); };
    shell.fill["Form9"] = [](ui::Form& f) { f.setValue("Option1", true); };  // 13 leagues
    placeEntries(session);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_TRUE(mentions(shell.messages[0], "テーブル数 13 ではヤグラを組めません"))
        << shell.messages[0];
    expectNoDraw();

    shell.press["Form9"] = "Command2";
    placeEntries(session);
    EXPECT_EQ(s.LeagueCancelled, 1);
    EXPECT_EQ(s.TableCount, 8);  // 40 entries, five from each school
    EXPECT_EQ(shell.messages.back(), "投入終了");
    EXPECT_EQ(drawFaults(s), Messages{});
}

TEST_F(Placement, LeagueResultCodeDealsTheEntriesAroundTheLeagues) {
    s.EventCode = "Ｒ";
    for (int school = 1; school <= 8; ++school) entries.addMany(school, 3);
    placeEntries(session);
    EXPECT_EQ(shell.formsShown, (Messages{"Form15", "Form3"}));
    EXPECT_EQ(shell.messages, Messages{"投入終了"});
    // Eight leagues of three and the 24 entries again: half the positions stay open.
    EXPECT_EQ(totalPositions(s), 48);
    Messages faults = drawFaults(s);
    std::erase_if(faults, [](const std::string& f) { return mentions(f, "open position"); });
    EXPECT_EQ(faults, Messages{});
}

TEST(RandomFill, MoreEntriesThanPositionsAreForcedAndCountedAsUnplaced) {
    TournamentState s;
    test::Entries entries(s);
    entries.addMany(1, 7);
    entries.addMany(2, 5);
    s.TableCount = 8;
    buildTableOrder(s, 8);
    for (int t = 1; t <= 8; ++t) s.TableSize(t) = t <= 2 ? 5 : 0;
    for (int t = 1; t <= 2; ++t)
        for (int k = 1; k <= 5; ++k) s.TableSlot(t, k) = -1;
    RandomSource random;
    random.setFixedSeed(3);
    int forcings = 0, lastPlaced = 0;
    const FillResult r =
        drawEntries(s, random, {[&](int n) { lastPlaced = n; }, [&] { ++forcings; }});
    EXPECT_TRUE(r.forced);
    EXPECT_EQ(forcings, 1);
    EXPECT_GT(r.failedDraws, kFailedDrawLimit);
    EXPECT_EQ(r.placed, 10);
    EXPECT_EQ(lastPlaced, 10);
    EXPECT_EQ(r.unplaced, 2);
    for (int t = 1; t <= 2; ++t)
        for (int k = 1; k <= 5; ++k) EXPECT_GT(s.TableSlot(t, k), 0.0f);
}

}  // namespace
}  // namespace tombra::draw
