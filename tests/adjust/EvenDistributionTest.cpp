#include <gtest/gtest.h>

#include "AdjustFixture.h"
#include "adjust/AffiliationAdjustment.h"
#include "adjust/EvenDistribution.h"
#include "adjust/SeedOpponents.h"
#include "app/CommandMap.h"
#include "draw/PlacementCommand.h"
#include "draw/SeedingOrder.h"
#include "state/EntryCode.h"

namespace tombra::adjust {
namespace {

using test::clashes;
using test::codesInDraw;
using test::largestImbalance;
using Grid = std::vector<std::vector<float>>;
using Texts = std::vector<std::string>;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct EvenDistribution : test::AdjustSession {
    // Sixteen tables of three. School 1 has five entries in the top half (tables 1 to 5)
    // and one in the bottom half (table 9); schools 10.. have one entry in each half and
    // schools 40.. one entry in the bottom half. Tables 3 and 13 have an open position.
    Grid fiveToOne() {
        Grid tables(16);
        for (int t = 1; t <= 5; ++t) tables[t - 1].push_back(entry(1, t));
        tables[8].push_back(entry(1, 6));
        int pair = 10, single = 40;
        for (int t = 1; t <= 8; ++t) {
            while (tables[t - 1].size() < 3) {
                tables[t - 1].push_back(entry(pair, 1));
                tables[t + 7].push_back(entry(pair++, 2));
            }
        }
        for (int t = 9; t <= 16; ++t)
            while (tables[t - 1].size() < 3) tables[t - 1].push_back(entry(single++, 1));
        tables[2].push_back(-1);
        tables[12].push_back(-1);
        return tables;
    }
};

TEST_F(EvenDistribution, RefusesBeforeTheAffiliationAdjustmentAndSaysItOnce) {
    layOut(fiveToOne());
    session.marks.set("調整Ⅰ", false);
    s.BlockMode = 1;
    const auto before = codesInDraw(s);
    distributeEvenly(session);
    EXPECT_EQ(shell.messages, Texts{"調整Ⅰを実行して下さい"});
    EXPECT_FALSE(session.marks.checked("均等振分(&R)"));
    EXPECT_EQ(codesInDraw(s), before);
}

TEST_F(EvenDistribution, ASchoolFiveToOneOverTheHalvesIsEvenedOutAtEveryLevel) {
    for (std::uint32_t round = 1; round <= 15; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        session.random.setFixedSeed(round);
        shell.messages.clear();
        layOut(fiveToOne());
        const auto codes = codesInDraw(s);
        ASSERT_EQ(largestImbalance(s), 4);
        ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("調整(&C)/均等振分(&R)")));
        ASSERT_EQ(shell.messages, Texts{"均等振分終了"});
        ASSERT_TRUE(session.marks.checked("均等振分(&R)"));
        EXPECT_LE(largestImbalance(s), 1);
        EXPECT_EQ(clashes(s), Texts{});
        EXPECT_EQ(codesInDraw(s), codes);
        // Open positions have no school and stay where they are.
        EXPECT_EQ(s.TableSlot(3, 4), -1.0f);
        EXPECT_EQ(s.TableSlot(13, 4), -1.0f);
    }
}

TEST_F(EvenDistribution, ABalancedLeagueFedBracketTakesOnePassAndNoExchange) {
    s.LeagueThenTournament = 1;
    Grid tables(8);
    for (int t = 1; t <= 8; ++t) tables[t - 1] = {entry(t, 1), entry(t + 8, 1)};
    layOut(tables);
    const auto before = codesInDraw(s);
    const TournamentState grid = s;
    distributeEvenly(session);
    EXPECT_EQ(shell.messages, Texts{"均等振分終了"});
    EXPECT_EQ(shell.captions, Texts{"均等振分： 1"});
    for (int t = 1; t <= 8; ++t)
        for (int k = 1; k <= 2; ++k) ASSERT_EQ(s.TableSlot(t, k), grid.TableSlot(t, k));
    const std::string& log = session.log.text();
    EXPECT_EQ(log.rfind("\r\n分散：1\r\n学校1：0⇒(0)\r\n学校2：0⇒(0)\r\n", 0), 0u) << log;
    EXPECT_FALSE(contains(log, "分散：2"));
}

