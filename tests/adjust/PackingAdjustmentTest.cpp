#include <gtest/gtest.h>

#include "AdjustFixture.h"
#include "adjust/PackingAdjustment.h"
#include "app/CommandMap.h"
#include "draw/SeedingOrder.h"
#include "state/EntryCode.h"

namespace tombra::adjust {
namespace {

using Texts = std::vector<std::string>;

// Eight tables headed by seeds 1..8 (of schools 101..108 unless a test names others); the
// other positions hold schools of a single entry, never moved, until a test puts someone.
struct Packing : test::AdjustSession {
    std::vector<std::vector<float>> tables;
    std::vector<float> seeds = std::vector<float>(9);

    void bracket(std::vector<int> sizes = std::vector<int>(8, 4)) {
        draw::buildTableOrder(s, 8);
        for (int j = 1; j <= 8; ++j)
            if (seeds[j] == 0) seeds[j] = entries.add(100 + j, j);
        tables.assign(8, {});
        int filler = 150;
        for (int t = 1; t <= 8; ++t) {
            const int rank = s.TableOrder(t), size = sizes[t - 1];
            for (int k = 1; k <= size; ++k)
                tables[t - 1].push_back(k == (rank % 2 == 1 ? 1 : size) ? seeds[rank]
                                                                        : entry(filler++, 1));
        }
    }
    void put(int t, int slot, float code) { tables[t - 1][slot - 1] = code; }
    static float code(int school, int number) { return encodeEntry(school, number); }

    // Runs the command with Form5 answered; returns the log after its header.
    std::string run(const std::string& seedNo = "", const char* option = "Option1") {
        layOut(tables);
        shell.fill["Form5"] = [=](ui::Form& f) {
            f.setText("Text1", seedNo);
            f.setValue(option, true);
        };
        adjustPacking(session);
        const std::string header = "\r\nパッキン交換\r\n", log = session.log.text();
        EXPECT_EQ(log.rfind(header, 0), 0u) << log;
        return log.substr(std::min(header.size(), log.size()));
    }
};

TEST_F(Packing, EntryOneFacingASeedChangesPlacesWithTheSchoolsLastEntry) {
    bracket();
    for (int n = 1; n <= 5; ++n) entry(3, n);
    put(1, 2, code(3, 1));  // faces seed 1
    put(3, 3, code(3, 5));
    put(4, 2, code(3, 4));
    put(6, 1, code(3, 2));
    put(7, 3, code(3, 3));
    session.log.append("前の記録");
    layOut(tables);
    ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("調整(&C)/パッキン調整(&P)")));
    EXPECT_EQ(shell.formsShown, Texts{"Form5"});
    EXPECT_EQ(shell.messages, Texts{"パッキン調整終了"});
    EXPECT_EQ(shell.captions, Texts{"パッキン調整"});
    EXPECT_TRUE(session.marks.checked("パッキン"));
    // The exchange, then how fair the bracket now is.
    EXPECT_EQ(
        session.log.text(),
        "\r\nパッキン交換\r\n学校3：選手3-1⇔選手3-5\r\n"
        "公平性: 最善（同校対戦 0、最少 0／区画を超える選手 0、最少 0／区画の差 最大 1）\r\n");
    EXPECT_EQ(s.TableSlot(1, 2), code(3, 5));
    EXPECT_EQ(s.TableSlot(3, 3), code(3, 1));

    // When entry 5 is seed 5 itself (heading table 3), entry 4 is taken.
    seeds[5] = code(3, 5);
    s.PositionEntry(5) = seeds[5];
    bracket();
    put(1, 2, code(3, 1));
    put(4, 2, code(3, 4));
    EXPECT_EQ(run(), "学校3：選手3-1⇔選手3-4\r\n");
    EXPECT_EQ(s.TableSlot(4, 2), code(3, 1));
}

TEST_F(Packing, ASeedWithTheSearchedNumberEndsTheLookAtItsTable) {
    // Seed 5 is entry 5 of school 7 and heads table 3, above school 3's entry 5.
    for (int n = 1; n <= 5; ++n) entry(7, n);
    seeds[5] = code(7, 5);
    s.PositionEntry(5) = seeds[5];
    bracket();
    for (int n = 1; n <= 5; ++n) entry(3, n);
    put(1, 2, code(3, 1));
    put(3, 3, code(3, 5));
    put(6, 1, code(3, 4));
    EXPECT_EQ(run(), "学校3：選手3-1⇔選手3-4\r\n");
    EXPECT_EQ(s.TableSlot(1, 2), code(3, 4));
    EXPECT_EQ(s.TableSlot(3, 3), code(3, 5));
}

TEST_F(Packing, OneOrTwoSlotsAreExaminedByTheTableSizeAndOneExchangeEndsASeed) {
    EXPECT_EQ(adjust::opponentRange(1, 3), (std::pair{2, 3}));
    EXPECT_EQ(adjust::opponentRange(1, 8), (std::pair{2, 2}));
    EXPECT_EQ(adjust::opponentRange(2, 2), (std::pair{1, 1}));
    EXPECT_EQ(adjust::opponentRange(2, 3), (std::pair{1, 2}));
    EXPECT_EQ(adjust::opponentRange(2, 16), (std::pair{14, 15}));

    // Table 1 of three: slot 3 is examined. Table 3 of four: slot 3 is not. Table 5 of
    // sixteen: slot 3 is. Schools 4, 5 and 6 have two entries each, entry 2 far away.
    bracket({3, 4, 4, 4, 16, 4, 4, 4});
    for (int school : {4, 5, 6}) entry(school, 2);
    put(1, 3, code(4, 1));
    put(3, 3, code(5, 1));
    put(5, 3, code(6, 1));
    put(2, 1, code(4, 2));
    put(4, 1, code(5, 2));
    put(6, 2, code(6, 2));
    EXPECT_EQ(run(), "学校4：選手4-1⇔選手4-2\r\n学校6：選手6-1⇔選手6-2\r\n");
    EXPECT_EQ(s.TableSlot(1, 3), code(4, 2));
    EXPECT_EQ(s.TableSlot(3, 3), code(5, 1));
    EXPECT_EQ(s.TableSlot(5, 3), code(6, 2));

    // Both opponents of seed 1 lead their schools: after the first exchange the second stays.
    bracket({3, 4, 4, 4, 4, 4, 4, 4});
    put(1, 2, code(4, 1));
    put(1, 3, code(5, 1));
    put(2, 1, code(4, 2));
    put(4, 1, code(5, 2));
    EXPECT_EQ(run(), "学校4：選手4-1⇔選手4-2\r\n");
    EXPECT_EQ(s.TableSlot(1, 3), code(5, 1));
}

TEST_F(Packing, OpponentsWithoutAReplacementAreToldAndStay) {
    // School 9 has one entry: never touched. School 4's entry 2 is seed 4; school 5's
    // entry 2 faces seed 3, and taking it would only move entry 1 there.
    entry(4, 2);
    seeds[4] = code(4, 2);
    s.PositionEntry(4) = seeds[4];
    bracket({3, 4, 4, 4, 4, 4, 4, 4});
    put(1, 2, entry(9, 1));
    put(1, 3, code(4, 1));
    put(3, 2, entry(5, 1));
    put(5, 2, entry(5, 2));
    EXPECT_EQ(run(), "学校4：選手4-1交換不能\r\n学校5：選手5-1交換不能\r\n");
    EXPECT_EQ(s.TableSlot(1, 2), code(9, 1));
    EXPECT_EQ(s.TableSlot(1, 3), code(4, 1));
    EXPECT_EQ(s.TableSlot(3, 2), code(5, 1));
}

TEST_F(Packing, TheOptionChoosesHowManyLeadingEntriesMoveAndTheNumberWhichSeeds) {
    // School 3 of six entries: entry 2 faces seed 1, entry 1 faces seed 5 (table 3).
    auto layout = [&] {
        bracket();
        for (int n = 1; n <= 6; ++n) entry(3, n);
        put(1, 2, code(3, 2));
        put(3, 2, code(3, 1));
        put(2, 1, code(3, 6));
        put(4, 1, code(3, 5));
        put(6, 1, code(3, 4));
        put(7, 3, code(3, 3));
    };
    const struct {
        const char* seedNo;
        const char* option;
        const char* log;
    } cases[] = {
        {"", "Option1", "学校3：選手3-1⇔選手3-6\r\n"},
        // Entry 6, now facing seed 1, is no replacement for entry 1: entry 5 is.
        {"", "Option2", "学校3：選手3-2⇔選手3-6\r\n学校3：選手3-1⇔選手3-5\r\n"},
        {"1", "Option2", "学校3：選手3-2⇔選手3-6\r\n"},  // seeds up to 1 only
        {"なし", "Option3", "学校3：選手3-2⇔選手3-6\r\n学校3：選手3-1⇔選手3-5\r\n"},
    };
    for (const auto& c : cases) {
        layout();
        EXPECT_EQ(run(c.seedNo, c.option), c.log) << c.seedNo << " " << c.option;
    }

    ui::Form form(adjust::unpackForm());
    EXPECT_EQ(form.caption(), "パッキン外し");
    EXPECT_TRUE(form.value("Option1"));
    form.setText("Text1", " 2.5");
    form.setValue("Option3", true);
    EXPECT_EQ(adjust::readUnpackSettings(form).seedNo, 2);  // ties go to the even number
    EXPECT_EQ(adjust::readUnpackSettings(form).maxNo, 3);
}

}  // namespace
}  // namespace tombra::adjust