TEST_F(EvenDistribution, BlocksAreEvenedOutFirstAndStayEvenWhileSchoolsAre) {
    // Blocks of three schools: block b holds schools 3b-2..3b. Blocks 1, 2, 4 and 5 are
    // all in the top half, the others all in the bottom half.
    s.BlockMode = 1;
    for (int school = 1; school <= 24; ++school) s.SchoolBlock(school) = Integer((school + 2) / 3);
    Grid tables(8);
    const int top[] = {1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15};
    const int bottom[] = {7, 8, 9, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    for (int i = 0; i < 12; ++i) {
        tables[i % 4].push_back(entry(top[i], 1));
        tables[4 + i % 4].push_back(entry(bottom[i], 1));
    }
    for (std::uint32_t round = 1; round <= 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        session.random.setFixedSeed(round);
        shell.captions.clear();
        layOut(tables);
        ASSERT_EQ(clashes(s, true), Texts{});
        distributeEvenly(session);
        ASSERT_GE(shell.captions.size(), 2u);
        EXPECT_EQ(shell.captions[0], "B均等振分： 1");
        EXPECT_EQ(shell.captions[1], "均等振分： 1");
        std::map<int, int> diff;
        for (int t = 1; t <= 8; ++t)
            for (int k = 1; k <= s.TableSize(t); ++k) diff[s.SlotBlock(t, k)] += t <= 4 ? 1 : -1;
        for (const auto& [block, d] : diff) EXPECT_LE(std::abs(d), 1) << "block " << block;
        EXPECT_EQ(clashes(s, true), Texts{});
        for (int t = 1; t <= 8; ++t)
            for (int k = 1; k <= s.TableSize(t); ++k)
                ASSERT_EQ(s.SlotBlock(t, k), s.SchoolBlock(decodeEntry(s.TableSlot(t, k)).school));
    }
}

TEST_F(EvenDistribution, SchoolsThatCannotBeEvenedOutAreNamedOnce) {
    // Seeds 1 and 4 are school 1's only entries; both are in the top half.
    s.LeagueThenTournament = 1;
    const float seed1 = entries.add(1, 1), seed4 = entries.add(1, 4);
    Grid tables(8);
    tables[0] = {seed1, entry(2, 1)};
    tables[1] = {entry(4, 1), entry(5, 1)};
    tables[2] = {entry(6, 1), entry(7, 1)};
    tables[3] = {entry(3, 1), seed4};
    for (int t = 5; t <= 8; ++t) tables[t - 1] = {entry(2 * t, 2), entry(2 * t + 1, 2)};
    layOut(tables);
    distributeEvenly(session);
    EXPECT_EQ(shell.messages, (Texts{"元・交換不能：学校1", "均等振分終了"}));

    // School 40 has two movable entries in the top half, but no school leans the other way:
    // the top half simply has two positions more. Told once over halves and quarters.
    shell.messages.clear();
    tables = Grid(8);
    tables[0] = {entry(40, 1), entry(20, 1), entry(21, 1)};
    tables[1] = {entry(40, 2), entry(22, 1), entry(23, 1)};
    tables[2] = {entry(24, 1), entry(25, 1), entry(26, 1)};
    tables[3] = {entry(27, 1), entry(28, 1), entry(29, 1)};
    tables[4] = {entry(20, 2), entry(21, 2), entry(22, 2)};
    tables[5] = {entry(23, 2), entry(24, 2), entry(25, 2)};
    tables[6] = {entry(26, 2), entry(27, 2)};
    tables[7] = {entry(28, 2), entry(29, 2)};
    layOut(tables);
    const auto codes = codesInDraw(s);
    distributeEvenly(session);
    EXPECT_EQ(shell.messages, (Texts{"先・交換不能：学校40", "均等振分終了"}));
    EXPECT_EQ(codesInDraw(s), codes);
}

TEST_F(EvenDistribution, PassesGoOnWhileOneSchoolFacesTheSeedsFarMoreThanOthers) {
    // Tables of two, a seed and its opponent, nothing to exchange with: school 9 meets all
    // eight seeds, the seeds' schools none, for all ten passes.
    std::vector<float> seeds(9);
    for (int j = 1; j <= 8; ++j) seeds[j] = entries.add(j, j);
    draw::buildTableOrder(s, 8);
    Grid tables(8);
    for (int t = 1; t <= 8; ++t) {
        const int rank = s.TableOrder(t);
        tables[t - 1] = {seeds[rank], entry(9, t)};
        if (rank % 2 == 0) std::swap(tables[t - 1][0], tables[t - 1][1]);
    }
    layOut(tables);
    distributeEvenly(session);
    const std::string& log = session.log.text();
    EXPECT_TRUE(contains(log, "\r\n分散：10\r\n")) << log;
    EXPECT_FALSE(contains(log, "分散：11"));
    EXPECT_TRUE(contains(log, "学校9：8⇒(100)\r\n"));
    EXPECT_TRUE(contains(log, "学校1：0⇒(0)\r\n"));
    EXPECT_EQ(shell.captions.back(), "均等振分： 10");
}

TEST(SpreadReport, GivesEachSchoolItsShareOfOpponentsAmongItsEntriesThatAreNotSeeded) {
    TournamentState s;
    test::Entries entries(s);
    entries.addMany(3, 4);      // four entries, none seeded
    entries.add(5, 3, {1, 2});  // one entry not seeded
    entries.add(7, 2, {3, 4});  // all seeded: counted against one
    std::vector<int> count(201, 0);
    count[3] = 1, count[5] = 1, count[7] = 2;
    const adjust::SpreadReport report = adjust::spreadReport(s, 4, count);
    EXPECT_EQ(report.lines,
              (Texts{"", "分散：4", "学校3：1⇒(25)", "学校5：1⇒(100)", "学校7：2⇒(200)"}));
    EXPECT_EQ(report.largest, 2);
    EXPECT_EQ(report.smallest, 1);
}

// A drawn event: sixteen tables of five or six, seeds 1..16 of schools 1..16, twenty
// schools of four and eight of a single entry. 32 opponents over 28 schools: quota 2.
struct SeedOpponents : test::AdjustSession {
    void drawEvent(std::uint32_t seed) {
        session.random.setFixedSeed(seed);
        s = TournamentState();
        s.setOpenConstants();
        for (int school = 1; school <= 20; ++school)
            school <= 16 ? entries.add(school, 4, {school}) : entries.addMany(school, 4);
        for (int school = 21; school <= 28; ++school) entries.add(school);
        shell.fill["Form3"] = [](ui::Form& f) { f.setValue("Option2", true); };
        session.marks.set("投入", false);
        draw::placeEntries(session);
        adjustAffiliations(session);
        ASSERT_EQ(s.TableCount, 16);
        ASSERT_EQ(clashes(s), Texts{});
    }
    // Who faces each seed now, counted afresh from the grid.
    std::vector<int> recount() const {
        std::vector<int> count(201, 0);
        for (int t = 1; t <= s.TableCount; ++t)
            for (int n : adjust::seedOpponentSlots(s, t, t % 2 == 1 ? 1 : s.TableSize(t)))
                ++count[decodeEntry(s.TableSlot(t, n)).school];
        return count;
    }
};

TEST_F(SeedOpponents, OpponentsSitNextToTheSeedOneOrTwoByTheTableSize) {
    s.TableCount = 8;
    const struct {
        int table, size, seedSlot;
        std::vector<int> slots;
    } cases[] = {{1, 5, 1, {2, 3}}, {1, 4, 1, {2}},    {2, 4, 4, {3}},
                 {2, 6, 6, {5, 4}}, {2, 3, 3, {2, 1}}, {2, 1, 1, {}}};
    for (const auto& c : cases) {
        s.TableSize(c.table) = Integer(c.size);
        EXPECT_EQ(adjust::seedOpponentSlots(s, c.table, c.seedSlot), c.slots) << c.size;
    }
}

TEST_F(SeedOpponents, SchoolsOverTheQuotaGivePlacesToSchoolsUnderItAndExemptEntriesStay) {
    int exempt = 0, notExempt = 0, exchanges = 0, redrawn = 0;
    for (std::uint32_t round = 1; round <= 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        drawEvent(round);
        const auto seedsBefore = test::seedPositions(s);
        const auto codes = codesInDraw(s);
        const std::vector<int> before = recount();
        const TournamentState grid = s;

        const adjust::OpponentSpread spread = adjust::spreadSeedOpponents(s, session.random);
        exchanges += spread.exchanges;
        EXPECT_EQ(spread.total, 32);
        EXPECT_EQ(spread.quota, 2);
        EXPECT_EQ(spread.count, recount());
        for (int school = 1; school <= 200; ++school) {
            EXPECT_LE(spread.count[school], std::max(before[school], spread.quota)) << school;
            const bool single = school >= 21 && school <= 28;
            EXPECT_TRUE(single || !spread.exempt[school]) << school;
            if (!single) continue;
            spread.exempt[school] ? ++exempt : ++notExempt;
            // An exempt school's single entry stays where it was, facing a seed or not.
            for (int t = 1; t <= 16 && spread.exempt[school]; ++t)
                for (int k = 1; k <= s.TableSize(t); ++k)
                    if (decodeEntry(grid.TableSlot(t, k)).school == school) {
                        EXPECT_EQ(s.TableSlot(t, k), grid.TableSlot(t, k)) << school;
                    }
        }
        // Opponents of schools under the quota but not exempt are drawn again too: such a
        // school can end with fewer than it had.
        for (int d = 1; d <= 200; ++d)
            redrawn += before[d] < spread.quota && !spread.exempt[d] && spread.count[d] < before[d];
        EXPECT_EQ(clashes(s), Texts{});
        EXPECT_EQ(test::seedPositions(s), seedsBefore);
        EXPECT_EQ(codesInDraw(s), codes);
    }
    // The toss decides: both outcomes happen; and opponents do change hands.
    EXPECT_GT(exempt, 10);
    EXPECT_GT(notExempt, 10);
    EXPECT_GT(exchanges, 20);
    EXPECT_GT(redrawn, 5);
}

}  // namespace
}  // namespace tombra::adjust
